// What every settings dialog shares: how an action leaves the dialog, how it
// tells the user something, and how it asks before a command to the unit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform_hooks.h"
#include "session/command_line.h"
#include "stations/station_message.h"

namespace varnex {

enum class DialogOutcome { StaysOpen, Closes };

inline constexpr std::string_view kAreYouSure = "\r\nAre You Sure ?";

// A message of the open dialog without a caption of its own.
inline void ShowDialogMessage(const PlatformHooks& hooks, std::string_view text, MessageIcon icon) {
    hooks.showMessage(Message{MessageOwner::ActiveDialog, std::string(text), "", icon});
}

// An address field that is not complete.
inline void ShowInvalidAddress(const PlatformHooks& hooks) {
    ShowStationMessage(hooks, MessageOwner::ActiveDialog, kInvalidAddressText, MessageIcon::Stop);
}

// A Yes/No box without icon; "No" means nothing is sent.
inline bool Confirmed(const PlatformHooks& hooks, std::string_view question,
                      std::string_view caption) {
    return hooks.askYesNo(Message{MessageOwner::ActiveDialog,
                                  std::string(question) + std::string(kAreYouSure),
                                  std::string(caption), MessageIcon::None});
}

// The first `count` characters of a field's UTF-8 text, never splitting one.
std::string FieldText(std::string_view text, std::size_t count);

}  // namespace varnex
