#include "varnexd/probe.h"

#include <poll.h>

#include <algorithm>

#include "fleet/fleet_poller.h"

namespace varnex::varnexd {

fleet::StationStatus ProbeStation(const fleet::StationSetup& station,
                                  std::chrono::milliseconds budget) {
    using Clock = std::chrono::steady_clock;
    fleet::StationSetup once = station;
    once.timeout = std::clamp(station.timeout, std::chrono::milliseconds(1), budget);
    once.retries = static_cast<int>(budget / once.timeout) - 1;
    once.interval = budget + std::chrono::milliseconds(1);  // no second poll
    // A probe's single answer needs no large queue.
    fleet::FleetPoller poller({.bindAddress = "0.0.0.0",
                               .receiveBuffer = 0,
                               .sendWindow = std::chrono::milliseconds(0),
                               .readGap = std::chrono::milliseconds(0)});
    const auto start = Clock::now();
    const auto end = start + budget;
    poller.SetStations({once}, start);
    poller.Advance(start);
    for (auto now = start; now < end; now = Clock::now()) {
        const fleet::StationStatus& status = poller.Status(0);
        // A reply that is no status record (a wrong password) ends the poll: no retry follows.
        if (status.readings || status.invalid > 0 ||
            status.lost > static_cast<uint64_t>(once.retries)) {
            break;
        }
        const auto next = std::min(poller.NextDeadline().value_or(end), end);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now);
        pollfd ready{poller.Descriptor(), POLLIN, 0};
        poll(&ready, 1, static_cast<int>(std::max<long>(wait.count(), 0)));
        poller.OnReadable(Clock::now());
        poller.Advance(Clock::now());
    }
    return poller.Status(0);
}

}  // namespace varnex::varnexd
