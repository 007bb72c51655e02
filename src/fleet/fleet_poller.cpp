#include "fleet/fleet_poller.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "protocol/command_packet.h"
#include "protocol/readings.h"
#include "protocol/reply_kind.h"
#include "protocol/status_record.h"

namespace varnex::fleet {
namespace {

// Datagrams one system call moves; more gains little and costs stack.
constexpr std::size_t kBatch = 64;

uint64_t EndpointKey(uint32_t address, uint16_t port) {
    return (uint64_t{address} << 16) | port;
}

int OpenSocket(const std::string& bindAddress, int receiveBuffer, int& granted,
               std::string& error) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("cannot create a UDP socket: ") + std::strerror(errno);
        return -1;
    }
    // FORCE passes the system's ceiling when the process may; otherwise the
    // plain request gets what the ceiling allows.
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBuffer, sizeof receiveBuffer) != 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    socklen_t size = sizeof granted;
    getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &granted, &size);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (inet_pton(AF_INET, bindAddress.c_str(), &local.sin_addr) != 1 ||
        bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = "cannot bind the poller to " + bindAddress + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

FleetPoller::FleetPoller(const PollerOptions& options) {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t i = 0; i < kSockets; ++i) {
        sockets_[i] = OpenSocket(options.bindAddress, options.receiveBuffer,
                                 counters_.grantedReceiveBuffer, error_);
        if (sockets_[i] < 0) {
            return;
        }
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = i;
        epoll_ctl(epoll_, EPOLL_CTL_ADD, sockets_[i], &event);
    }
}

FleetPoller::~FleetPoller() {
    for (const int fd : sockets_) {
        if (fd >= 0) {
            close(fd);
        }
    }
    if (epoll_ >= 0) {
        close(epoll_);
    }
}

std::vector<uint16_t> FleetPoller::LocalPorts() const {
    std::vector<uint16_t> ports;
    for (const int fd : sockets_) {
        sockaddr_in local{};
        socklen_t size = sizeof local;
        if (fd >= 0 && getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0) {
            ports.push_back(ntohs(local.sin_port));
        }
    }
    return ports;
}

void FleetPoller::SetStations(const std::vector<StationSetup>& stations, Time now) {
    std::unordered_map<std::string, std::size_t> kept;
    for (std::size_t i = 0; i < stations_.size(); ++i) {
        kept.emplace(stations_[i].setup.id, i);
    }
    std::vector<Station> next(stations.size());
    byEndpoint_.clear();
    due_ = {};
    for (auto& queue : outgoing_) {
        queue.clear();
    }
    for (std::size_t i = 0; i < stations.size(); ++i) {
        Station& station = next[i];
        const auto old = kept.find(stations[i].id);
        if (old != kept.end() && stations_[old->second].setup == stations[i]) {
            station = std::move(stations_[old->second]);
            station.awaiting = false;  // its reply would now be foreign to the schedule
        } else {
            station.setup = stations[i];
            station.silence.Restart(0);
            CommandPacket packet;
            BuildCommand(packet, Command::Status, station.setup.password);
            std::copy_n(packet.bytes.begin(), station.request.size(), station.request.begin());
        }
        byEndpoint_[EndpointKey(station.setup.address, station.setup.port)] = i;
        // Station i of n starts i/n of its interval from now, so a fleet's
        // requests and replies come as an even stream, not a burst a second.
        const auto offset = station.setup.interval * static_cast<long>(i) /
                            static_cast<long>(std::max<std::size_t>(stations.size(), 1));
        station.nextPoll = now + offset;
        due_.push({station.nextPoll, i});
    }
    stations_ = std::move(next);
}

void FleetPoller::Schedule(std::size_t index, Time at) {
    stations_[index].nextPoll = at;
    due_.push({at, index});
}

void FleetPoller::PollNow(std::size_t index, Time now) {
    Station& station = stations_[index];
    if (!station.awaiting) {
        station.attempt = 0;
        Send(index, now);
        FlushSends();
    }
}

void FleetPoller::Send(std::size_t index, Time now) {
    Station& station = stations_[index];
    station.socket = station.requests++ % kSockets;
    station.awaiting = true;
    station.sentAt = now;
    station.deadline = now + station.setup.timeout;
    ++station.status.sent;
    station.silence.PollSent();
    station.status.silent = station.silence.Silent();
    due_.push({station.deadline, index});
    outgoing_[station.socket].push_back(index);
}

void FleetPoller::FlushSends() {
    std::array<mmsghdr, kBatch> messages{};
    std::array<iovec, kBatch> buffers{};
    std::array<sockaddr_in, kBatch> targets{};
    for (std::size_t s = 0; s < kSockets; ++s) {
        std::vector<std::size_t>& queue = outgoing_[s];
        for (std::size_t start = 0; start < queue.size();) {
            const std::size_t count = std::min(kBatch, queue.size() - start);
            for (std::size_t k = 0; k < count; ++k) {
                Station& station = stations_[queue[start + k]];
                targets[k] = {};
                targets[k].sin_family = AF_INET;
                targets[k].sin_port = htons(station.setup.port);
                targets[k].sin_addr.s_addr = htonl(station.setup.address);
                buffers[k] = {station.request.data(), station.request.size()};
                messages[k] = {};
                messages[k].msg_hdr.msg_name = &targets[k];
                messages[k].msg_hdr.msg_namelen = sizeof targets[k];
                messages[k].msg_hdr.msg_iov = &buffers[k];
                messages[k].msg_hdr.msg_iovlen = 1;
            }
            const int sent =
                sendmmsg(sockets_[s], messages.data(), static_cast<unsigned>(count), 0);
            if (sent <= 0) {
                // The datagram at `start` was refused (no route, full queue):
                // its request times out like a lost one.
                ++counters_.sendErrors;
                ++start;
                continue;
            }
            start += static_cast<std::size_t>(sent);
        }
        queue.clear();
    }
}

void FleetPoller::Expire(std::size_t index, Time now) {
    Station& station = stations_[index];
    station.awaiting = false;
    ++station.status.lost;
    if (station.attempt < station.setup.retries) {
        ++station.attempt;
        Send(index, now);
        return;
    }
    // The poll is over; its next slot keeps the station's phase.
    Time next = station.nextPoll;
    while (next <= now) {
        next += station.setup.interval;
    }
    Schedule(index, next);
}

void FleetPoller::Advance(Time now) {
    while (!due_.empty() && due_.top().at <= now) {
        const Due due = due_.top();
        due_.pop();
        Station& station = stations_[due.index];
        if (station.awaiting && due.at == station.deadline) {
            Expire(due.index, now);
        } else if (!station.awaiting && due.at == station.nextPoll) {
            station.attempt = 0;
            Send(due.index, now);
        }
        // Otherwise the entry is stale: the reply came, or a reload moved the station.
    }
    FlushSends();
}

std::optional<Time> FleetPoller::NextDeadline() const {
    if (due_.empty()) {
        return std::nullopt;
    }
    return due_.top().at;
}

void FleetPoller::OnReadable(Time now) {
    epoll_event events[kSockets];
    epoll_wait(epoll_, events, kSockets, 0);  // clears nothing: the sockets are read to the end
    for (std::size_t s = 0; s < kSockets; ++s) {
        Receive(s, now);
    }
}

void FleetPoller::Receive(std::size_t socket, Time now) {
    static thread_local std::vector<uint8_t> area(kBatch * wire::kReplyBufferSize);
    std::array<mmsghdr, kBatch> messages{};
    std::array<iovec, kBatch> buffers{};
    std::array<sockaddr_in, kBatch> senders{};
    for (;;) {
        for (std::size_t k = 0; k < kBatch; ++k) {
            buffers[k] = {area.data() + k * wire::kReplyBufferSize, wire::kReplyBufferSize};
            messages[k] = {};
            messages[k].msg_hdr.msg_name = &senders[k];
            messages[k].msg_hdr.msg_namelen = sizeof senders[k];
            messages[k].msg_hdr.msg_iov = &buffers[k];
            messages[k].msg_hdr.msg_iovlen = 1;
        }
        const int received =
            recvmmsg(sockets_[socket], messages.data(), kBatch, MSG_DONTWAIT, nullptr);
        if (received <= 0) {
            return;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(received); ++k) {
            const std::size_t size = messages[k].msg_len;
            std::copy_n(area.data() + k * wire::kReplyBufferSize, size, reply_.begin());
            // Another station's bytes must not fill a short reply's gaps.
            std::fill(reply_.begin() + static_cast<long>(size), reply_.end(), 0);
            Accept(socket, senders[k], size, now);
        }
        if (static_cast<std::size_t>(received) < kBatch) {
            return;
        }
    }
}

void FleetPoller::Accept(std::size_t socket, const sockaddr_in& from, std::size_t size, Time now) {
    const auto found =
        byEndpoint_.find(EndpointKey(ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)));
    if (found == byEndpoint_.end()) {
        ++counters_.foreign;
        return;
    }
    Station& station = stations_[found->second];
    if (!station.awaiting || station.socket != socket || now > station.deadline) {
        ++station.status.late;
        ++counters_.late;
        return;
    }
    station.awaiting = false;
    const StatusRecord record = DecodeStatusRecord(reply_);
    if (ClassifyReply(reply_) != ReplyKind::Status || !IsValidStatusRecord(record, size)) {
        ++station.status.invalid;
        ++station.status.lost;
    } else {
        ++station.status.received;
        station.status.lastRoundTrip = now - station.sentAt;
        station.status.lastValidReply = now;
        station.silence.StatusReceived(0);
        station.status.readings = DecodeReadings(record, station.setup.jumpers);
        roundTrips_.Add(now - station.sentAt);
    }
    station.status.silent = station.silence.Silent();
    Time next = station.nextPoll;
    while (next <= now) {
        next += station.setup.interval;
    }
    Schedule(found->second, next);
}

}  // namespace varnex::fleet
