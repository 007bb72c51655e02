#include "automation/temperature_trigger.h"

#include <algorithm>
#include <limits>

#include "automation/relay_scripts.h"
#include "session/session.h"
#include "text/conversions.h"

namespace varnex {
namespace {

constexpr std::string_view kChooseUpperText =
    "Choose a Relay Script to execute when the\r\ntemperature is greater than your chosen "
    "threshold !";
constexpr std::string_view kChooseLowerText =
    "Choose a Relay Script to execute when the\r\ntemperature is lower than your chosen "
    "threshold !";
constexpr std::string_view kEqualThresholdsText =
    "There should be at least one degree difference\r\nbetween the two temperature thresholds !";
constexpr std::string_view kReversedThresholdsText =
    "The top slider should be GREATER than the bottom slider !";

// The main window's temperature texts are read through buffers of this size.
constexpr std::size_t kTemperatureTextMax = 10;
constexpr uint32_t kYellowFrom = 10;
constexpr int kRedPerDegree = 5;

// A reported threshold beyond the sliders' range shows where the slider
// can stand, so what is shown is what an upload would send.
int SliderPosition(uint8_t threshold) {
    return std::min<int>(threshold, kThresholdMax);
}

}  // namespace

ReportedTemperatureTrigger ReportedTemperature(const StatusSnapshot& snapshot) {
    const auto& t = snapshot.temperatureTrigger;
    ReportedTemperatureTrigger reported;
    reported.executeOn = t[wire::kTemperatureEnabled] != 0;
    reported.enabled = t[wire::kTemperatureEnabled] == 1;
    reported.upper = SliderPosition(t[wire::kTemperatureUpperThreshold]);
    reported.lower = SliderPosition(t[wire::kTemperatureLowerThreshold]);
    reported.upperRow = ReportedRow(t[wire::kTemperatureUpperSlot]);
    reported.lowerRow = ReportedRow(t[wire::kTemperatureLowerSlot]);
    return reported;
}

bool TemperatureResetVisible(const StatusSnapshot& snapshot) {
    return snapshot.firmwareVersion >= wire::kFirmwareTemperatureReset;
}

uint32_t CelsiusFieldValue(std::string_view text) {
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + uint64_t(c - '0');
        if (value > std::numeric_limits<uint32_t>::max()) {
            return 0;
        }
    }
    return static_cast<uint32_t>(value);
}

std::string FahrenheitText(std::string_view celsiusField) {
    const long double celsius = CelsiusFieldValue(celsiusField);
    return FormatDecimal(celsius * 9 / 5 + 32, 1);
}

std::string CurrentTemperatureText(std::string_view celsius, std::string_view fahrenheit) {
    return "Current Temperature: ( " + std::string(celsius.substr(0, kTemperatureTextMax)) +
           " \u00B0C    " + std::string(fahrenheit.substr(0, kTemperatureTextMax)) + " \u00B0F  )";
}

ThresholdColours ThresholdFieldColours(std::string_view celsiusField, int sliderPosition) {
    const int red = std::clamp(kRedPerDegree * sliderPosition, 0, 255);
    const auto other = static_cast<uint8_t>(255 - red);
    const Rgb text =
        CelsiusFieldValue(celsiusField) < kYellowFrom ? Rgb{0, 0, 0} : Rgb{255, 255, 0};
    return {text, Rgb{static_cast<uint8_t>(red), other, other}};
}

ScriptAction UploadTemperatureTrigger(Session& session, const PlatformHooks& hooks,
                                      const TemperatureChoice& choice) {
    const std::string& password = session.station().password;
    if (choice.disableOn) {
        BuildTemperatureTriggerCommand(session.command(), password, false, 0, 0, 0, 0);
        return SendBuiltCommand(session);
    }
    const std::optional<uint8_t> upperSlot = TriggerSlotByte(hooks, choice.upper, kChooseUpperText);
    if (!upperSlot) {
        return ScriptAction::Refused;
    }
    const std::optional<uint8_t> lowerSlot = TriggerSlotByte(hooks, choice.lower, kChooseLowerText);
    if (!lowerSlot) {
        return ScriptAction::Refused;
    }
    const int upper = std::clamp(choice.upperPosition, 0, kThresholdMax);
    const int lower = std::clamp(choice.lowerPosition, 0, kThresholdMax);
    if (upper == lower) {
        ShowScriptMessage(hooks, kEqualThresholdsText, MessageIcon::Exclamation);
        return ScriptAction::Refused;
    }
    if (upper < lower) {
        ShowScriptMessage(hooks, kReversedThresholdsText, MessageIcon::Exclamation);
        return ScriptAction::Refused;
    }
    BuildTemperatureTriggerCommand(session.command(), password, true, *upperSlot, *lowerSlot, upper,
                                   lower);
    return SendBuiltCommand(session);
}

ScriptAction ResetTemperatureSensor(Session& session) {
    return session.SendCommand(Command::TemperatureReset) ? ScriptAction::Sent
                                                          : ScriptAction::SendFailed;
}

}  // namespace varnex
