// What a message on a relay's command topic asks for, or why it is ignored.
#include "varnexd/mqtt_command.h"

#include <gtest/gtest.h>

namespace varnex::varnexd {
namespace {

struct ParseCase {
    std::string topic;
    std::string payload;
    bool retained;
    bool oversized;
    // Either the command (station, relay, action, seconds) or the reason.
    std::optional<MqttRelayCommand> command;
    std::optional<IgnoredReason> reason;
};

TEST(MqttCommand, OnlyTheExactWordsOnARelayOfAStationAreACommand) {
    using R = IgnoredReason;
    const auto cmd = [](std::string id, int relay, RelayAction action, int seconds) {
        return std::optional<MqttRelayCommand>(
            MqttRelayCommand{std::move(id), relay, action, seconds});
    };
    for (const ParseCase& c : std::vector<ParseCase>{
             {"site/a/u_1/relay/1/set", "ON", false, false, cmd("u_1", 1, RelayAction::On, 0), {}},
             {"site/a/u_1/relay/3/set",
              "OFF",
              false,
              false,
              cmd("u_1", 3, RelayAction::Off, 0),
              {}},
             {"site/a/b-2/relay/2/set",
              "TOGGLE 2",
              false,
              false,
              cmd("b-2", 2, RelayAction::Toggle, 2),
              {}},
             {"site/a/u_1/relay/2/set",
              "TOGGLE 60",
              false,
              false,
              cmd("u_1", 2, RelayAction::Toggle, 60),
              {}},
             {"site/a/u_1/relay/1/set", "ON", true, false, {}, R::Retained},
             {"site/a/u_1/relay/1/set", "", false, true, {}, R::Oversized},
             {"site/a/u_1/relay/1/set", "on", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "ON ", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE 0", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE 61", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE 05", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE -5", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "TOGGLE  5", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", std::string("ON\0", 3), false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/1/set", "\xff\xfe", false, false, {}, R::BadPayload},
             {"site/a/u_1/relay/0/set", "ON", false, false, {}, R::BadRelay},
             {"site/a/u_1/relay/4/set", "ON", false, false, {}, R::BadRelay},
             {"site/a/u_1/relay/12/set", "ON", false, false, {}, R::BadRelay},
             {"site/a/u_1/relay/x/set", "ON", false, false, {}, R::BadRelay},
             {"site/b/u_1/relay/1/set", "ON", false, false, {}, R::UnknownStation},
         }) {
        SCOPED_TRACE(c.topic + " " + c.payload);
        const auto parsed =
            ParseRelayCommand("site/a", {c.topic, c.payload, c.retained, c.oversized});
        if (c.command) {
            const auto* command = std::get_if<MqttRelayCommand>(&parsed);
            ASSERT_NE(command, nullptr);
            EXPECT_EQ(command->topicId, c.command->topicId);
            EXPECT_EQ(command->relay, c.command->relay);
            EXPECT_EQ(command->action, c.command->action);
            EXPECT_EQ(command->toggleSeconds, c.command->toggleSeconds);
            // The words read back are the words sent.
            EXPECT_EQ(CommandWords(command->action, command->toggleSeconds), c.payload);
        } else {
            const auto* reason = std::get_if<IgnoredReason>(&parsed);
            ASSERT_NE(reason, nullptr);
            EXPECT_EQ(*reason, *c.reason);
        }
    }
}

}  // namespace
}  // namespace varnex::varnexd
