// Drives an in-process unit simulator over real UDP on 127.0.0.1: the unit
// binds a kernel-chosen port, the test's client socket another, and the
// unit's clock is a plain variable the test moves forward.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "protocol/loopback_peer.h"
#include "unit/unit_console.h"
#include "unit/unit_server.h"

namespace varnex::unit::testing {

using ClientSocket = varnex::testing::LoopbackPeer;

// Loopback hands a datagram over within sendto, so this bound is only met
// when nothing comes.
inline constexpr std::chrono::milliseconds kSilenceWait{200};

inline Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + static_cast<long>(offset),
                 bytes.begin() + static_cast<long>(offset + size));
}

// The bytes at `offsets`, in that order.
inline Bytes Pick(const Bytes& bytes, std::initializer_list<std::size_t> offsets) {
    Bytes picked;
    for (const std::size_t offset : offsets) {
        picked.push_back(bytes[offset]);
    }
    return picked;
}

// A 285-byte command as the client builds it: magic, letter, password padded
// with '*', '*' filler, ten zero bytes; then `params` written from byte 20 on.
inline Bytes Frame(char letter, const Bytes& params = {}, const std::string& password = "tamble") {
    std::string field = password;
    field.resize(wire::kPasswordSize, wire::kFiller);
    Bytes frame = Text(std::string(wire::kMagic) + letter + field);
    frame.resize(wire::kTerminatorOffset, wire::kFiller);
    frame.resize(wire::kCommandFrameSize, 0);
    std::copy(params.begin(), params.end(), frame.begin() + wire::kParameterOffset);
    return frame;
}

// The first 14 bytes of every reply: password status at 10, type at 13.
inline Bytes Header(uint8_t type, uint8_t passwordStatus = 0) {
    Bytes header(wire::kReplyTypeOffset + 1, 0);
    header[wire::kPasswordStatusOffset] = passwordStatus;
    header[wire::kReplyTypeOffset] = type;
    return header;
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

class UnitHarness {
  public:
    explicit UnitHarness(const UnitSetup& setup = {}, uint16_t port = 0)
        : server_(
              MakeUnitState(setup, now_), [this] { return now_; },
              [this](const std::string& line) { log_.push_back(line); }),
          bound_(Bind(port)) {}

    // Sends `datagram`, lets the unit serve it and returns its reply; a unit
    // that stays silent (or delays) gives nullopt.
    std::optional<Bytes> Exchange(const Bytes& datagram, ClientSocket* from = nullptr) {
        ClientSocket& client = from != nullptr ? *from : client_;
        EXPECT_TRUE(client.SendTo(server_.Address(), server_.Port(), datagram));
        server_.Serve(kSilenceWait);
        return client.Receive(server_.ReplyDelay().count() > 0 ? 0 : kSilenceMs);
    }
    std::optional<Bytes> Command(char letter, const Bytes& params = {}) {
        return Exchange(Frame(letter, params));
    }
    // The reply's type byte (a return code, 1 for a status record); 0 for none.
    uint8_t Type(char letter, const Bytes& params = {}) {
        const auto reply = Command(letter, params);
        return reply ? (*reply)[wire::kReplyTypeOffset] : 0;
    }
    // A reply that comes later (delayed replies).
    std::optional<Bytes> Receive() { return client_.Receive(kSilenceMs); }

    // The reply to `letter`, which must have `size` bytes; fails the test otherwise.
    Bytes Expect(char letter, std::size_t size) {
        const auto reply = Command(letter);
        const bool expected = reply && reply->size() == size;
        EXPECT_TRUE(expected) << "no " << size << "-byte reply to " << letter;
        return expected ? *reply : Bytes(size, 0xEE);
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
    static constexpr int kSilenceMs = static_cast<int>(kSilenceWait.count());

    bool Bind(uint16_t port) {
        std::string error;
        const bool bound = server_.Bind("127.0.0.1", port, error);
        EXPECT_TRUE(bound) << error;
        return bound;
    }

    UnitTime now_{1000};
    std::vector<std::string> log_;
    UnitServer server_;
    // Bound before the client's socket exists, so that a unit restarted on
    // its old port cannot find the client there.
    [[maybe_unused]] bool bound_;
    ClientSocket client_;
};

}  // namespace varnex::unit::testing
