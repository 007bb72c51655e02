// The command line of varnexd.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "varnexd/mqtt_config.h"

namespace varnex::varnexd {

struct DaemonOptions {
    std::string config = "/etc/varnex/varnexd.yaml";
    std::string database;  // when set, stations come from the station database instead
    std::string listen = "127.0.0.1:9871";
    std::chrono::milliseconds interval{1000};
    uint16_t unitPort = 7;  // VARNEX_UNIT_PORT
    bool probeOnly = false;
    bool help = false;
    MqttOverrides mqtt;
};

struct ParsedDaemonOptions {
    std::optional<DaemonOptions> options;
    std::string error;
};

// `arguments` without the program name; `unitPort` is VARNEX_UNIT_PORT or empty.
ParsedDaemonOptions ParseDaemonOptions(const std::vector<std::string>& arguments,
                                       const char* unitPort);
std::string DaemonUsage();

}  // namespace varnex::varnexd
