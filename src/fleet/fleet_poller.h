// Polls a whole fleet of units for their status from one thread. It owns
// its sockets and a schedule but no thread or clock: the caller waits on
// Descriptor() (epoll, poll or a socket notifier), then calls OnReadable,
// and calls Advance when NextDeadline has come.
//
// The protocol carries no request id, so a reply is matched to its station
// by the address and port it comes from, and to its request by time and by
// socket: consecutive requests to a station leave from alternating sockets,
// so a reply to the previous request can never count for the current one,
// and a reply after its request's timeout is dropped as late.
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
        std::size_t socket = 0;  // of the request in flight
        uint64_t requests = 0;   // chooses the socket
    };
    struct Due {
        Time at;
        std::size_t index;
        bool operator>(const Due& other) const { return at > other.at; }
    };

    void Schedule(std::size_t index, Time at);
    void Send(std::size_t index, Time now);
    void FlushSends();
    void Expire(std::size_t index, Time now);
    void Receive(std::size_t socket, Time now);
    void Accept(std::size_t socket, const sockaddr_in& from, std::size_t size, Time now);

    std::string error_;
    int epoll_ = -1;
    std::array<int, kSockets> sockets_{-1, -1};
    std::vector<Station> stations_;
    std::unordered_map<uint64_t, std::size_t> byEndpoint_;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due_;
    std::array<std::vector<std::size_t>, kSockets> outgoing_;
    PollerCounters counters_;
    RoundTripHistogram roundTrips_;
    ReplyBuffer reply_{};
};

}  // namespace varnex::fleet
