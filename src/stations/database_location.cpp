#include "stations/database_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace varnex {
namespace {

constexpr std::string_view kApplicationFolder = "/Korvath/VNXv1";
constexpr std::string_view kDatabaseFileName = "/VNXv1.MDB";

// Like `mkdir -p`, private to the user as data folders should be.
void CreateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) {
            return;
        }
    }
}

}  // namespace

std::string DefaultDatabaseLocation(const char* xdgDataHome, const char* home) {
    std::string dataHome;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        dataHome = xdgDataHome;
    } else {
        dataHome = std::string(home != nullptr ? home : "") + "/.local/share";
    }
    return dataHome + std::string(kApplicationFolder) + std::string(kDatabaseFileName);
}

std::string DefaultDatabaseLocation() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return DefaultDatabaseLocation(std::getenv("XDG_DATA_HOME"), home);
}

std::string ReadDatabaseLocation(const PlatformHooks& hooks, const std::string& defaultLocation) {
    std::optional<std::string> location = hooks.readSetting(std::string(kDatabaseLocationKey));
    if (!location) {
        hooks.writeSetting(std::string(kDatabaseLocationKey), defaultLocation);
        location = defaultLocation;
    }
    const std::size_t folderEnd = location->rfind('/');
    if (*location == defaultLocation && folderEnd != std::string::npos && folderEnd > 0) {
        CreateFolders(location->substr(0, folderEnd));
    }
    return *location;
}

}  // namespace varnex
