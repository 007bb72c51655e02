// What the alarm tests share: a steady clock an hour past its epoch,
// loopback station addresses, and a fleet watched with the same limits.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "alarms/alarm_monitor.h"

namespace varnex::alarm_tests {

inline alarms::Time At(int seconds) {
    return alarms::Time{} + std::chrono::hours(1) + std::chrono::seconds(seconds);
}

inline std::string Address(int n) {
    return "127.0.0." + std::to_string(n);
}

// Stations 1 to `count`, watched, silent after `silentSeconds`, in alarm
// with voltmeter 1 above `upperVolts`.
inline std::map<std::string, StationWatch> WatchedStations(int count, uint32_t silentSeconds,
                                                           double upperVolts) {
    std::map<std::string, StationWatch> watches;
    for (int n = 1; n <= count; ++n) {
        StationWatch watch;
        watch.watched = true;
        watch.silentSeconds = silentSeconds;
        watch.voltmeters[0].upper = upperVolts;
        watches.emplace(Address(n), watch);
    }
    return watches;
}

}  // namespace varnex::alarm_tests
