#include "varnexd/daemon_options.h"

#include <charconv>
#include <cstring>

#include "varnexd/station_config.h"

namespace varnex::varnexd {

ParsedDaemonOptions ParseDaemonOptions(const std::vector<std::string>& arguments,
                                       const char* unitPort) {
    DaemonOptions options;
    if (unitPort != nullptr && *unitPort != '\0') {
        unsigned port = 0;
        const char* end = unitPort + std::strlen(unitPort);
        const auto [last, failure] = std::from_chars(unitPort, end, port);
        if (failure != std::errc() || last != end || port == 0 || port > 65535) {
            return {std::nullopt, std::string("bad VARNEX_UNIT_PORT: ") + unitPort};
        }
        options.unitPort = static_cast<uint16_t>(port);
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if ((name == "--help" || name == "-h" || name == "--probe-only") && !value) {
            (name == "--probe-only" ? options.probeOnly : options.help) = true;
            continue;
        }
        if (name == "--mqtt.commands") {
            if (value && *value != "true" && *value != "false") {
                return {std::nullopt, "--mqtt.commands takes true or false"};
            }
            options.mqtt.commands = !value || *value == "true";
            continue;
        }
        if (name != "--config" && name != "--database" && name != "--web.listen-address" &&
            name != "--interval" && name != "--mqtt.broker" && name != "--mqtt.prefix" &&
            name != "--mqtt.discovery-prefix") {
            return {std::nullopt, "unknown option " + name};
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                return {std::nullopt, name + " needs a value"};
            }
            value = arguments[++i];
        }
        if (name == "--config") {
            options.config = *value;
        } else if (name == "--database") {
            options.database = *value;
        } else if (name == "--mqtt.broker") {
            options.mqtt.broker = *value;
        } else if (name == "--mqtt.prefix") {
            options.mqtt.prefix = *value;
        } else if (name == "--mqtt.discovery-prefix") {
            options.mqtt.discoveryPrefix = *value;
        } else if (name == "--web.listen-address") {
            options.listen = *value;
        } else {
            const auto interval = ParseDuration(*value);
            if (!interval) {
                return {std::nullopt, "bad value for --interval: " + *value};
            }
            options.interval = *interval;
        }
    }
    return {options, ""};
}

std::string DaemonUsage() {
    return R"(Usage: varnexd [options]

Polls a fleet of units and serves their readings to Prometheus.

Options:
  --config FILE              stations in YAML (default /etc/varnex/varnexd.yaml)
  --database PATH            stations from a station database instead (read only)
  --web.listen-address ADDR  where to serve HTTP (default 127.0.0.1:9871)
  --interval DURATION        default poll interval, e.g. 1s, 500ms (default 1s)
  --probe-only               poll only when /probe asks
  --mqtt.broker HOST:PORT    publish to this MQTT broker (over the config's mqtt:)
  --mqtt.commands[=BOOL]     accept relay commands from MQTT (default false)
  --mqtt.prefix TOPIC        topic prefix (default varnex)
  --mqtt.discovery-prefix TOPIC  Home Assistant's discovery prefix (default homeassistant)
  --help                     this text

Environment: VARNEX_UNIT_PORT sets the units' UDP port (default 7).
HTTP: /metrics (every station, from the latest polls), /probe?target=ID_OR_ADDRESS
(polls that unit now). SIGHUP reloads the stations and the broker settings.
)";
}

}  // namespace varnex::varnexd
