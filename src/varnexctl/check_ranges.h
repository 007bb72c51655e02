// Threshold ranges as monitoring plugins write them, and the one status line
// with performance data that monitoring systems read.
//
//   10      alert outside 0..10        10:     alert below 10
//   ~:10    alert above 10             10:20   alert outside 10..20
//   @10:20  alert inside 10..20
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "protocol/readings.h"
#include "varnexctl/exit_status.h"

namespace varnex::ctl {

struct ThresholdRange {
    std::optional<double> low;   // nullopt: minus infinity
    std::optional<double> high;  // nullopt: plus infinity
    bool alertInside = false;
    std::string text;  // as given, for the performance data
};

std::optional<ThresholdRange> ParseRange(const std::string& text);
bool Alerts(const ThresholdRange& range, double value);

// The measured quantities by name: "volts1".."volts8", "celsius".
inline constexpr std::array<const char*, 9> kCheckMetrics = {
    "volts1", "volts2", "volts3", "volts4", "volts5", "volts6", "volts7", "volts8", "celsius"};

struct CheckThresholds {
    std::map<std::string, ThresholdRange> warning;
    std::map<std::string, ThresholdRange> critical;
};

// "METRIC=RANGE" arguments of --warning or --critical into `into`.
std::optional<Failure> AddThresholds(const std::vector<std::string>& arguments,
                                     const std::string& optionName,
                                     std::map<std::string, ThresholdRange>& into);

struct CheckResult {
    int status = kCheckOk;
    std::string line;  // "VARNEX OK - ... | perfdata"
};

CheckResult EvaluateCheck(const Readings& readings, const CheckThresholds& thresholds);

// The line for a check that could not measure.
CheckResult UnknownCheck(const std::string& message);

}  // namespace varnex::ctl
