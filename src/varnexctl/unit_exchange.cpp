#include "varnexctl/unit_exchange.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace varnex::ctl {
namespace {

// A port is drawn for every request and never the one before: a reply that
// comes after its wait ended can then never be read as the next one's.
LinkOptions OptionsFor(uint16_t port, uint16_t& lastLocalPort) {
    LinkOptions options;
    options.unitPort = port;
    options.bindPort = [&lastLocalPort](int fd, uint16_t local) {
        if (local == lastLocalPort || !BindAnyInterface(fd, local)) {
            return false;
        }
        lastLocalPort = local;
        return true;
    };
    return options;
}

std::string Where(const UnitAddress& unit) {
    return unit.address + ":" + std::to_string(unit.port);
}

}  // namespace

UnitExchange::UnitExchange(UnitAddress unit, std::chrono::milliseconds timeout, int retries)
    : unit_(std::move(unit)),
      timeout_(timeout),
      retries_(retries),
      link_(hooks_, counters_, OptionsFor(unit_.port, lastLocalPort_)) {
    // The link reports its failures as message boxes; here they become text.
    hooks_.showMessage = [this](const Message& message) { linkError_ = message.text; };
    // Each process draws its own ports.
    SeedRandom(
        link_.random(),
        static_cast<uint32_t>(getpid()) * 2654435761u ^
            static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

std::variant<std::optional<Reply>, Failure> UnitExchange::SendOnce() {
    linkError_.clear();
    // The link draws a new port when Lost has moved since the last send;
    // here it always has.
    counters_ = PacketCounters{};
    link_.SetRememberedLost(1);
    const auto start = std::chrono::steady_clock::now();
    if (!link_.SendPacket(unit_.address)) {
        std::string text = linkError_.empty() ? "could not send" : linkError_;
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
            text.replace(at, 2, " ");
        }
        return Failure{kFailure, "cannot send to " + Where(unit_) + ": " + text};
    }
    const auto deadline = start + timeout_;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            return std::optional<Reply>{};
        }
        pollfd watched{link_.socketDescriptor(), POLLIN, 0};
        // Rounded up so that a wait under a millisecond still waits.
        const int ready = poll(&watched, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno == EINTR) {
            return std::optional<Reply>{};  // a signal: the caller decides
        }
        if (ready <= 0) {
            continue;
        }
        if (link_.OnSocketNotification(0) != ReadResult::Received) {
            continue;  // for example a refused port: nothing to read yet
        }
        Reply reply;
        reply.bytes = link_.reply();
        reply.size = link_.lastReplySize();
        reply.kind = ClassifyReply(reply.bytes);
        reply.roundTrip = std::chrono::steady_clock::now() - start;
        return std::optional<Reply>{reply};
    }
}

std::variant<Reply, Failure> UnitExchange::ReadStatus() {
    return Read(
        [this](CommandPacket& packet) { BuildCommand(packet, Command::Status, unit_.password); });
}

Failure NoAnswerFailure(const UnitAddress& unit, int attempts) {
    return {kNoAnswer, "no answer from " + Where(unit) + " (" + std::to_string(attempts) +
                           (attempts == 1 ? " attempt)" : " attempts)")};
}

Failure PasswordRefusedFailure(const UnitAddress& unit) {
    return {kPasswordRefused, "the unit at " + Where(unit) + " refused the password"};
}

}  // namespace varnex::ctl
