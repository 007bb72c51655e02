// The simulator on the network: one POSIX UDP socket, the unit's state, and
// the reply policy (drop every Nth reply, delay every reply). Single-threaded:
// `main` calls Serve in its loop, a test calls it between its own sends.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>

#include <netinet/in.h>

#include "unit/unit_state.h"

namespace varnex::unit {

class UnitServer {
  public:
    using Clock = std::function<UnitTime()>;
    using LogSink = std::function<void(const std::string&)>;

    // `clock` is read for every datagram and tick; `log` gets one line each
    // (pass an empty sink to stay quiet).
    UnitServer(UnitState state, Clock clock, LogSink log);
    ~UnitServer();
    UnitServer(const UnitServer&) = delete;
    UnitServer& operator=(const UnitServer&) = delete;

    // Binds a dotted IPv4 address and a port (0: the kernel chooses). On
    // failure returns false and a one-line reason in `error`.
    bool Bind(const std::string& address, uint16_t port, std::string& error);
    int Descriptor() const { return socket_; }
    uint16_t Port() const;
    std::string Address() const;

    // Waits at most `timeout` for a datagram, answers every datagram that
    // is waiting, sends the delayed replies that are due and logs what the
    // unit did by itself.
    void Serve(std::chrono::milliseconds timeout);
    // Serve without the wait, for a caller that knows the socket is readable.
    void ServeReadable();
    // Sends the delayed replies that are due and lets the unit act by itself.
    void Tick();
    // How long the caller may sleep before a delayed reply is due, at most `limit`.
    std::chrono::milliseconds IdleTime(std::chrono::milliseconds limit) const;

    UnitState& State() { return state_; }
    const UnitState& State() const { return state_; }
    UnitTime Now() const { return clock_(); }
    void LogEvents(const UnitEvents& events);

    unsigned DropEvery() const { return dropEvery_; }
    void SetDropEvery(unsigned every) { dropEvery_ = every; }  // 0: answer all
    std::chrono::milliseconds ReplyDelay() const { return replyDelay_; }
    void SetReplyDelay(std::chrono::milliseconds delay) { replyDelay_ = delay; }

  private:
    struct PendingReply {
        UnitTime due;
        sockaddr_in to;
        Bytes bytes;
    };

    void ReceiveWaiting();
    void Answer(std::span<const uint8_t> datagram, const sockaddr_in& from);
    void SendDueReplies();
    void MoveTo(const Address4& address);
    void Log(const std::string& line);
    std::string Stamp() const;

  public:
    // Put before every log line (a fleet's units say which one speaks).
    void SetLogPrefix(std::string prefix) { logPrefix_ = std::move(prefix); }

  private:
    std::string logPrefix_;

    UnitState state_;
    Clock clock_;
    LogSink log_;
    int socket_ = -1;
    unsigned dropEvery_ = 0;
    uint64_t answered_ = 0;
    std::chrono::milliseconds replyDelay_{0};
    std::deque<PendingReply> pending_;
    Bytes receiveArea_;  // the buffers of one batch of datagrams
};

// The system's monotonic clock, counted from the call that made it.
UnitServer::Clock MonotonicClock();

}  // namespace varnex::unit
