// One station as the fleet poller sees it: what to poll and how often, and
// what came of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/readings.h"
#include "protocol/reply_silence.h"

namespace varnex::fleet {

using Time = std::chrono::steady_clock::time_point;

struct StationSetup {
    std::string id;        // stable across reloads; the exporter's label
    uint32_t address = 0;  // IPv4, host byte order
    uint16_t port = 7;
    std::string password;
    VoltmeterJumpers jumpers;
    std::chrono::milliseconds interval{1000};
    // How long one request waits for its reply; retries are sent at once
    // after a timeout, within the same poll.
    std::chrono::milliseconds timeout{500};
    int retries = 0;
    bool operator==(const StationSetup&) const = default;
};

struct StationStatus {
    uint64_t sent = 0;      // requests, retries included
    uint64_t received = 0;  // valid status records in time
    uint64_t lost = 0;      // requests without a valid record within their timeout
    uint64_t late = 0;      // replies after their request's timeout, dropped
    uint64_t invalid = 0;   // replies in time that were no valid status record
    std::optional<std::chrono::nanoseconds> lastRoundTrip;
    std::optional<Time> lastValidReply;
    bool silent = false;                 // the shared rule
    // The unit's last reply in time said the password is wrong; the next
    // valid status record clears it.
    bool passwordRefused = false;
    std::optional<Readings> readings;    // from the last valid status record
    std::optional<StatusRecord> record;  // that record, for its JSON object
};

}  // namespace varnex::fleet
