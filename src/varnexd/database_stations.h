// The stations of a station database (the desktop client's file) as
// varnexd's configuration: each row's address is its id, its comment its name.
#pragma once

#include <string>

#include "varnexd/station_config.h"

namespace varnex::varnexd {

// Only reads: varnexd never changes the file the desktop client keeps.
ConfigResult LoadDatabaseStations(const std::string& path, const ConfigDefaults& defaults);

}  // namespace varnex::varnexd
