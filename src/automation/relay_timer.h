// The rules of the "Relay Timer" dialog: the delay fields, setting the
// unit's timer to run a slot once or again and again, and stopping it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/script_actions.h"
#include "protocol/command_packet.h"
#include "protocol/unit_frames.h"

namespace varnex {

class Session;
struct PlatformHooks;

struct TimerField {
    std::string_view caption;
    uint32_t largest;
    uint32_t seconds;  // one unit of the field in seconds
};

// Days, hours, minutes, seconds, in the dialog's order.
inline constexpr std::array<TimerField, 4> kTimerFields = {{
    {"Days", 30, 86400},
    {"Hours", 23, 3600},
    {"Minutes", 59, 60},
    {"Seconds", 59, 1},
}};

inline constexpr std::string_view kOneShotText =
    "This Timer should execute a Relay Script only one time after counting down. (one shot)";
inline constexpr std::string_view kContinuousText =
    "This Timer should execute a Relay Script after counting down then reload the Timer and "
    "start again. (continous)";
inline constexpr std::string_view kEmptyTimerScriptText = "Empty Relay Script !";
inline constexpr std::string_view kChooseDelayText = "Choose a Delay Time !";
// What a read-out value shows before anything is picked.
inline constexpr std::string_view kTimerValueStart = "00";

// A field's values "00" up to its largest, two digits each.
std::vector<std::string> TimerFieldValues(const TimerField& field);

// What typing into a field's edit box makes of its read-out value: one or
// two digits up to the field's largest give that value's text, an empty box
// gives "00"; anything else is refused (nullopt), so the box never shows a
// value other than the one the delay uses.
std::optional<std::string> TypedTimerValue(const TimerField& field, std::string_view typed);

// The delay the four read-out values name, in seconds.
uint32_t TimerDelaySeconds(const std::array<std::string, 4>& readouts);

// The script label after a click on a name: the name without trailing blanks.
std::string TimerScriptLabel(std::string_view name);

struct TimerChoice {
    bool stepsEmpty = true;  // the step list shows no step
    std::optional<int> row;  // the selected name row
    std::array<std::string, 4> readouts;
    TimerMode mode = TimerMode::OneShot;
};

// "Set Timer": script first, then the delay, then the question. Sent
// closes the dialog.
ScriptAction SetRelayTimer(Session& session, const PlatformHooks& hooks, const TimerChoice& choice);

// "Stop Timer" here and in the main window: "N", no question.
ScriptAction StopRelayTimer(Session& session);

}  // namespace varnex
