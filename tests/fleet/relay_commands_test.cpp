// Relay commands beside the fleet poller, against the fleet simulator over
// loopback UDP: what the unit does, and the outcome each case settles on.
#include "fleet/relay_commands.h"

#include <gtest/gtest.h>

#include <optional>

#include "fleet/fleet_rig.h"

namespace varnex::fleet {
namespace {

struct CommandCase {
    std::string name;
    RelayAction action;
    int seconds;
    bool relayOnBefore;    // unit 1's relay 2, in the unit's word
    std::string password;  // the station's
    bool toggleRunning;    // another relay's toggle runs on the unit
    bool unitAnswers;      // false: the unit drops every datagram
    CommandOutcome expected;
    bool relayOnAfter;
};

// Runs the rig until `commands` settles one command or 3 s pass.
std::optional<SettledCommand> SettleOne(FleetRig& rig, RelayCommands& commands) {
    std::optional<SettledCommand> settled;
    for (int i = 0; i < 300 && !settled; ++i) {
        rig.Run(10ms, commands.Descriptor(), [&] {
            commands.OnReadable();
            for (SettledCommand& command : commands.Settle(rig.Poller(), Clock::now())) {
                settled = std::move(command);
            }
        });
    }
    return settled;
}

TEST(RelayCommands, EachCaseSettlesOnItsOutcomeAndTheUnitShowsIt) {
    for (const CommandCase& c : std::vector<CommandCase>{
             {"on", RelayAction::On, 0, false, "tamble", false, true, CommandOutcome::Done, true},
             {"off", RelayAction::Off, 0, true, "tamble", false, true, CommandOutcome::Done, false},
             {"on when on", RelayAction::On, 0, true, "tamble", false, true, CommandOutcome::Done,
              true},
             {"toggle", RelayAction::Toggle, 2, false, "tamble", false, true, CommandOutcome::Done,
              true},
             {"wrong password", RelayAction::On, 0, false, "wrong", false, true,
              CommandOutcome::Refused, false},
             {"toggle while a toggle runs", RelayAction::Toggle, 2, false, "tamble", true, true,
              CommandOutcome::Refused, false},
             // It may well have switched: no answer says only that nothing was heard.
             {"a unit that never answers", RelayAction::On, 0, false, "tamble", false, false,
              CommandOutcome::NoAnswer, true},
         }) {
        SCOPED_TRACE(c.name);
        FleetRig rig(1);
        unit::UnitServer& unit = rig.Units().Unit(0);
        unit.State().relayOn[1] = c.relayOnBefore;
        StationSetup station = rig.Station(0, 100ms, 50ms);
        station.password = c.password;
        rig.Poller().SetStations({station}, Clock::now());
        rig.Run(300ms);
        if (c.toggleRunning) {
            RelayCommands other("127.0.0.1");
            ASSERT_EQ(other.Send({0, 3, RelayAction::Toggle, 30}, rig.Poller(), Clock::now()),
                      std::nullopt);
            rig.Run(100ms);
            ASSERT_TRUE(unit.State().toggle.has_value());
        }
        unit.SetDropEvery(c.unitAnswers ? 0 : 1);

        RelayCommands commands("127.0.0.1");
        ASSERT_EQ(commands.Error(), "");
        ASSERT_EQ(commands.Send({0, 2, c.action, c.seconds}, rig.Poller(), Clock::now()),
                  std::nullopt);
        const auto settled = SettleOne(rig, commands);
        ASSERT_TRUE(settled.has_value());
        EXPECT_EQ(settled->outcome, c.expected) << settled->why;
        EXPECT_EQ(settled->stationId, "unit1");
        EXPECT_EQ(settled->request.relay, 2);
        EXPECT_EQ(unit.State().relayOn[1], c.relayOnAfter);
        EXPECT_EQ(commands.InFlight(), 0u);
    }
}

TEST(RelayCommands, ASecondCommandForTheSameRelayIsBusyAndAnotherRelayIsNot) {
    FleetRig rig(1);
    rig.Poller().SetStations({rig.Station(0)}, Clock::now());
    rig.Run(200ms);
    RelayCommands commands("127.0.0.1");
    EXPECT_EQ(commands.Send({0, 1, RelayAction::On, 0}, rig.Poller(), Clock::now()), std::nullopt);
    const auto busy = commands.Send({0, 1, RelayAction::Off, 0}, rig.Poller(), Clock::now());
    ASSERT_TRUE(busy.has_value());
    EXPECT_EQ(busy->outcome, CommandOutcome::Busy);
    EXPECT_EQ(commands.Send({0, 3, RelayAction::On, 0}, rig.Poller(), Clock::now()), std::nullopt);
    EXPECT_EQ(commands.InFlight(), 2u);
    std::vector<SettledCommand> settled;
    for (int i = 0; i < 300 && settled.size() < 2; ++i) {
        rig.Run(10ms, commands.Descriptor(), [&] {
            commands.OnReadable();
            for (SettledCommand& command : commands.Settle(rig.Poller(), Clock::now())) {
                settled.push_back(std::move(command));
            }
        });
    }
    ASSERT_EQ(settled.size(), 2u);
    for (const SettledCommand& command : settled) {
        EXPECT_EQ(command.outcome, CommandOutcome::Done) << command.why;
    }
    EXPECT_TRUE(rig.Units().Unit(0).State().relayOn[0]);
    EXPECT_TRUE(rig.Units().Unit(0).State().relayOn[2]);
}

TEST(RelayCommands, ACommandForAStationThatWasReloadedAwayHasNoAnswer) {
    FleetRig rig(2);
    rig.Poller().SetStations({rig.Station(0), rig.Station(1)}, Clock::now());
    rig.Run(200ms);
    RelayCommands commands("127.0.0.1");
    rig.Units().Unit(0).SetDropEvery(1);
    ASSERT_EQ(commands.Send({0, 1, RelayAction::On, 0}, rig.Poller(), Clock::now()), std::nullopt);
    rig.Poller().SetStations({rig.Station(1)}, Clock::now());
    const auto settled = commands.Settle(rig.Poller(), Clock::now());
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0].outcome, CommandOutcome::NoAnswer);
    EXPECT_EQ(settled[0].stationId, "unit1");
}

}  // namespace
}  // namespace varnex::fleet
