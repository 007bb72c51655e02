// The rules of the "Relay Scripts" dialog: execute a stored slot, upload
// the composed steps into a slot under a name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/script_actions.h"
#include "protocol/unit_frames.h"

namespace varnex {

class Session;
struct PlatformHooks;

inline constexpr std::string_view kEmptyScriptText = "Empty Script Not Allowed !";
inline constexpr std::string_view kScriptFullText = "A script has at most 16 steps.";

// What the dialog shows when the user acts: the step list's texts in order
// and the name list's selected row, if any.
struct ScriptChoice {
    std::vector<std::string> steps;
    std::optional<int> row;
};

// "Execute Script": the unit runs its stored copy of the chosen slot; steps
// composed and not uploaded stay here. Sent closes the dialog.
ScriptAction ExecuteScript(Session& session, const PlatformHooks& hooks,
                           const ScriptChoice& choice);

// A double-click on a command: true when the step list, now `steps` long,
// takes one more; a full list is refused with a message, since the unit
// would never see the extra steps.
bool RoomForStep(const PlatformHooks& hooks, std::size_t steps);

// "Upload Script": true when the user confirmed, so the naming panel opens.
bool ConfirmUpload(const PlatformHooks& hooks, const ScriptChoice& choice);

// "OK" on the naming panel: the steps and row as they are now, the typed
// name (its first 15 characters are sent). Sent closes the panel.
ScriptAction UploadScript(Session& session, const PlatformHooks& hooks, const ScriptChoice& choice,
                          std::string_view typedName);

}  // namespace varnex
