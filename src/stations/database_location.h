// Where the station database lives: one path in the per-user settings store.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform_hooks.h"

namespace varnex {

inline constexpr std::string_view kDatabaseLocationKey = "Options/Database/Location";

// $XDG_DATA_HOME/Korvath/VNXv1/VNXv1.MDB, with ~/.local/share standing in for
// an unset or relative XDG_DATA_HOME. Either argument may be null.
std::string DefaultDatabaseLocation(const char* xdgDataHome, const char* home);
// The same for this process's environment.
std::string DefaultDatabaseLocation();

// The stored location; when none is stored, `defaultLocation` is stored and
// used. The default location's folder is created when missing; a folder the
// user chose never is.
std::string ReadDatabaseLocation(const PlatformHooks& hooks, const std::string& defaultLocation);

}  // namespace varnex
