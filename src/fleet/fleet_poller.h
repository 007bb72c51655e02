// Polls a whole fleet of units for their status from one thread. It owns
// its sockets and a schedule but no thread or clock: the caller waits on
// Descriptor() (epoll, poll or a socket notifier), then calls OnReadable,
// and calls Advance when NextDeadline has come. To read in batches it
// watches Descriptor() only from NextRead() on.
//
// The protocol carries no request id, so a reply is matched to its station
// by the address and port it comes from, and to its request by time and by
// socket: a reply after its request's timeout is dropped as late, and after
// a lost request the station's next request leaves from the other socket,
// so the lost request's reply, should it still come, can never count for
// the next one. (Only a reply later than two lost requests in a row could
// still meet a third request on its socket.)
#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <optional>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "fleet/fleet_station.h"
#include "fleet/round_trip_histogram.h"
#include "protocol/reply_buffer.h"
#include "protocol/wire_format.h"

namespace varnex::fleet {

struct PollerOptions {
    std::string bindAddress = "0.0.0.0";
    // Bytes asked of the kernel for each receive queue: a fleet answering in
    // one burst must not overflow it.
    int receiveBuffer = 16 << 20;
    // Polls due within this span are sent together, a little early, so a
    // large fleet costs one system call per batch rather than per request.
    std::chrono::milliseconds sendWindow{10};
    // Replies are stamped by the kernel on arrival, so the caller may leave
    // them queued this long after a read and take more at once.
    std::chrono::milliseconds readGap{5};
};

struct PollerCounters {
    uint64_t foreign = 0;          // datagrams from no configured station
    uint64_t late = 0;             // replies after their timeout (all stations)
    uint64_t sendErrors = 0;       // requests the kernel refused
    int grantedReceiveBuffer = 0;  // bytes, as the kernel reports it
};

class FleetPoller {
  public:
    // Sockets that could not be set up leave `error` set and the poller unusable.
    explicit FleetPoller(const PollerOptions& options = {});
    ~FleetPoller();
    FleetPoller(const FleetPoller&) = delete;
    FleetPoller& operator=(const FleetPoller&) = delete;

    const std::string& Error() const { return error_; }
    // Readable when a reply may be waiting.
    int Descriptor() const { return epoll_; }
    // The local ports the requests leave from.
    std::vector<uint16_t> LocalPorts() const;

    // Sets the stations to poll. A station whose id and setup are unchanged
    // keeps its counters and readings; the first polls of the fleet are
    // spread over each station's interval from `now`.
    void SetStations(const std::vector<StationSetup>& stations, Time now);
    // Polls station `index` now (a probe), whatever its schedule.
    void PollNow(std::size_t index, Time now);

    void OnReadable(Time now);
    // When the caller should watch Descriptor() again after a read; until
    // then it waits for NextDeadline only.
    Time NextRead() const { return lastRead_ + readGap_; }
    void Advance(Time now);
    std::optional<Time> NextDeadline() const;

    std::size_t Size() const { return stations_.size(); }
    const StationSetup& Setup(std::size_t index) const { return stations_[index].setup; }
    const StationStatus& Status(std::size_t index) const { return stations_[index].status; }
    const PollerCounters& Counters() const { return counters_; }
    const RoundTripHistogram& RoundTrips() const { return roundTrips_; }

  private:
    static constexpr std::size_t kSockets = 2;

    struct Station {
        StationSetup setup;
        StationStatus status;
        ReplySilence silence;
        std::array<uint8_t, wire::kCommandFrameSize> request{};
        Time nextPoll{};
        Time deadline{};  // of the request in flight
        Time sentAt{};
        bool awaiting = false;
        int attempt = 0;
        std::size_t socket = 0;  // of the request in flight; changes after a loss
    };
    struct Due {
        Time at;
        std::size_t index;
        bool operator>(const Due& other) const { return at > other.at; }
    };

    void Schedule(std::size_t index, Time at);
    void ScheduleNextSlot(std::size_t index, Time now);
    // Drops heap tops that no longer stand for a poll or a request in
    // flight, so NextDeadline never wakes the caller for nothing.
    void PruneStale();
    bool IsCurrentPoll(const Due& due) const;
    bool IsCurrentDeadline(const Due& due) const;
    void Send(std::size_t index, Time now);
    void FlushSends();
    void Expire(std::size_t index, Time now);
    void Receive(std::size_t socket, Time now);
    void Accept(std::size_t socket, const sockaddr_in& from, const ReplyBuffer& reply,
                std::size_t size, Time now);

    std::string error_;
    int epoll_ = -1;
    std::array<int, kSockets> sockets_{-1, -1};
    std::vector<Station> stations_;
    std::unordered_map<uint64_t, std::size_t> byEndpoint_;
    using DueQueue = std::priority_queue<Due, std::vector<Due>, std::greater<>>;
    std::chrono::milliseconds sendWindow_;
    std::chrono::milliseconds readGap_;
    Time lastRead_{};
    DueQueue polls_;      // when each station's next poll starts
    DueQueue deadlines_;  // when each request in flight times out
    std::array<std::vector<std::size_t>, kSockets> outgoing_;
    PollerCounters counters_;
    RoundTripHistogram roundTrips_;
};

}  // namespace varnex::fleet
