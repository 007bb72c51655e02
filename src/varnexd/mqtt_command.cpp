#include "varnexd/mqtt_command.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "protocol/wire_format.h"

namespace varnex::varnexd {
namespace {

constexpr std::string_view kTogglePrefix = "TOGGLE ";

// 1..60 in plain digits, no sign, no leading zero.
std::optional<int> ToggleSeconds(std::string_view text) {
    int seconds = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || text.front() == '0' || failure != std::errc() ||
        end != text.data() + text.size() || seconds < kToggleSecondsMin ||
        seconds > kToggleSecondsMax) {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace

const char* ReasonLabel(IgnoredReason reason) {
    switch (reason) {
        case IgnoredReason::Retained:
            return "retained";
        case IgnoredReason::Oversized:
            return "oversized";
        case IgnoredReason::BadPayload:
            return "bad_payload";
        case IgnoredReason::BadRelay:
            return "bad_relay";
        case IgnoredReason::UnknownStation:
            break;
    }
    return "unknown_station";
}

std::string CommandWords(RelayAction action, int toggleSeconds) {
    if (action == RelayAction::Toggle) {
        return std::string(kTogglePrefix) + std::to_string(toggleSeconds);
    }
    return action == RelayAction::On ? "ON" : "OFF";
}

std::variant<MqttRelayCommand, IgnoredReason> ParseRelayCommand(const std::string& prefix,
                                                                const MqttMessage& message) {
    // A retained command would fire again at every start.
    if (message.retained) {
        return IgnoredReason::Retained;
    }
    if (message.oversized) {
        return IgnoredReason::Oversized;
    }
    // PREFIX/ID/relay/N/set: the levels after the prefix.
    const std::string_view topic = message.topic;
    if (topic.size() <= prefix.size() + 1 || topic.substr(0, prefix.size()) != prefix ||
        topic[prefix.size()] != '/') {
        return IgnoredReason::UnknownStation;
    }
    const std::string_view rest = topic.substr(prefix.size() + 1);
    const std::size_t idEnd = rest.find('/');
    constexpr std::string_view kRelay = "/relay/";
    constexpr std::string_view kSet = "/set";
    if (idEnd == std::string_view::npos || rest.substr(idEnd, kRelay.size()) != kRelay) {
        return IgnoredReason::UnknownStation;
    }
    MqttRelayCommand command;
    command.topicId = std::string(rest.substr(0, idEnd));
    const std::string_view number = rest.substr(idEnd + kRelay.size());
    if (number.size() != 1 + kSet.size() || number.substr(1) != kSet || number[0] < '1' ||
        number[0] > static_cast<char>('0' + wire::kRelayCount)) {
        return IgnoredReason::BadRelay;
    }
    command.relay = number[0] - '0';
    const std::string_view words = message.payload;
    if (words == "ON" || words == "OFF") {
        command.action = words == "ON" ? RelayAction::On : RelayAction::Off;
        return command;
    }
    if (words.substr(0, kTogglePrefix.size()) == kTogglePrefix) {
        if (const auto seconds = ToggleSeconds(words.substr(kTogglePrefix.size()))) {
            command.action = RelayAction::Toggle;
            command.toggleSeconds = *seconds;
            return command;
        }
    }
    return IgnoredReason::BadPayload;
}

}  // namespace varnex::varnexd
