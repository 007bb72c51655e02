// The rules of the "Temperature Control" dialog: the unit's temperature
// trigger as reported, the Fahrenheit read-out and the colours of the
// threshold fields, the upload and the unit's "Reset".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "automation/trigger_choice.h"
#include "protocol/status_record.h"
#include "protocol/unit_frames.h"
#include "session/display_state.h"

namespace varnex {

class Session;

inline constexpr std::string_view kTemperatureTitle = "Temperature Control";
inline constexpr std::string_view kTemperatureDisableText =
    "Disable temperature activated relay action.";
inline constexpr std::string_view kTemperatureExecuteText =
    "Execute a relay script when temperature thresholds are reached.";
inline constexpr std::string_view kUpperGroupText = "Execute a relay script when GREATER than:";
inline constexpr std::string_view kLowerGroupText = "Execute a relay script when LOWER than:";
inline constexpr std::string_view kCelsiusStart = "0";
inline constexpr std::string_view kFahrenheitStart = "32.0";
inline constexpr int kThresholdMax = 50;  // both sliders run 0..50 degrees Celsius
inline constexpr int kFahrenheitReadoutMs = 500;

// The setting of the last status record, as the dialog opens with it.
struct ReportedTemperatureTrigger {
    bool executeOn = false;  // any non-zero mode byte
    bool enabled = false;    // mode byte exactly 1: the table selects the scripts
    int upper = 0;           // thresholds as slider positions (0..50)
    int lower = 0;
    std::optional<int> upperRow;
    std::optional<int> lowerRow;
};

ReportedTemperatureTrigger ReportedTemperature(const StatusSnapshot& snapshot);

// "Reset" shows only from firmware 174 on.
bool TemperatureResetVisible(const StatusSnapshot& snapshot);

// A threshold field's number: unsigned whole degrees; text that is no such
// number reads as 0.
uint32_t CelsiusFieldValue(std::string_view text);
// tc x 9 / 5 + 32 with one decimal: "0" gives " 32.0".
std::string FahrenheitText(std::string_view celsiusField);
// "Current Temperature: ( 21.5 °C     70.7 °F  )" from the main window's texts.
std::string CurrentTemperatureText(std::string_view celsius, std::string_view fahrenheit);

struct ThresholdColours {
    Rgb text;
    Rgb background;
};
// Black text below 10 degrees, yellow from 10; the background runs from
// cyan at 0 to nearly pure red at 50 with the slider.
ThresholdColours ThresholdFieldColours(std::string_view celsiusField, int sliderPosition);

struct TemperatureChoice {
    bool disableOn = false;
    PickedScript upper;
    PickedScript lower;
    int upperPosition = 0;  // the sliders; the Celsius fields are only a read-out
    int lowerPosition = 0;
};

// "Upload": off goes out unchecked; on checks the upper script, the lower
// script, then the thresholds. Sent closes the dialog.
ScriptAction UploadTemperatureTrigger(Session& session, const PlatformHooks& hooks,
                                      const TemperatureChoice& choice);

// "Reset": "T", no question. Sent closes the dialog.
ScriptAction ResetTemperatureSensor(Session& session);

}  // namespace varnex
