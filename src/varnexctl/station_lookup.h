// The station database as varnexctl sees it: found where the desktop client
// keeps it (or given), opened read-only, never created; a target named by a
// station's address or exact comment.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "stations/loaded_station.h"
#include "varnexctl/exit_status.h"

namespace varnex::ctl {

// The database file: `given` when not empty, else the location the client's
// settings file names, else the client's default location.
std::string DatabasePath(const std::string& given);

// Every station of the database at `path`; a missing or unreadable file is
// a Failure (and stays untouched).
std::variant<std::vector<LoadedStation>, Failure> ReadStations(const std::string& path);

// The station whose address, or else whose exact comment, is `target`.
// None is nullopt; several stations with that comment are a usage error.
std::variant<std::optional<LoadedStation>, Failure> FindStation(
    const std::vector<LoadedStation>& stations, const std::string& target);

bool IsDottedAddress(const std::string& text);

}  // namespace varnex::ctl
