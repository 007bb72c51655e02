// The UDP transport to the current unit: one socket at a time, replaced at
// every send, no retransmission, no matching of replies to requests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform_hooks.h"
#include "protocol/command_packet.h"
#include "protocol/packet_counters.h"
#include "protocol/port_random.h"
#include "protocol/reply_buffer.h"

namespace varnex {

inline constexpr uint16_t kDefaultUnitPort = 7;
inline constexpr uint32_t kLowestLocalPort = 6000;
inline constexpr uint32_t kLocalPortLimit = 65000;  // ports are drawn below this
inline constexpr int kBindAttempts = 10;

// The unit's port: VARNEX_UNIT_PORT when it holds a port number (1..65535),
// otherwise 7.
uint16_t ParseUnitPort(const char* text);
uint16_t UnitPortFromEnvironment();

// Binds a datagram socket to a local port on any interface.
bool BindAnyInterface(int fd, uint16_t port);

struct LinkOptions {
    uint16_t unitPort = kDefaultUnitPort;
    std::function<bool(int fd, uint16_t port)> bindPort = BindAnyInterface;
};

enum class ReadResult {
    Ignored,   // not a read, replies ignored, or nothing could be read
    Error,     // the notification carried an error; the session was reset
    Received,  // one datagram is in the reply buffer and counted
};

class DeviceLink {
  public:
    DeviceLink(PlatformHooks& hooks, PacketCounters& counters, LinkOptions options = {});
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Run where a transport failure ends the session.
    void SetResetSession(std::function<void()> reset) { resetSession_ = std::move(reset); }
    // Told the new descriptor after every socket change (-1: no socket), so
    // the UI moves its read notifier; false when it could not.
    void SetSocketChanged(std::function<bool(int fd)> changed) {
        socketChanged_ = std::move(changed);
    }

    // POSIX sockets need no library start; kept for the session's order.
    bool StartNetworking() { return true; }
    void StopNetworking();

    // Sends the first 285 bytes of the command buffer to the unit at the
    // dotted address; true when sent (the buffer is then cleared).
    bool SendPacket(const std::string& address);

    // A read notification of the current socket; errorCode 0 means none.
    ReadResult OnSocketNotification(int errorCode);

    CommandPacket& command() { return command_; }
    const ReplyBuffer& reply() const { return reply_; }
    std::size_t lastReplySize() const { return lastReplySize_; }

    bool repliesIgnored() const { return repliesIgnored_; }
    void SetRepliesIgnored(bool ignored) { repliesIgnored_ = ignored; }
    void SetRememberedLost(uint32_t lost) { rememberedLost_ = lost; }
    PortRandom& random() { return random_; }
    int socketDescriptor() const { return fd_; }

  private:
    void CloseSocket();
    bool ChooseLocalPort();
    // Closes the socket, ends the session, then tells the user.
    void Fail(const char* text);

    PlatformHooks& hooks_;
    PacketCounters& counters_;
    LinkOptions options_;
    std::function<void()> resetSession_ = [] {};
    std::function<bool(int)> socketChanged_ = [](int) { return true; };
    CommandPacket command_{};
    ReplyBuffer reply_{};
    std::size_t lastReplySize_ = 0;
    PortRandom random_{};
    int fd_ = -1;
    uint32_t rememberedLost_ = 1;
    bool repliesIgnored_ = false;
};

}  // namespace varnex
