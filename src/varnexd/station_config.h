// The stations varnexd watches, read from its YAML file: per station a
// stable id, the unit's address and port, where its password is kept, the
// voltmeter jumpers, a name, extra labels and a poll interval.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_station.h"
#include "varnexd/mqtt_config.h"

namespace varnex::varnexd {

struct WatchedStation {
    fleet::StationSetup setup;  // the password read from its file
    std::string name;
    std::map<std::string, std::string> labels;  // added to every series of the station
};

struct FleetConfig {
    std::vector<WatchedStation> stations;
    MqttConfig mqtt;  // no bridge while its host is empty
};

struct ConfigDefaults {
    uint16_t port = 7;  // the unit's port, or VARNEX_UNIT_PORT
    std::chrono::milliseconds interval{1000};
    std::chrono::milliseconds timeout{500};
    int retries = 1;
    std::string credentialsFolder{};  // relative password files are found here first
};

struct ConfigResult {
    std::optional<FleetConfig> config;
    std::string error;  // one line naming the file and the field
};

ConfigResult LoadConfigFile(const std::string& path, const ConfigDefaults& defaults);
ConfigResult ParseConfig(const std::string& yaml, const std::string& folder,
                         const ConfigDefaults& defaults);

// "250ms", "1s", "1.5s", "2m"; nullopt for anything else or for zero.
std::optional<std::chrono::milliseconds> ParseDuration(const std::string& text);

}  // namespace varnex::varnexd
