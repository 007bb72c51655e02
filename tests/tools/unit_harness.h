// Drives an in-process unit simulator over real UDP on 127.0.0.1: the unit
// binds a kernel-chosen port, the test's client socket another, and the
// unit's clock is a plain variable the test moves forward.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "unit/unit_console.h"
#include "unit/unit_server.h"

namespace varnex::unit::testing {

using Params = std::vector<std::pair<std::size_t, uint8_t>>;

// Loopback hands a datagram over within sendto, so this bound is only met
// when nothing comes.
inline constexpr std::chrono::milliseconds kSilenceWait{200};

inline void PutText(Bytes& frame, std::size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), frame.begin() + static_cast<long>(offset));
}

// A 285-byte command as the client builds it: magic, letter, password padded
// with '*', '*' filler, ten zero bytes; then `params` written over it.
inline Bytes Frame(char letter, const Params& params = {}, const std::string& password = "tamble") {
    Bytes frame(wire::kCommandFrameSize, 0);
    PutText(frame, wire::kMagicOffset, std::string(wire::kMagic));
    frame[wire::kLetterOffset] = static_cast<uint8_t>(letter);
    std::string field = password;
    field.resize(wire::kPasswordSize, wire::kFiller);
    PutText(frame, wire::kPasswordOffset, field);
    PutText(frame, wire::kParameterOffset, std::string(wire::kFillerSize, wire::kFiller));
    for (const auto& [offset, value] : params) {
        frame[offset] = value;
    }
    return frame;
}

// Relays 1..3 of a status record as "1" for on (byte 0) and "0" for off (byte 1).
inline std::string RelaysOn(const Bytes& status) {
    std::string text;
    for (std::size_t i = 0; i < wire::kRelayCount; ++i) {
        const uint8_t byte = status[wire::kRelayOffset + i];
        text += byte == 0 ? '1' : byte == 1 ? '0' : '?';
    }
    return text;
}

inline sockaddr_in Endpoint(const std::string& address, uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    return endpoint;
}

// A UDP socket bound to `address` on a kernel-chosen port.
class ClientSocket {
  public:
    explicit ClientSocket(const std::string& address = "127.0.0.1") {
        socket_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_in local = Endpoint(address, 0);
        EXPECT_EQ(bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
    }
    ~ClientSocket() { close(socket_); }
    ClientSocket(const ClientSocket&) = delete;
    ClientSocket& operator=(const ClientSocket&) = delete;

    void SendTo(const std::string& address, uint16_t port, const Bytes& datagram) {
        const sockaddr_in to = Endpoint(address, port);
        ASSERT_EQ(sendto(socket_, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  static_cast<ssize_t>(datagram.size()));
    }

    // One datagram if it arrives within `wait`.
    std::optional<Bytes> Receive(std::chrono::milliseconds wait = kSilenceWait) {
        pollfd ready{socket_, POLLIN, 0};
        Bytes datagram(2048);
        const ssize_t size = poll(&ready, 1, static_cast<int>(wait.count())) == 1
                                 ? recv(socket_, datagram.data(), datagram.size(), 0)
                                 : -1;
        if (size < 0) {
            return std::nullopt;
        }
        datagram.resize(static_cast<std::size_t>(size));
        return datagram;
    }

  private:
    int socket_ = -1;
};

class UnitHarness {
  public:
    explicit UnitHarness(const UnitSetup& setup = {}, uint16_t port = 0)
        : server_(
              MakeUnitState(setup, now_), [this] { return now_; },
              [this](const std::string& line) { log_.push_back(line); }),
          bindFailure_(Bind(port)) {
        EXPECT_FALSE(bindFailure_.has_value()) << bindFailure_.value_or("");
    }

    // Sends `datagram`, lets the unit serve it and returns its reply; a unit
    // that stays silent (or delays) gives nullopt.
    std::optional<Bytes> Exchange(const Bytes& datagram, ClientSocket* from = nullptr) {
        ClientSocket& client = from != nullptr ? *from : client_;
        client.SendTo(server_.Address(), server_.Port(), datagram);
        server_.Serve(kSilenceWait);
        return client.Receive(server_.ReplyDelay().count() > 0 ? std::chrono::milliseconds(0)
                                                               : kSilenceWait);
    }
    std::optional<Bytes> Command(char letter, const Params& params = {}) {
        return Exchange(Frame(letter, params));
    }
    // The reply's type byte (a return code, 1 for a status record); 0 for none.
    uint8_t Type(char letter, const Params& params = {}) {
        const auto reply = Command(letter, params);
        return reply ? (*reply)[wire::kReplyTypeOffset] : 0;
    }
    // A reply that comes later (delayed replies).
    std::optional<Bytes> Receive() { return client_.Receive(); }

    // The reply to `letter`, which must have `size` bytes; fails the test otherwise.
    Bytes Expect(char letter, std::size_t size) {
        const auto reply = Command(letter);
        if (!reply || reply->size() != size) {
            ADD_FAILURE() << "no " << size << "-byte reply to " << letter;
            return Bytes(size, 0xEE);
        }
        return *reply;
    }
    Bytes Status() { return Expect('1', wire::kStatusRecordSize); }
    Bytes ScriptTable() { return Expect('L', wire::kScriptTableSize); }

    std::string Console(const std::string& line) { return RunConsoleLine(server_, line).output; }
    // Moves the unit's clock and lets it act on what fell due.
    void Advance(std::chrono::milliseconds step) {
        now_ += step;
        server_.Serve(std::chrono::milliseconds(0));
    }

    UnitServer& Server() { return server_; }
    const std::vector<std::string>& Log() const { return log_; }
    long LogCount(const std::string& text) const {
        return std::count_if(log_.begin(), log_.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }

  private:
    std::optional<std::string> Bind(uint16_t port) {
        std::string error;
        if (server_.Bind("127.0.0.1", port, error)) {
            return std::nullopt;
        }
        return error;
    }

    UnitTime now_{1000};
    std::vector<std::string> log_;
    UnitServer server_;
    // Bound before the client's socket exists, so that a unit restarted on
    // its old port cannot find the client there.
    std::optional<std::string> bindFailure_;
    ClientSocket client_;
};

}  // namespace varnex::unit::testing
