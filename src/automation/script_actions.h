// What the dialogs that show the unit's scripts share: how a user action
// ends, the watch for a newly arrived script table, and the refusal for an
// action that needs a chosen slot.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform_hooks.h"

namespace varnex {

class Session;

enum class ScriptAction {
    Refused,     // a message told the user what is missing; nothing sent
    Declined,    // "No" to the confirmation; nothing sent
    Sent,        // the command left
    SendFailed,  // the transport has already told the user
};

// Period of a dialog's table watch.
inline constexpr int kTableWatchPeriodMs = 1;

// A send of the session's command buffer as a ScriptAction.
ScriptAction SendBuiltCommand(Session& session);

// True once for every table that arrives: lowers the flag it saw raised.
bool ConsumeScriptTable(Session& session);

// The slot byte of a selected name row 0..7. An action without a chosen
// slot refuses with kChooseScriptText rather than guess one the user
// cannot see.
std::optional<uint8_t> ChosenSlotByte(std::optional<int> row);
inline constexpr std::string_view kChooseScriptText = "Choose a Relay Script !";

// Shows `text` in a box of the open dialog, without a caption of its own.
void ShowScriptMessage(const PlatformHooks& hooks, std::string_view text, MessageIcon icon);
// A Yes/No question without icon; true on "Yes".
bool AskScriptQuestion(const PlatformHooks& hooks, std::string_view text, std::string_view caption);

}  // namespace varnex
