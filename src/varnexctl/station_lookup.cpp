#include "varnexctl/station_lookup.h"

#include <arpa/inet.h>

#include <sys/stat.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "stations/database_location.h"
#include "stations/station_store.h"
#include "varnexctl/settings_file.h"

namespace varnex::ctl {
namespace {

// SQLite's URI form carries the read-only mode; these characters would end
// the path part of it.
std::string ReadOnlyUri(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?mode=ro";
}

}  // namespace

bool IsDottedAddress(const std::string& text) {
    in_addr parsed{};
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

std::string DatabasePath(const std::string& given) {
    if (!given.empty()) {
        return given;
    }
    const std::string settings =
        ClientSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    std::ifstream file(settings, std::ios::binary);
    if (file) {
        std::stringstream text;
        text << file.rdbuf();
        if (auto stored = ReadSettingsValue(text.str(), kDatabaseLocationKey)) {
            return *stored;
        }
    }
    return DefaultDatabaseLocation();
}

std::variant<std::vector<LoadedStation>, Failure> ReadStations(const std::string& path) {
    struct stat info {};
    // The driver would report a missing file only as a failed connection.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Failure{kFailure, "no station database at " + path};
    }
    PlatformHooks hooks;
    std::string error;
    hooks.showMessage = [&error](const Message& message) {
        if (error.empty()) {
            error = message.text;
        }
    };
    StationStore store(hooks);
    store.OpenStationStore(ReadOnlyUri(path));
    std::optional<std::vector<LoadedStation>> stations =
        store.LoadStations(MessageOwner::MainWindow);
    if (!stations) {
        return Failure{kFailure, "cannot read the station database " + path + ": " + error};
    }
    return *stations;
}

std::variant<std::optional<LoadedStation>, Failure> FindStation(
    const std::vector<LoadedStation>& stations, const std::string& target) {
    for (const LoadedStation& station : stations) {
        if (station.address == target) {
            return std::optional<LoadedStation>{station};
        }
    }
    std::optional<LoadedStation> found;
    for (const LoadedStation& station : stations) {
        if (station.comment == target) {
            if (found) {
                return UsageError("TARGET: several stations have the comment \"" + target +
                                  "\"; name one by its address");
            }
            found = station;
        }
    }
    return found;
}

}  // namespace varnex::ctl
