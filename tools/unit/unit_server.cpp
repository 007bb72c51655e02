#include "unit/unit_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "unit/command_handler.h"
#include "unit/unit_behaviour.h"

namespace varnex::unit {
namespace {

// Larger than any request, so an over-long datagram is seen as such.
constexpr std::size_t kReceiveSize = 2048;
// One Serve call handles at most this many datagrams, so a flood cannot
// starve the console and the timers.
constexpr int kMaxDatagramsPerServe = 1000;

std::optional<sockaddr_in> ParseEndpoint(const std::string& address, uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) != 1) {
        return std::nullopt;
    }
    return endpoint;
}

int OpenBoundSocket(const sockaddr_in& endpoint, std::string& error) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("cannot create a UDP socket: ") + std::strerror(errno);
        return -1;
    }
    if (bind(fd, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0) {
        error = std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

std::string AddressText(const sockaddr_in& endpoint) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &endpoint.sin_addr, text, sizeof text);
    return text;
}

std::string EndpointText(const sockaddr_in& endpoint) {
    return AddressText(endpoint) + ":" + std::to_string(ntohs(endpoint.sin_port));
}

Address4 AddressOf(const sockaddr_in& endpoint) {
    return AddressBytes(ntohl(endpoint.sin_addr.s_addr));
}

std::optional<sockaddr_in> LocalEndpoint(int fd) {
    sockaddr_in endpoint{};
    socklen_t size = sizeof endpoint;
    if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&endpoint), &size) != 0) {
        return std::nullopt;
    }
    return endpoint;
}

}  // namespace

UnitServer::Clock MonotonicClock() {
    const auto start = std::chrono::steady_clock::now();
    return [start] {
        return std::chrono::duration_cast<UnitTime>(std::chrono::steady_clock::now() - start);
    };
}

UnitServer::UnitServer(UnitState state, Clock clock, LogSink log)
    : state_(std::move(state)), clock_(std::move(clock)), log_(std::move(log)) {}

UnitServer::~UnitServer() {
    if (socket_ >= 0) {
        close(socket_);
    }
}

bool UnitServer::Bind(const std::string& address, uint16_t port, std::string& error) {
    const auto endpoint = ParseEndpoint(address, port);
    if (!endpoint) {
        error = "not an IPv4 address: " + address;
        return false;
    }
    std::string reason;
    const int fd = OpenBoundSocket(*endpoint, reason);
    if (fd < 0) {
        error = "cannot bind " + address + ":" + std::to_string(port) + ": " + reason;
        return false;
    }
    if (socket_ >= 0) {
        close(socket_);
    }
    socket_ = fd;
    return true;
}

uint16_t UnitServer::Port() const {
    const auto endpoint = LocalEndpoint(socket_);
    return endpoint ? ntohs(endpoint->sin_port) : 0;
}

std::string UnitServer::Address() const {
    const auto endpoint = LocalEndpoint(socket_);
    return endpoint ? AddressText(*endpoint) : "";
}

void UnitServer::Serve(std::chrono::milliseconds timeout) {
    pollfd ready{socket_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(timeout.count())) > 0) {
        ReceiveWaiting();
    }
    Tick();
}

void UnitServer::ServeReadable() {
    ReceiveWaiting();
    Tick();
}

void UnitServer::Tick() {
    SendDueReplies();
    UnitEvents events;
    AdvanceUnit(state_, Now(), events);
    LogEvents(events);
}

std::chrono::milliseconds UnitServer::IdleTime(std::chrono::milliseconds limit) const {
    if (pending_.empty()) {
        return limit;
    }
    const auto untilDue = pending_.front().due - Now();
    return std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(untilDue),
                      std::chrono::milliseconds(0), limit);
}

void UnitServer::ReceiveWaiting() {
    // Read in batches: a batch that comes back short found the queue empty,
    // so a lone request costs one call rather than a second that finds
    // nothing.
    constexpr unsigned kBatch = 16;
    receiveArea_.resize(kBatch * kReceiveSize);
    std::array<iovec, kBatch> buffers{};
    std::array<sockaddr_in, kBatch> senders{};
    std::array<mmsghdr, kBatch> messages{};
    for (int served = 0; served < kMaxDatagramsPerServe;) {
        for (unsigned i = 0; i < kBatch; ++i) {
            buffers[i] = {receiveArea_.data() + i * kReceiveSize, kReceiveSize};
            messages[i] = {};
            messages[i].msg_hdr.msg_iov = &buffers[i];
            messages[i].msg_hdr.msg_iovlen = 1;
            messages[i].msg_hdr.msg_name = &senders[i];
            messages[i].msg_hdr.msg_namelen = sizeof senders[i];
        }
        const int received = recvmmsg(socket_, messages.data(), kBatch, MSG_DONTWAIT, nullptr);
        if (received <= 0) {
            return;  // nothing more waiting
        }
        const int listening = socket_;
        for (int i = 0; i < received; ++i) {
            const auto n = static_cast<std::size_t>(i);
            // A datagram longer than the buffer fills it and is refused as over-long.
            Answer({receiveArea_.data() + n * kReceiveSize, messages[n].msg_len}, senders[n]);
            if (socket_ != listening) {
                return;  // moved: the rest was sent to the address it left
            }
        }
        served += received;
        if (static_cast<unsigned>(received) < kBatch) {
            return;
        }
    }
}

void UnitServer::Answer(std::span<const uint8_t> datagram, const sockaddr_in& from) {
    HandledDatagram handled = HandleDatagram(state_, datagram, AddressOf(from), Now());
    LogEvents(handled.events);
    std::string line = Stamp() + " from " + EndpointText(from) + " ";
    if (handled.letter != 0) {
        line += std::string("\"") + handled.letter + "\" ";
    }
    line += handled.action;
    if (handled.reply) {
        ++answered_;
        if (dropEvery_ != 0 && answered_ % dropEvery_ == 0) {
            line += " (reply dropped)";
        } else {
            // Kept in order of leaving: the delay may have shrunk since earlier replies.
            const UnitTime due = Now() + replyDelay_;
            const auto later = std::upper_bound(
                pending_.begin(), pending_.end(), due,
                [](UnitTime time, const PendingReply& reply) { return time < reply.due; });
            pending_.insert(later, {due, from, std::move(*handled.reply)});
            if (replyDelay_.count() > 0) {
                line += " (reply delayed " + std::to_string(replyDelay_.count()) + " ms)";
            }
        }
    }
    Log(line);
    SendDueReplies();
    if (handled.moveTo) {
        MoveTo(*handled.moveTo);
    }
}

void UnitServer::SendDueReplies() {
    const UnitTime now = Now();
    while (!pending_.empty() && pending_.front().due <= now) {
        const PendingReply& reply = pending_.front();
        sendto(socket_, reply.bytes.data(), reply.bytes.size(), 0,
               reinterpret_cast<const sockaddr*>(&reply.to), sizeof reply.to);
        pending_.pop_front();
    }
}

void UnitServer::MoveTo(const Address4& address) {
    const std::string text = std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
                             std::to_string(address[2]) + "." + std::to_string(address[3]);
    std::string error;
    if (Bind(text, Port(), error)) {
        Log(Stamp() + " moved to " + text + ":" + std::to_string(Port()));
    } else {
        Log(Stamp() + " stays: " + error);
    }
}

void UnitServer::LogEvents(const UnitEvents& events) {
    for (const std::string& event : events) {
        Log(Stamp() + " " + event);
    }
}

void UnitServer::Log(const std::string& line) {
    if (log_) {
        log_(logPrefix_ + line);
    }
}

std::string UnitServer::Stamp() const {
    const auto ms = (Now() - state_.startedAt).count();
    char text[32];
    std::snprintf(text, sizeof text, "%10.3f", static_cast<double>(ms) / 1000.0);
    return text;
}

}  // namespace varnex::unit
