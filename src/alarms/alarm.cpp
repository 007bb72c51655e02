#include "alarms/alarm.h"

#include <cmath>
#include <cstdio>

namespace varnex::alarms {
namespace {

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// "above 12.00 V: 12.41 V"
std::string Crossing(const char* side, double limit, double value, int decimals, const char* unit) {
    return std::string(side) + " " + Fixed(limit, decimals) + " " + unit + ": " +
           Fixed(value, decimals) + " " + unit;
}

}  // namespace

std::string AlarmDescription(const Alarm& alarm) {
    const std::string voltmeter = "Voltmeter " + std::to_string(alarm.voltmeter + 1) + " ";
    switch (alarm.kind) {
        case AlarmKind::VoltageHigh:
            return voltmeter + Crossing("above", alarm.limit, alarm.value, 2, "V");
        case AlarmKind::VoltageLow:
            return voltmeter + Crossing("below", alarm.limit, alarm.value, 2, "V");
        case AlarmKind::TemperatureHigh:
            return "Temperature " + Crossing("above", alarm.limit, alarm.value, 1, "°C");
        case AlarmKind::TemperatureLow:
            return "Temperature " + Crossing("below", alarm.limit, alarm.value, 1, "°C");
        case AlarmKind::Silent:
            return "Silent for " + Fixed(std::floor(alarm.value), 0) + " s (limit " +
                   Fixed(alarm.limit, 0) + " s)";
    }
    return "";
}

std::string AlarmText(const Alarm& alarm) {
    return alarm.ip + " " + AlarmDescription(alarm);
}

}  // namespace varnex::alarms
