// Home Assistant's discovery configurations for one station: a sensor per
// voltmeter and for the temperature, a binary sensor per I/O pin and, when
// commands are accepted, a switch per relay, all under one device. Every
// topic is always listed; an empty payload removes that entity, so a
// station that goes away or commands switched off leave no ghosts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "varnexd/mqtt_config.h"

namespace varnex::varnexd {

struct DiscoveredStation {
    std::string topicId;   // see TopicId
    std::string name;      // shown in Home Assistant
    std::string firmware;  // empty until the first reply
};

using Retained = std::pair<std::string, std::string>;  // topic, payload

// `present` false: the same topics with empty payloads.
std::vector<Retained> DiscoveryConfigs(const MqttConfig& config, const DiscoveredStation& station,
                                       bool present);

// The station's topic level and Home Assistant id: its configured id with
// every character other than letters, digits, _ and - made _.
std::string TopicId(const std::string& id);

}  // namespace varnex::varnexd
