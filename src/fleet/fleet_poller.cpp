#include "fleet/fleet_poller.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
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
    // Arrival stamps: a reply read late (the caller reads in batches) is
    // still judged and timed by when it came.
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
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

FleetPoller::FleetPoller(const PollerOptions& options)
    : sendWindow_(options.sendWindow), readGap_(options.readGap) {
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
    polls_ = {};
    deadlines_ = {};
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
        polls_.push({station.nextPoll, i});
    }
    stations_ = std::move(next);
}

void FleetPoller::Schedule(std::size_t index, Time at) {
    stations_[index].nextPoll = at;
    polls_.push({at, index});
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
    station.awaiting = true;
    station.sentAt = now;
    station.deadline = now + station.setup.timeout;
    ++station.status.sent;
    station.silence.PollSent();
    station.status.silent = station.silence.Silent();
    deadlines_.push({station.deadline, index});
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
    // Its reply may still come: the next request leaves from the other
    // socket, where that reply can never be taken for the next one's.
    station.socket = (station.socket + 1) % kSockets;
    if (station.attempt < station.setup.retries) {
        ++station.attempt;
        Send(index, now);
        return;
    }
    ScheduleNextSlot(index, now);
}

void FleetPoller::ScheduleNextSlot(std::size_t index, Time now) {
    // The slot after the one just polled (which may lie a send window ahead),
    // keeping the station's phase; slots already past are skipped.
    const Station& station = stations_[index];
    Time next = station.nextPoll + station.setup.interval;
    while (next <= now) {
        next += station.setup.interval;
    }
    Schedule(index, next);
}

bool FleetPoller::IsCurrentPoll(const Due& due) const {
    const Station& station = stations_[due.index];
    return !station.awaiting && due.at == station.nextPoll;
}

bool FleetPoller::IsCurrentDeadline(const Due& due) const {
    const Station& station = stations_[due.index];
    return station.awaiting && due.at == station.deadline;
}

void FleetPoller::PruneStale() {
    while (!polls_.empty() && !IsCurrentPoll(polls_.top())) {
        polls_.pop();
    }
    while (!deadlines_.empty() && !IsCurrentDeadline(deadlines_.top())) {
        deadlines_.pop();
    }
}

void FleetPoller::Advance(Time now) {
    // Timeouts never come early: a reply may still be on its way.
    while (!deadlines_.empty() && deadlines_.top().at <= now) {
        const Due due = deadlines_.top();
        deadlines_.pop();
        if (IsCurrentDeadline(due)) {
            Expire(due.index, now);
        }
    }
    while (!polls_.empty() && polls_.top().at <= now + sendWindow_) {
        const Due due = polls_.top();
        polls_.pop();
        if (IsCurrentPoll(due)) {
            stations_[due.index].attempt = 0;
            Send(due.index, now);
        }
    }
    FlushSends();
    PruneStale();
}

std::optional<Time> FleetPoller::NextDeadline() const {
    std::optional<Time> next;
    if (!polls_.empty()) {
        next = polls_.top().at;
    }
    if (!deadlines_.empty() && (!next || deadlines_.top().at < *next)) {
        next = deadlines_.top().at;
    }
    return next;
}

void FleetPoller::OnReadable(Time now) {
    lastRead_ = now;
    // Only the sockets with something waiting: a read that finds nothing
    // costs as much as one that finds a reply.
    epoll_event events[kSockets];
    const int ready = epoll_wait(epoll_, events, kSockets, 0);
    for (int i = 0; i < ready; ++i) {
        Receive(static_cast<std::size_t>(events[i].data.u64), now);
    }
    PruneStale();
}

void FleetPoller::Receive(std::size_t socket, Time now) {
    // Replies are decoded where they land: no copy per reply.
    static thread_local std::vector<ReplyBuffer> area(kBatch);
    std::array<mmsghdr, kBatch> messages{};
    std::array<iovec, kBatch> buffers{};
    std::array<sockaddr_in, kBatch> senders{};
    using Control = std::array<char, CMSG_SPACE(sizeof(timespec))>;
    std::array<Control, kBatch> controls{};
    // The kernel stamps arrival on the system clock; the schedule runs on the steady one.
    const auto offset =
        now.time_since_epoch() - std::chrono::system_clock::now().time_since_epoch();
    for (;;) {
        for (std::size_t k = 0; k < kBatch; ++k) {
            buffers[k] = {area[k].data(), area[k].size()};
            messages[k] = {};
            messages[k].msg_hdr.msg_name = &senders[k];
            messages[k].msg_hdr.msg_namelen = sizeof senders[k];
            messages[k].msg_hdr.msg_iov = &buffers[k];
            messages[k].msg_hdr.msg_iovlen = 1;
            messages[k].msg_hdr.msg_control = controls[k].data();
            messages[k].msg_hdr.msg_controllen = controls[k].size();
        }
        const int received =
            recvmmsg(sockets_[socket], messages.data(), kBatch, MSG_DONTWAIT, nullptr);
        if (received <= 0) {
            return;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(received); ++k) {
            const std::size_t size = messages[k].msg_len;
            // Another station's bytes must not fill a short reply's gaps; a
            // status record is read no further than its size.
            if (size < wire::kStatusRecordSize) {
                std::fill(area[k].begin() + static_cast<long>(size),
                          area[k].begin() + wire::kStatusRecordSize, 0);
            }
            Time arrival = now;
            const cmsghdr* stamp = CMSG_FIRSTHDR(&messages[k].msg_hdr);
            if (stamp != nullptr && stamp->cmsg_level == SOL_SOCKET &&
                stamp->cmsg_type == SCM_TIMESTAMPNS) {
                timespec at{};
                std::memcpy(&at, CMSG_DATA(stamp), sizeof at);
                const auto stamped = std::chrono::duration_cast<Time::duration>(
                    std::chrono::seconds(at.tv_sec) + std::chrono::nanoseconds(at.tv_nsec) +
                    offset);
                arrival = std::min(now, Time(stamped));
            }
            Accept(socket, senders[k], area[k], size, arrival);
        }
        if (static_cast<std::size_t>(received) < kBatch) {
            return;
        }
    }
}

void FleetPoller::Accept(std::size_t socket, const sockaddr_in& from, const ReplyBuffer& reply,
                         std::size_t size, Time now) {
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
    const ReplyKind kind = ClassifyReply(reply);
    const bool status = kind == ReplyKind::Status;
    const StatusRecord record = status ? DecodeStatusRecord(reply) : StatusRecord{};
    if (!status || !IsValidStatusRecord(record, size)) {
        ++station.status.invalid;
        ++station.status.lost;
        station.status.passwordRefused |= kind == ReplyKind::PasswordRefused;
    } else {
        ++station.status.received;
        station.status.passwordRefused = false;
        station.status.lastRoundTrip = now - station.sentAt;
        station.status.lastValidReply = now;
        station.silence.StatusReceived(0);
        station.status.readings = DecodeReadings(record, station.setup.jumpers);
        station.status.record = record;
        roundTrips_.Add(now - station.sentAt);
    }
    station.status.silent = station.silence.Silent();
    ScheduleNextSlot(found->second, now);
}

}  // namespace varnex::fleet
