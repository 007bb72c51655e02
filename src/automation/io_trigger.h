// The rules of the "I/O Control" dialog: one pin's trigger as reported, and
// the upload of a new setting for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "automation/trigger_choice.h"
#include "protocol/command_packet.h"
#include "protocol/status_record.h"
#include "protocol/unit_frames.h"

namespace varnex {

class Session;

inline constexpr std::string_view kIoTitle = "I/O Control";
inline constexpr std::string_view kIoDisableText = "Disable  I/O state change action.";
inline constexpr std::string_view kIoExecuteText = "Execute a relay script when I/O state changes.";
inline constexpr std::string_view kIoCaption = "I/O";
inline constexpr std::string_view kIoZeroGroupText =
    "Choose a Relay Script to execute when I/O pin is a '0'";
inline constexpr std::string_view kIoOneGroupText =
    "Choose a Relay Script to execute when I/O pin is a '1'";

// Pins 1..5 as the main window numbers them.
bool ValidPin(int pin);

// The pin's setting in the last status record; off for a pin outside 1..5.
struct ReportedIoTrigger {
    bool executeOn = false;  // any non-zero mode byte
    bool enabled = false;    // mode byte exactly 1: the table selects the scripts
    std::optional<int> rowForZero;
    std::optional<int> rowForOne;
};

ReportedIoTrigger ReportedIo(const StatusSnapshot& snapshot, int pin);

struct IoChoice {
    bool disableOn = false;
    PickedScript forZero;  // upper picker
    PickedScript forOne;   // lower picker
};

// "Upload" for `pin`: off goes out unchecked; on checks the script for 0,
// then the script for 1. Sent closes the dialog. A pin outside 1..5 sends
// nothing.
ScriptAction UploadIoTrigger(Session& session, const PlatformHooks& hooks, int pin,
                             const IoChoice& choice);

}  // namespace varnex
