// Readable test failures for the packet counters.
#pragma once

#include <ostream>

#include "protocol/packet_counters.h"

namespace varnex {

inline void PrintTo(const PacketCounters& counters, std::ostream* out) {
    *out << "{Sent " << counters.sent << ", Received " << counters.received << ", Lost "
         << counters.lost << "}";
}

}  // namespace varnex
