// The "DataBase" option: the path the user types or picks is kept for the
// run and stored for the next start; the open connection never changes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform_hooks.h"

namespace varnex {

// The database location the program runs with (read at start-up) and the
// file last picked in the file-open dialog during this run.
// What the path field takes and the settings store keeps.
inline constexpr std::size_t kDatabasePathChars = 259;

struct DatabaseLocationMemory {
    std::string path;
    std::string lastChosenFile;
};

// "OK": the typed path (at most 259 characters, not checked) replaces the
// path in memory and is stored; a store that cannot be written stays silent.
void AcceptDatabaseOptions(const PlatformHooks& hooks, DatabaseLocationMemory& memory,
                           std::string_view typedPath);

// A file accepted in the file-open dialog (at most 260 characters), which
// the next file-open dialog of this run starts on.
void RememberChosenDatabaseFile(DatabaseLocationMemory& memory, std::string_view chosenFile);

}  // namespace varnex
