#include "varnexctl/argument_checks.h"

#include <cctype>

#include "protocol/script_record.h"
#include "text/conversions.h"

namespace varnex::ctl {
namespace {

bool AllDigits(const std::string& text, std::size_t from) {
    if (from >= text.size()) {
        return false;
    }
    for (std::size_t i = from; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    return true;
}

std::string Range(double low, double high) {
    return FormatDecimal(low, low == static_cast<long>(low) ? 0 : 1) + " to " +
           FormatDecimal(high, high == static_cast<long>(high) ? 0 : 1);
}

}  // namespace

std::string Shown(const std::string& text) {
    return "\"" + (text.size() > 40 ? text.substr(0, 40) + "..." : text) + "\"";
}

std::variant<double, Failure> CheckDecimal(const std::string& text, const std::string& name,
                                           double low, double high) {
    std::string digits = text;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        digits.erase(0, 1);
    }
    const std::size_t stop = digits.find('.');
    if (stop != std::string::npos) {
        digits.erase(stop, 1);
    }
    const std::optional<long double> value =
        digits.size() <= 18 && AllDigits(digits, 0) ? ParseDecimal(text) : std::nullopt;
    if (!value || *value < low || *value > high) {
        return UsageError(name + ": " + Shown(text) + " is not a number from " + Range(low, high));
    }
    return static_cast<double>(*value);
}

std::variant<long, Failure> CheckWhole(const std::string& text, const std::string& name, long low,
                                       long high) {
    if (text.size() > 12 || !AllDigits(text, 0) || std::stol(text) < low ||
        std::stol(text) > high) {
        return UsageError(name + ": " + Shown(text) + " is not a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high));
    }
    return std::stol(text);
}

std::optional<Failure> CheckUnitText(const std::string& text, const std::string& name,
                                     std::size_t limit, bool fullStop) {
    if (text.empty() || text.size() > limit) {
        return UsageError(name + ": must have 1 to " + std::to_string(limit) + " characters, not " +
                          std::to_string(text.size()));
    }
    for (const char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ' && !(fullStop && c == '.')) {
            return UsageError(name + ": " + Shown(text) +
                              " holds a character the unit cannot take (digits, ASCII letters, "
                              "blanks" +
                              (fullStop ? ", full stops" : "") + " only)");
        }
    }
    return std::nullopt;
}

std::variant<bool, Failure> CheckOnOff(const std::string& text, const std::string& name) {
    if (text == "on" || text == "off") {
        return text == "on";
    }
    return UsageError(name + ": " + Shown(text) + " is neither on nor off");
}

std::variant<MacBytes, Failure> CheckMac(const std::string& text, const std::string& name) {
    MacBytes mac{};
    bool wellFormed = text.size() == 17;
    for (std::size_t i = 0; wellFormed && i < mac.size(); ++i) {
        const std::string group = text.substr(i * 3, 2);
        wellFormed = std::isxdigit(static_cast<unsigned char>(group[0])) &&
                     std::isxdigit(static_cast<unsigned char>(group[1])) &&
                     (i == 5 || text[i * 3 + 2] == ':' || text[i * 3 + 2] == '-');
        mac[i] = static_cast<uint8_t>(wellFormed ? ParseHex(group) : 0);
    }
    if (!wellFormed) {
        return UsageError(name + ": " + Shown(text) + " is not XX:XX:XX:XX:XX:XX");
    }
    if ((mac[0] & 1) != 0 || mac == MacBytes{}) {
        return UsageError(name + ": " + Shown(text) +
                          " is a group or all-zero address, which the unit refuses");
    }
    return mac;
}

std::variant<uint32_t, Failure> CheckAddress(const std::string& text, const std::string& name) {
    const std::optional<uint32_t> address =
        text.size() <= 15 ? ParseDottedAddress(text) : std::nullopt;
    if (!address || FormatDottedAddress(*address) != text) {
        return UsageError(name + ": " + Shown(text) + " is not a dotted IPv4 address");
    }
    return *address;
}

std::variant<std::vector<std::string>, Failure> CheckSteps(const std::vector<std::string>& steps) {
    if (steps.empty() || steps.size() > kScriptStepCount) {
        return UsageError("STEP: a script has 1 to 16 steps, not " + std::to_string(steps.size()));
    }
    std::vector<std::string> texts;
    for (const std::string& step : steps) {
        std::string text;
        if (step.size() == 9 && step.rfind("relay", 0) == 0 && step[5] >= '1' && step[5] <= '3' &&
            step.substr(6) == ":on") {
            text = "Relay " + step.substr(5, 1) + " ON";
        } else if (step.size() == 10 && step.rfind("relay", 0) == 0 && step[5] >= '1' &&
                   step[5] <= '3' && step.substr(6) == ":off") {
            text = "Relay " + step.substr(5, 1) + " OFF";
        } else if (step.size() == 7 && step.rfind("delay:", 0) == 0 && step[6] >= '1' &&
                   step[6] <= '5') {
            text = "Delay " + step.substr(6) + (step[6] == '1' ? " Second" : " Seconds");
        } else {
            return UsageError("STEP: " + Shown(step) +
                              " is none of relay1:on .. relay3:off, delay:1 .. delay:5");
        }
        texts.push_back(text);
    }
    return texts;
}

}  // namespace varnex::ctl
