#include "varnexd/mqtt_discovery.h"

#include <nlohmann/json.hpp>

#include "protocol/status_json.h"
#include "protocol/wire_format.h"

namespace varnex::varnexd {
namespace {

using json = nlohmann::ordered_json;

// The state is sent at least once a minute; three missed minutes and Home
// Assistant shows the value as unavailable even if both availability
// topics were left behind as online.
constexpr int kExpireAfterSeconds = 180;

json Common(const MqttConfig& config, const DiscoveredStation& station, const std::string& object,
            const std::string& name) {
    const std::string base = config.prefix + "/" + station.topicId;
    json device = {{"identifiers", json::array({"varnex_" + station.topicId})},
                   {"name", station.name},
                   {"manufacturer", "Varnex"},
                   {"model", "Varnex unit"}};
    if (!station.firmware.empty()) {
        device["sw_version"] = station.firmware;
    }
    return {{"name", name},
            {"unique_id", "varnex_" + station.topicId + "_" + object},
            {"object_id", "varnex_" + station.topicId + "_" + object},
            {"state_topic", base + "/state"},
            {"availability", json::array({{{"topic", config.prefix + "/bridge/availability"}},
                                          {{"topic", base + "/availability"}}})},
            {"availability_mode", "all"},
            {"device", device}};
}

std::string Topic(const MqttConfig& config, const char* component, const DiscoveredStation& station,
                  const std::string& object) {
    return config.discoveryPrefix + "/" + component + "/varnex_" + station.topicId + "/" + object +
           "/config";
}

}  // namespace

std::string TopicId(const std::string& id) {
    std::string slug = id;
    for (char& c : slug) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!allowed) {
            c = '_';
        }
    }
    return slug;
}

std::vector<Retained> DiscoveryConfigs(const MqttConfig& config, const DiscoveredStation& station,
                                       bool present) {
    std::vector<Retained> configs;
    const auto add = [&](const char* component, const std::string& object, const json& body,
                         bool shown) {
        configs.emplace_back(Topic(config, component, station, object),
                             present && shown ? JsonText(body) : std::string());
    };
    for (std::size_t n = 1; n <= wire::kVoltmeterCount; ++n) {
        const std::string object = "voltmeter_" + std::to_string(n);
        json body = Common(config, station, object, "Voltmeter " + std::to_string(n));
        body["device_class"] = "voltage";
        body["unit_of_measurement"] = "V";
        body["state_class"] = "measurement";
        body["expire_after"] = kExpireAfterSeconds;
        body["value_template"] = "{{ value_json.voltmeters[" + std::to_string(n - 1) + "].volts }}";
        add("sensor", object, body, true);
    }
    json temperature = Common(config, station, "temperature", "Temperature");
    temperature["device_class"] = "temperature";
    temperature["unit_of_measurement"] = "°C";
    temperature["state_class"] = "measurement";
    temperature["expire_after"] = kExpireAfterSeconds;
    temperature["value_template"] = "{{ value_json.temperature_celsius }}";
    add("sensor", "temperature", temperature, true);
    for (std::size_t n = 1; n <= wire::kPinCount; ++n) {
        const std::string object = "pin_" + std::to_string(n);
        json body = Common(config, station, object, "Pin " + std::to_string(n));
        body["expire_after"] = kExpireAfterSeconds;
        body["value_template"] =
            "{{ 'ON' if value_json.pins[" + std::to_string(n - 1) + "].high else 'OFF' }}";
        add("binary_sensor", object, body, true);
    }
    for (std::size_t n = 1; n <= wire::kRelayCount; ++n) {
        const std::string object = "relay_" + std::to_string(n);
        // The unit's own word: ON is status byte 0, as varnexctl shows it.
        json body = Common(config, station, object, "Relay " + std::to_string(n));
        body["command_topic"] =
            config.prefix + "/" + station.topicId + "/relay/" + std::to_string(n) + "/set";
        body["payload_on"] = "ON";
        body["payload_off"] = "OFF";
        body["value_template"] = "{{ 'ON' if value_json.relays[" + std::to_string(n - 1) +
                                 "].unit_says_on else 'OFF' }}";
        add("switch", object, body, config.commands);
    }
    return configs;
}

}  // namespace varnex::varnexd
