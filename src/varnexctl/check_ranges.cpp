#include "varnexctl/check_ranges.h"

#include <algorithm>
#include <cstdio>

#include "varnexctl/argument_checks.h"

namespace varnex::ctl {
namespace {

constexpr std::array<const char*, 4> kStatusWords = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

std::optional<double> Number(const std::string& text) {
    const auto checked = CheckDecimal(text, "", -1e9, 1e9);
    if (std::holds_alternative<Failure>(checked)) {
        return std::nullopt;
    }
    return std::get<double>(checked);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

std::optional<ThresholdRange> ParseRange(const std::string& text) {
    ThresholdRange range;
    range.text = text;
    std::string body = text;
    if (!body.empty() && body[0] == '@') {
        range.alertInside = true;
        body.erase(0, 1);
    }
    if (body.empty()) {
        return std::nullopt;
    }
    const std::size_t colon = body.find(':');
    if (colon == std::string::npos) {
        range.low = 0.0;
        range.high = Number(body);
        if (!range.high) {
            return std::nullopt;
        }
    } else {
        const std::string low = body.substr(0, colon);
        const std::string high = body.substr(colon + 1);
        if (low != "~") {
            range.low = low.empty() ? 0.0 : Number(low);
            if (!range.low) {
                return std::nullopt;
            }
        }
        if (!high.empty()) {
            range.high = Number(high);
            if (!range.high) {
                return std::nullopt;
            }
        }
    }
    if (range.low && range.high && *range.low > *range.high) {
        return std::nullopt;
    }
    return range;
}

bool Alerts(const ThresholdRange& range, double value) {
    const bool inside =
        (!range.low || value >= *range.low) && (!range.high || value <= *range.high);
    return range.alertInside ? inside : !inside;
}

std::optional<Failure> AddThresholds(const std::vector<std::string>& arguments,
                                     const std::string& optionName,
                                     std::map<std::string, ThresholdRange>& into) {
    for (const std::string& argument : arguments) {
        const std::size_t equals = argument.find('=');
        const std::string metric = argument.substr(0, equals);
        if (equals == std::string::npos ||
            std::find(kCheckMetrics.begin(), kCheckMetrics.end(), metric) == kCheckMetrics.end()) {
            return UsageError(optionName + ": \"" + argument.substr(0, 64) +
                              "\" is not METRIC=RANGE with METRIC one of volts1..volts8, celsius");
        }
        const std::optional<ThresholdRange> range = ParseRange(argument.substr(equals + 1));
        if (!range) {
            return UsageError(optionName + ": \"" + argument.substr(equals + 1, 64) +
                              "\" is not a range (N, N:, ~:N, N:M or @N:M)");
        }
        into[metric] = *range;
    }
    return std::nullopt;
}

CheckResult EvaluateCheck(const Readings& readings, const CheckThresholds& thresholds) {
    struct Measured {
        std::string name;
        double value;
        int decimals;
        std::string unit;
        std::string range;  // ";min;max" of the performance data, when known
    };
    std::vector<Measured> measured;
    for (std::size_t n = 0; n < readings.voltmeters.size(); ++n) {
        const VoltmeterReading& v = readings.voltmeters[n];
        measured.push_back({kCheckMetrics[n], static_cast<double>(v.volts), 3, " V",
                            ";0;" + std::to_string(v.fullScaleVolts)});
    }
    if (!readings.temperature) {
        return UnknownCheck("the temperature is unreadable");
    }
    measured.push_back(
        {"celsius", static_cast<double>(readings.temperature->Celsius()), 1, " C", ""});

    CheckResult result;
    std::string problems;
    std::string perfdata;
    for (const Measured& m : measured) {
        const auto warning = thresholds.warning.find(m.name);
        const auto critical = thresholds.critical.find(m.name);
        int status = kCheckOk;
        if (critical != thresholds.critical.end() && Alerts(critical->second, m.value)) {
            status = kCheckCritical;
        } else if (warning != thresholds.warning.end() && Alerts(warning->second, m.value)) {
            status = kCheckWarning;
        }
        const std::string value = Fixed(m.value, m.decimals);
        if (status != kCheckOk) {
            problems += (problems.empty() ? "" : ", ") + m.name + " " + value + m.unit + " " +
                        kStatusWords[static_cast<std::size_t>(status)];
            result.status = std::max(result.status, status);
        }
        perfdata += " " + m.name + "=" + value + ";" +
                    (warning != thresholds.warning.end() ? warning->second.text : "") + ";" +
                    (critical != thresholds.critical.end() ? critical->second.text : "") + m.range;
    }
    const std::string summary =
        problems.empty()
            ? "temperature " + Fixed(measured.back().value, 1) + " C, no threshold crossed"
            : problems;
    result.line = std::string("VARNEX ") + kStatusWords[static_cast<std::size_t>(result.status)] +
                  " - " + summary + " |" + perfdata;
    return result;
}

CheckResult UnknownCheck(const std::string& message) {
    return {kCheckUnknown, "VARNEX UNKNOWN - " + message};
}

}  // namespace varnex::ctl
