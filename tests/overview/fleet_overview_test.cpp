// The overview's rows and alarms against varnex-unit's fleet on 127.1.0.x,
// driven as the window drives them: which units are asked, silence, limits,
// a refused password, all units silent at once, and the main window's
// session taking a station over and handing it back.
#include <poll.h>

#include <gtest/gtest.h>

#include "overview/counting_fleet.h"
#include "overview/fleet_overview.h"
#include "overview/overview_columns.h"
#include "unit/unit_console.h"

namespace varnex::overview {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;
using varnex::testing::CountingFleet;

constexpr milliseconds kInterval = 200ms;

class OverviewRig {
  public:
    explicit OverviewRig(std::size_t units)
        : fleet_(units),
          overview_(monitor_, {.unitPort = fleet_.Port(),
                               .interval = kInterval,
                               .poller = {.bindAddress = "127.0.0.1"}}) {
        EXPECT_EQ(overview_.Error(), "");
    }

    // Watches units [0, count) with `shape` applied to each one's settings.
    void Watch(
        std::size_t count,
        const std::function<void(std::size_t, LoadedStation&, StationWatch&)>& shape =
            [](std::size_t, LoadedStation&, StationWatch&) {}) {
        std::vector<WatchedStation> stations;
        for (std::size_t i = 0; i < count; ++i) {
            auto [station, watch] = CountingFleet::Station(i);
            shape(i, station, watch);
            stations.push_back({station, watch});
        }
        overview_.SetStations(stations, Clock::now());
    }

    // Runs the units and the overview until `done` holds, at most `limit`.
    bool RunUntil(const std::function<bool()>& done, milliseconds limit = 3000ms) {
        const auto end = Clock::now() + limit;
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            if (done()) {
                return true;
            }
            const bool watch = now >= overview_.NextRead();
            const auto next = std::min(overview_.NextDeadline().value_or(end), end);
            const auto wait = std::chrono::duration_cast<milliseconds>(next - now);
            pollfd ready[2] = {{fleet_.Units().Descriptor(), POLLIN, 0},
                               {watch ? overview_.Descriptor() : -1, POLLIN, 0}};
            poll(ready, 2, static_cast<int>(std::clamp(wait, 0ms, 10ms).count()));
            fleet_.Units().Serve();
            overview_.OnReadable(Clock::now());
            if (auto outcome = overview_.Advance(Clock::now(), std::chrono::system_clock::now())) {
                outcomes_.push_back(std::move(*outcome));
            }
        }
        return done();
    }
    void Run(milliseconds span) {
        RunUntil([] { return false; }, span);
    }

    std::string State(std::size_t row) { return StateText(overview_.Rows().at(row), Clock::now()); }
    bool AllUp() {
        const auto& rows = overview_.Rows();
        return std::all_of(rows.begin(), rows.end(),
                           [](const OverviewRow& r) { return StateOf(r) == RowState::Up; });
    }
    // Alarms raised (or cleared) in every round so far, with their kind.
    std::vector<std::pair<alarms::ChangeKind, alarms::AlarmKind>> Changes(const std::string& ip) {
        std::vector<std::pair<alarms::ChangeKind, alarms::AlarmKind>> found;
        for (const alarms::RoundOutcome& outcome : outcomes_) {
            for (const alarms::AlarmChange& change : outcome.changes) {
                for (const alarms::Alarm& alarm : overview_.Alarms().Alarms()) {
                    if (alarm.id == change.alarmId && alarm.ip == ip) {
                        found.emplace_back(change.kind, alarm.kind);
                    }
                }
            }
        }
        return found;
    }
    std::size_t AllChanges() const {
        std::size_t count = 0;
        for (const alarms::RoundOutcome& outcome : outcomes_) {
            count += outcome.changes.size();
        }
        return count;
    }

    CountingFleet& Fleet() { return fleet_; }
    unit::UnitServer& Unit(std::size_t unit) { return fleet_.Units().Unit(unit); }
    FleetOverview& Overview() { return overview_; }
    std::vector<alarms::RoundOutcome>& Outcomes() { return outcomes_; }

  private:
    CountingFleet fleet_;
    alarms::AlarmMonitor monitor_;
    FleetOverview overview_;
    std::vector<alarms::RoundOutcome> outcomes_;
};

using Kinds = std::vector<std::pair<alarms::ChangeKind, alarms::AlarmKind>>;
using alarms::AlarmKind;
using alarms::ChangeKind;

TEST(FleetOverview, EveryWatchedRowFillsInAndNoUnwatchedUnitIsAsked) {
    OverviewRig rig(20);
    rig.Watch(15);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    ASSERT_EQ(rig.Overview().Rows().size(), 15u);
    for (std::size_t i = 0; i < 15; ++i) {
        const OverviewRow& row = rig.Overview().Rows()[i];
        EXPECT_EQ(row.ip, CountingFleet::Address(i));
        EXPECT_EQ(CellText(row, Column::Name, Clock::now()),
                  "Varnex Unit " + std::to_string(i + 1));
        EXPECT_NE(CellText(row, Column::RoundTrip, Clock::now()), "");
        EXPECT_GT(rig.Fleet().Received(i), 0) << i;
    }
    rig.Run(2 * kInterval);
    for (std::size_t i = 15; i < 20; ++i) {
        EXPECT_EQ(rig.Fleet().Received(i), 0) << CountingFleet::Address(i);
    }
}

TEST(FleetOverview, ASilentUnitRaisesItsAlarmAfterItsSecondsAndClearsWhenItAnswers) {
    OverviewRig rig(3);
    rig.Watch(3, [](std::size_t, LoadedStation&, StationWatch& watch) { watch.silentSeconds = 1; });
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    rig.Unit(1).SetDropEvery(1);
    const auto silentAt = Clock::now();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.State(1).starts_with("silent for"); }));
    EXPECT_EQ(rig.Changes(rig.Overview().Rows()[1].ip), Kinds{}) << "not before a second";
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.Changes("127.1.0.2").empty(); }));
    EXPECT_GE(Clock::now() - silentAt, 1s);
    EXPECT_EQ(rig.Changes("127.1.0.2"), (Kinds{{ChangeKind::Raised, AlarmKind::Silent}}));
    EXPECT_EQ(rig.Overview().Rows()[1].openAlarms.size(), 1u);
    rig.Unit(1).SetDropEvery(0);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Changes("127.1.0.2").size() == 2; }));
    EXPECT_EQ(rig.Changes("127.1.0.2"), (Kinds{{ChangeKind::Raised, AlarmKind::Silent},
                                               {ChangeKind::Cleared, AlarmKind::Silent}}));
    EXPECT_EQ(rig.State(1), "up");
    EXPECT_TRUE(rig.Overview().Rows()[1].openAlarms.empty());
    EXPECT_EQ(rig.Changes("127.1.0.1"), Kinds{});
    EXPECT_EQ(rig.Changes("127.1.0.3"), Kinds{});
}

TEST(FleetOverview, AVoltageHeldOverItsLimitRaisesOnceAndClearsBelowTheHysteresis) {
    OverviewRig rig(2);
    rig.Watch(2, [](std::size_t i, LoadedStation&, StationWatch& watch) {
        if (i == 0) {
            watch.voltmeters[0] = {std::nullopt, 20.0, 2.0};
        }
    });
    unit::RunConsoleLine(rig.Unit(0), "volts 1 10");
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    for (const auto& [volts, expected] : std::vector<std::pair<const char*, Kinds>>{
             {"25", {{ChangeKind::Raised, AlarmKind::VoltageHigh}}},
             // Inside the hysteresis: neither cleared nor raised again.
             {"19", {{ChangeKind::Raised, AlarmKind::VoltageHigh}}},
             {"21", {{ChangeKind::Raised, AlarmKind::VoltageHigh}}},
             {"17",
              {{ChangeKind::Raised, AlarmKind::VoltageHigh},
               {ChangeKind::Cleared, AlarmKind::VoltageHigh}}},
         }) {
        SCOPED_TRACE(volts);
        unit::RunConsoleLine(rig.Unit(0), std::string("volts 1 ") + volts);
        rig.RunUntil([&] { return rig.Changes("127.1.0.1") == expected; }, 6 * kInterval);
        rig.Run(3 * kInterval);  // and nothing more follows
        EXPECT_EQ(rig.Changes("127.1.0.1"), expected);
    }
    EXPECT_EQ(rig.Changes("127.1.0.2"), Kinds{});
}

TEST(FleetOverview, EveryUnitSilentIsOneNetworkDownNotTwentyAlarms) {
    OverviewRig rig(20);
    rig.Watch(20,
              [](std::size_t, LoadedStation&, StationWatch& watch) { watch.silentSeconds = 1; });
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    for (std::size_t i = 0; i < 20; ++i) {
        rig.Unit(i).SetDropEvery(1);
    }
    const auto began = [&] {
        return std::count_if(rig.Outcomes().begin(), rig.Outcomes().end(),
                             [](const alarms::RoundOutcome& o) { return o.networkDownBegan; });
    };
    ASSERT_TRUE(rig.RunUntil([&] { return began() > 0; }, 4000ms));
    rig.Run(4 * kInterval);
    EXPECT_EQ(began(), 1);
    EXPECT_TRUE(rig.Overview().Alarms().NetworkDown());
    EXPECT_EQ(rig.AllChanges(), 0u) << "no alarm per station";
    for (std::size_t i = 0; i < 20; ++i) {
        rig.Unit(i).SetDropEvery(0);
    }
    ASSERT_TRUE(rig.RunUntil([&] {
        return std::any_of(rig.Outcomes().begin(), rig.Outcomes().end(),
                           [](const alarms::RoundOutcome& o) { return o.networkDownEnded; });
    }));
    EXPECT_FALSE(rig.Overview().Alarms().NetworkDown());
}

TEST(FleetOverview, ARefusedPasswordShowsAsSuch) {
    OverviewRig rig(2);
    rig.Watch(2, [](std::size_t i, LoadedStation& station, StationWatch&) {
        station.password = i == 0 ? "wrong" : "tamble";
    });
    ASSERT_TRUE(rig.RunUntil([&] { return rig.State(0) == "refused password"; }));
    ASSERT_TRUE(rig.RunUntil([&] { return rig.State(1) == "up"; }));
    EXPECT_EQ(CellText(rig.Overview().Rows()[0], Column::Voltage1, Clock::now()), "");
}

TEST(FleetOverview, TheSessionsStationIsNotPolledAndGoesBackToThePollerWhenItStops) {
    OverviewRig rig(3);
    rig.Watch(3);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    const std::string ip = "127.1.0.2";
    rig.Overview().OnSession(ip, SessionNews::Started, Clock::now());
    EXPECT_EQ(rig.Overview().PolledStations(),
              (std::vector<std::string>{"127.1.0.1", "127.1.0.3"}));
    const int askedBefore = rig.Fleet().Received(1);
    StatusRecord record;
    record.stationName = "Seen by the session";
    record.rawVoltages[0] = 4095;
    EXPECT_EQ(rig.State(1), "up (session)") << "its readings are still recent";
    rig.Run(kInterval);
    rig.Overview().OnSessionRecord(ip, record, {.firstInstalled = false}, Clock::now());
    EXPECT_EQ(CellText(rig.Overview().Rows()[1], Column::Voltage1, Clock::now()), "60.000 V")
        << "scaled with the session's jumpers";
    EXPECT_EQ(CellText(rig.Overview().Rows()[1], Column::Name, Clock::now()),
              "Seen by the session");
    // Further news of the session and what the row shows at once.
    for (const auto& [news, state] : std::vector<std::pair<SessionNews, std::string>>{
             {SessionNews::Silent, "silent for 0 s (session)"},
             {SessionNews::Back, "up (session)"},
             {SessionNews::PasswordRefused, "refused password (session)"},
             {SessionNews::Stopped, "refused password"},
         }) {
        rig.Run(kInterval);
        rig.Overview().OnSession(ip, news, Clock::now());
        EXPECT_EQ(rig.State(1), state);
    }
    EXPECT_LE(rig.Fleet().Received(1), askedBefore + 1) << "at most the poll that was in flight";
    EXPECT_EQ(rig.Overview().PolledStations().size(), 3u);
    // Back with the poller: its own valid record ends the session's refusal.
    ASSERT_TRUE(rig.RunUntil([&] { return rig.State(1) == "up"; }));
    EXPECT_EQ(CellText(rig.Overview().Rows()[1], Column::Name, Clock::now()), "Varnex Unit 2");
}

TEST(FleetOverview, PauseStopsEveryPollAndResumingStartsThemAgain) {
    OverviewRig rig(3);
    rig.Watch(3, [](std::size_t, LoadedStation&, StationWatch& watch) { watch.silentSeconds = 1; });
    ASSERT_TRUE(rig.RunUntil([&] { return rig.AllUp(); }));
    rig.Overview().SetPaused(true, Clock::now());
    rig.Run(kInterval);  // a request in flight may still be answered
    const int asked = rig.Fleet().Received(0) + rig.Fleet().Received(1) + rig.Fleet().Received(2);
    rig.Run(1500ms);
    EXPECT_EQ(rig.Fleet().Received(0) + rig.Fleet().Received(1) + rig.Fleet().Received(2), asked);
    EXPECT_TRUE(rig.Overview().PolledStations().empty());
    EXPECT_EQ(rig.State(0), "paused");
    rig.Overview().SetPaused(false, Clock::now());
    ASSERT_TRUE(rig.RunUntil([&] {
        return rig.Fleet().Received(0) + rig.Fleet().Received(1) + rig.Fleet().Received(2) >=
                   asked + 3 &&
               rig.AllUp();
    }));
    rig.Run(2 * kInterval);
    EXPECT_EQ(rig.AllChanges(), 0u) << "a pause is no silence";
}

}  // namespace
}  // namespace varnex::overview
