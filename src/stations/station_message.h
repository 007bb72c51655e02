// Database and station messages all carry the program's caption.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform_hooks.h"

namespace varnex {

inline constexpr std::string_view kStationCaption = "  Varnex v1";
inline constexpr const char* kStationNotFoundText =
    "SQL general overness, can't find the IP Address in the Database!";

inline void ShowStationMessage(const PlatformHooks& hooks, MessageOwner owner, std::string text,
                               MessageIcon icon) {
    hooks.showMessage(Message{owner, std::move(text), std::string(kStationCaption), icon});
}

}  // namespace varnex
