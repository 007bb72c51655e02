// What a message on a relay's command topic asks for: PREFIX/ID/relay/N/set
// with ON, OFF or TOGGLE SECONDS, exactly those words. Anything else is
// ignored, with the reason counted, and never reaches a unit.
#pragma once

#include <string>
#include <variant>

#include "protocol/unit_frames.h"
#include "varnexd/mqtt_client.h"

namespace varnex::varnexd {

// Why a message on a command topic was not carried out.
enum class IgnoredReason { Retained, Oversized, BadPayload, BadRelay, UnknownStation };
inline constexpr std::size_t kIgnoredReasons = 5;

// The label of varnex_mqtt_commands_ignored_total: "retained", "oversized"...
const char* ReasonLabel(IgnoredReason reason);

struct MqttRelayCommand {
    std::string topicId;
    int relay = 1;
    RelayAction action = RelayAction::On;
    int toggleSeconds = 0;
};

// The payload that asks for `action`: "ON", "OFF", "TOGGLE 5".
std::string CommandWords(RelayAction action, int toggleSeconds);

// `message` arrived on `prefix`/+/relay/+/set. The station is not looked up.
std::variant<MqttRelayCommand, IgnoredReason> ParseRelayCommand(const std::string& prefix,
                                                                const MqttMessage& message);

}  // namespace varnex::varnexd
