// The fleet poller against the fleet simulator over real loopback UDP on
// 127.1.0.x: schedules, losses, late and foreign datagrams, silence and
// readings, each case a row of one table.
#include <poll.h>

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <tuple>

#include "fleet/fleet_poller.h"
#include "fleet/fleet_rig.h"
#include "protocol/loopback_peer.h"
#include "unit/unit_fleet.h"

namespace varnex::fleet {
namespace {

struct PolicyCase {
    std::string name;
    unsigned dropEvery;
    milliseconds delay;
    int retries;
    std::string password;
    // Expected of the station after 1 s at 10 polls a second.
    bool anyReceived;
    bool anyLost;
    bool anyLate;
    bool anyInvalid;
    bool silent;
    bool passwordRefused;
};

TEST(FleetPoller, ReplyPoliciesShowInTheCounters) {
    for (const PolicyCase& c : std::vector<PolicyCase>{
             {"every reply", 0, 0ms, 0, "tamble", true, false, false, false, false, false},
             {"every second reply dropped", 2, 0ms, 1, "tamble", true, true, false, false, false,
              false},
             // 75 ms is past the 50 ms timeout: with a retry at 50 ms the first
             // reply arrives while the retry waits, and must not count for it.
             {"replies after the timeout", 0, 75ms, 1, "tamble", false, true, true, false, true,
              false},
             {"wrong password", 0, 0ms, 0, "wrong", false, true, false, true, true, true},
         }) {
        SCOPED_TRACE(c.name);
        FleetRig rig(1);
        rig.Units().Unit(0).SetDropEvery(c.dropEvery);
        rig.Units().Unit(0).SetReplyDelay(c.delay);
        StationSetup station = rig.Station(0, 100ms, 50ms, c.retries);
        station.password = c.password;
        rig.Poller().SetStations({station}, Clock::now());
        rig.Run(1000ms);
        rig.Units().Unit(0).SetReplyDelay(0ms);
        const StationStatus& s = rig.Poller().Status(0);
        EXPECT_GE(s.sent, 8u);
        EXPECT_EQ(s.received > 0, c.anyReceived) << s.received;
        EXPECT_EQ(s.lost > 0, c.anyLost) << s.lost;
        EXPECT_EQ(s.late > 0, c.anyLate) << s.late;
        EXPECT_EQ(s.invalid > 0, c.anyInvalid) << s.invalid;
        EXPECT_EQ(s.silent, c.silent);
        EXPECT_EQ(s.passwordRefused, c.passwordRefused);
        EXPECT_EQ(s.readings.has_value(), c.anyReceived);
        EXPECT_EQ(s.lastValidReply.has_value(), c.anyReceived);
        // Ten polls a second, each with its retries, and no more.
        EXPECT_LE(s.sent, 10u * static_cast<unsigned>(1 + c.retries) + 1);
        // Every request ends exactly once, as received or lost (one may be in flight).
        EXPECT_LE(s.sent - (s.received + s.lost), 1u);
        if (s.lastRoundTrip) {
            EXPECT_LT(*s.lastRoundTrip, 50ms);
        }
        EXPECT_EQ(rig.Poller().RoundTrips().Count(), s.received);
    }
}

TEST(FleetPoller, EachStationGetsItsOwnUnitsReadings) {
    constexpr std::size_t kUnits = 20;
    FleetRig rig(kUnits);
    std::vector<StationSetup> stations;
    for (std::size_t i = 0; i < kUnits; ++i) {
        stations.push_back(rig.Station(i));
    }
    rig.Units().Unit(6).State().temperatureHalves = 61;
    rig.Poller().SetStations(stations, Clock::now());
    rig.Run(500ms);
    std::set<std::string> macs;
    for (std::size_t i = 0; i < kUnits; ++i) {
        const StationStatus& s = rig.Poller().Status(i);
        ASSERT_TRUE(s.readings) << i;
        EXPECT_EQ(s.readings->stationName, "Varnex Unit " + std::to_string(i + 1));
        EXPECT_EQ(s.readings->temperature->Celsius(), i == 6 ? 30.5L : 21.5L) << i;
        macs.insert(s.readings->macAddress);
        EXPECT_EQ(s.lost, 0u) << i;
    }
    EXPECT_EQ(macs.size(), kUnits);
    EXPECT_EQ(rig.Poller().Counters().foreign, 0u);
    EXPECT_GT(rig.Poller().Counters().grantedReceiveBuffer, 0);
}

TEST(FleetPoller, FirstPollsAreSpreadOverTheInterval) {
    constexpr std::size_t kStations = 10;
    FleetRig rig(1);
    std::vector<StationSetup> stations;
    for (std::size_t i = 0; i < kStations; ++i) {
        stations.push_back(rig.Station(0, 1000ms));
        stations.back().id = std::to_string(i);
        stations.back().port = static_cast<uint16_t>(40000 + i);  // nobody answers
    }
    const auto start = Clock::now();
    rig.Poller().SetStations(stations, start);
    for (const auto& [after, polled] : std::vector<std::pair<milliseconds, std::size_t>>{
             {0ms, 1}, {250ms, 3}, {489ms, 5}, {950ms, 10}}) {
        rig.Poller().Advance(start + after);
        std::size_t count = 0;
        for (std::size_t i = 0; i < kStations; ++i) {
            count += rig.Poller().Status(i).sent > 0 ? 1 : 0;
        }
        EXPECT_EQ(count, polled) << after.count() << " ms";
    }
}

TEST(FleetPoller, SilentUnitDelaysNoOtherAndForeignDatagramsAreCounted) {
    FleetRig rig(2);
    StationSetup missing = rig.Station(0);
    missing.id = "missing";
    missing.address = kFirstUnit + 50;  // no unit there
    rig.Poller().SetStations({rig.Station(0), rig.Station(1), missing}, Clock::now());
    varnex::testing::LoopbackPeer stranger("127.1.0.200");
    for (const uint16_t port : rig.Poller().LocalPorts()) {
        stranger.SendTo("127.0.0.1", port, std::vector<uint8_t>(137, 1));
    }
    rig.Run(600ms);
    EXPECT_EQ(rig.Poller().Counters().foreign, 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(rig.Poller().Status(i).silent);
        EXPECT_EQ(rig.Poller().Status(i).lost, 0u);
        EXPECT_GE(rig.Poller().Status(i).received, 5u);
    }
    EXPECT_TRUE(rig.Poller().Status(2).silent);
    EXPECT_EQ(rig.Poller().Status(2).received, 0u);
}

TEST(FleetPoller, AReplyReadLateIsJudgedByWhenItArrived) {
    FleetRig rig(1);
    // A timeout a loaded machine cannot miss by chance before the reply is stamped.
    rig.Poller().SetStations({rig.Station(0, 2000ms, 400ms)}, Clock::now());
    // The kernel switches receive timestamps on in deferred work once a
    // socket asks; until then a datagram is stamped when read.
    std::this_thread::sleep_for(100ms);
    rig.Poller().Advance(Clock::now());
    ASSERT_TRUE(varnex::testing::WaitReadable(rig.Units().Descriptor()));
    rig.Units().Serve();
    ASSERT_TRUE(varnex::testing::WaitReadable(rig.Poller().Descriptor()));
    // Read well after the timeout, as a caller that reads in batches may.
    std::this_thread::sleep_for(500ms);
    rig.Poller().OnReadable(Clock::now());
    rig.Poller().Advance(Clock::now());
    const StationStatus& s = rig.Poller().Status(0);
    EXPECT_EQ(std::tie(s.received, s.lost, s.late), std::tuple(1u, 0u, 0u));
    ASSERT_TRUE(s.lastRoundTrip);
    EXPECT_LT(*s.lastRoundTrip, 400ms);
}

TEST(FleetPoller, ARefusedPasswordLastsUntilTheNextValidRecord) {
    FleetRig rig(1);
    rig.Poller().SetStations({rig.Station(0)}, Clock::now());
    rig.Run(300ms);
    EXPECT_FALSE(rig.Poller().Status(0).passwordRefused);
    // The unit's password changes under the poller, then changes back.
    rig.Units().Unit(0).State().password = unit::PasswordField("other");
    rig.Run(300ms);
    EXPECT_TRUE(rig.Poller().Status(0).passwordRefused);
    EXPECT_TRUE(rig.Poller().Status(0).readings) << "the last readings stay";
    rig.Units().Unit(0).State().password = unit::PasswordField("tamble");
    const uint64_t receivedBefore = rig.Poller().Status(0).received;
    rig.Run(300ms);
    EXPECT_FALSE(rig.Poller().Status(0).passwordRefused);
    EXPECT_GT(rig.Poller().Status(0).received, receivedBefore);
}

TEST(FleetPoller, ReloadKeepsUnchangedStationsAndRestartsChangedOnes) {
    FleetRig rig(2);
    rig.Poller().SetStations({rig.Station(0), rig.Station(1)}, Clock::now());
    rig.Run(300ms);
    const uint64_t sentBefore = rig.Poller().Status(0).sent;
    ASSERT_GT(sentBefore, 0u);
    StationSetup changed = rig.Station(1);
    changed.interval = 200ms;
    rig.Poller().SetStations({changed, rig.Station(0)}, Clock::now());
    EXPECT_EQ(rig.Poller().Setup(1).id, "unit1");
    EXPECT_GE(rig.Poller().Status(1).sent, sentBefore);
    EXPECT_TRUE(rig.Poller().Status(1).readings);
    EXPECT_EQ(rig.Poller().Status(0).sent, 0u);
    EXPECT_FALSE(rig.Poller().Status(0).readings);
}

}  // namespace
}  // namespace varnex::fleet
