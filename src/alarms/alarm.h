// One alarm of one station, and the words lists and notifications use for it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace varnex::alarms {

using Time = std::chrono::steady_clock::time_point;
using WallTime = std::chrono::system_clock::time_point;

enum class AlarmKind { VoltageHigh, VoltageLow, TemperatureHigh, TemperatureLow, Silent };

struct Alarm {
    uint64_t id = 0;  // unique for the monitor's life
    std::string ip;
    AlarmKind kind = AlarmKind::Silent;
    int voltmeter = -1;  // 0..7 for voltage alarms
    double value = 0;    // the reading that raised it (seconds of silence for Silent)
    double limit = 0;
    WallTime raised{};
    std::optional<WallTime> cleared;
    std::optional<WallTime> acknowledged;

    bool Open() const { return !cleared.has_value(); }
};

// What went wrong, without the station: "Voltmeter 3 above 12.00 V: 12.41 V",
// "Temperature below 5.0 °C: 3.5 °C", "Silent for 65 s (limit 60 s)".
std::string AlarmDescription(const Alarm& alarm);
// The whole alarm's text as notifications show it: the station's address,
// then its description.
std::string AlarmText(const Alarm& alarm);

}  // namespace varnex::alarms
