// One request to the unit and its answer: a fresh socket (so a fresh local
// port) per attempt, so that a late reply to an earlier attempt is never
// taken for this one. Reads may be repeated; a write goes out exactly once.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "platform/platform_hooks.h"
#include "protocol/command_packet.h"
#include "protocol/device_link.h"
#include "protocol/packet_counters.h"
#include "protocol/reply_buffer.h"
#include "protocol/reply_kind.h"
#include "varnexctl/exit_status.h"

namespace varnex::ctl {

struct UnitAddress {
    std::string address;  // dotted IPv4
    uint16_t port = kDefaultUnitPort;
    std::string password;
};

struct Reply {
    ReplyKind kind = ReplyKind::Status;
    ReplyBuffer bytes{};
    std::size_t size = 0;
    std::chrono::steady_clock::duration roundTrip{};
};

class UnitExchange {
  public:
    UnitExchange(UnitAddress unit, std::chrono::milliseconds timeout, int retries);
    UnitExchange(const UnitExchange&) = delete;
    UnitExchange& operator=(const UnitExchange&) = delete;

    const UnitAddress& unit() const { return unit_; }
    CommandPacket& command() { return link_.command(); }

    // Sends the built command once and waits for one reply; nullopt on
    // silence. A failure to send at all is a Failure.
    std::variant<std::optional<Reply>, Failure> SendOnce();

    // A read built by `build`: sent up to 1 + retries times until a reply
    // comes. A refused password is a Failure; so is silence.
    template <typename Build>
    std::variant<Reply, Failure> Read(Build build);

    // The status record, with retries.
    std::variant<Reply, Failure> ReadStatus();

  private:
    UnitAddress unit_;
    std::chrono::milliseconds timeout_;
    int retries_;
    PlatformHooks hooks_;
    PacketCounters counters_;
    std::string linkError_;
    uint16_t lastLocalPort_ = 0;
    DeviceLink link_;
};

Failure NoAnswerFailure(const UnitAddress& unit, int attempts);
Failure PasswordRefusedFailure(const UnitAddress& unit);

template <typename Build>
std::variant<Reply, Failure> UnitExchange::Read(Build build) {
    for (int attempt = 0; attempt <= retries_; ++attempt) {
        build(link_.command());
        auto sent = SendOnce();
        if (auto* failure = std::get_if<Failure>(&sent)) {
            return *failure;
        }
        std::optional<Reply>& reply = std::get<std::optional<Reply>>(sent);
        if (!reply) {
            continue;
        }
        if (reply->kind == ReplyKind::PasswordRefused) {
            return PasswordRefusedFailure(unit_);
        }
        return *reply;
    }
    return NoAnswerFailure(unit_, retries_ + 1);
}

}  // namespace varnex::ctl
