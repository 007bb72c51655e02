#include "stations/database_options.h"

#include "stations/database_location.h"
#include "stations/station_list_rules.h"

namespace varnex {
namespace {

constexpr std::size_t kChosenFileChars = 260;

}  // namespace

void AcceptDatabaseOptions(const PlatformHooks& hooks, DatabaseLocationMemory& memory,
                           std::string_view typedPath) {
    memory.path = FirstCharacters(typedPath, kDatabasePathChars);
    hooks.writeSetting(std::string(kDatabaseLocationKey), memory.path);
}

void RememberChosenDatabaseFile(DatabaseLocationMemory& memory, std::string_view chosenFile) {
    memory.lastChosenFile = FirstCharacters(chosenFile, kChosenFileChars);
}

}  // namespace varnex
