// One unit polled at scrape time, on a socket of its own, so a silent unit
// holds up nothing but its own probe.
#pragma once

#include <chrono>

#include "fleet/fleet_station.h"

namespace varnex::varnexd {

// Sends the status request, again after each timeout, until a valid status
// record comes or `budget` is spent.
fleet::StationStatus ProbeStation(const fleet::StationSetup& station,
                                  std::chrono::milliseconds budget);

}  // namespace varnex::varnexd
