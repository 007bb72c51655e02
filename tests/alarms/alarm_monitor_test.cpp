// The alarm monitor over a scripted clock: limits with hysteresis on both
// sides, silence, the network-down notice, stations leaving the watch,
// changed limits, acknowledging and the bounded list.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alarms/alarm_monitor.h"

namespace varnex::alarms {
namespace {

using std::chrono::duration;
using std::chrono::duration_cast;

constexpr const char* kStation = "127.0.0.10";

const char* ShortName(AlarmKind kind) {
    switch (kind) {
        case AlarmKind::VoltageHigh:
            return "high";
        case AlarmKind::VoltageLow:
            return "low";
        case AlarmKind::TemperatureHigh:
            return "hot";
        case AlarmKind::TemperatureLow:
            return "cold";
        case AlarmKind::Silent:
            return "silent";
    }
    return "?";
}

StationWatch Watched() {
    StationWatch watch;
    watch.watched = true;
    return watch;
}

StationWatch Silence(uint32_t seconds) {
    StationWatch watch = Watched();
    watch.silentSeconds = seconds;
    return watch;
}

Readings WithVolts(int voltmeter, double volts) {
    Readings readings;
    readings.voltmeters[static_cast<std::size_t>(voltmeter)].volts = volts;
    return readings;
}

Readings WithCelsius(std::optional<double> celsius) {
    Readings readings;
    if (celsius) {
        const double magnitude = std::abs(*celsius);
        readings.temperature = TemperatureReading{*celsius < 0, static_cast<uint8_t>(magnitude),
                                                  magnitude - std::floor(magnitude) >= 0.5};
    }
    return readings;
}

class AlarmMonitorTest : public ::testing::Test {
  protected:
    static Time At(double seconds) {
        return Time{} + std::chrono::hours(1) +
               duration_cast<Time::duration>(duration<double>(seconds));
    }
    static WallTime WallAt(double seconds) {
        return WallTime{} + std::chrono::hours(500'000) +
               duration_cast<WallTime::duration>(duration<double>(seconds));
    }

    void Watch(const std::map<std::string, StationWatch>& watches, double seconds = 0) {
        monitor_.SetWatches(watches, At(seconds));
    }
    void Answer(const std::string& ip, double seconds, std::optional<Readings> readings = {}) {
        monitor_.Observe({ip, At(seconds), false, std::move(readings)});
    }
    // One round's changes, e.g. "+high -low", with the station when asked.
    std::string Round(double seconds, bool withStation = false) {
        outcome_ = monitor_.Evaluate(At(seconds), WallAt(seconds));
        std::string text;
        for (const AlarmChange& change : outcome_.changes) {
            const Alarm* alarm = monitor_.FindAlarm(change.alarmId);
            text += text.empty() ? "" : " ";
            text += change.kind == ChangeKind::Raised ? "+" : "-";
            text += alarm ? ShortName(alarm->kind) : "(dropped)";
            if (alarm && withStation) {
                text += "@" + alarm->ip;
            }
        }
        return text;
    }

    AlarmMonitor monitor_;
    RoundOutcome outcome_;
};

TEST_F(AlarmMonitorTest, LimitsRaiseOnceAboveAndClearOnlyPastTheHysteresis) {
    struct Step {
        std::optional<double> value;  // volts, or degrees for the temperature
        const char* changes;
    };
    struct Case {
        const char* name;
        bool temperature;  // else voltmeter 3
        ReadingLimits limits;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"upper with hysteresis",
         false,
         {std::nullopt, 12.0, 0.5},
         {{11.9, ""},
          {12.0, ""},  // at the limit is not above it
          {12.01, "+high"},
          {12.6, ""},  // raised once while open
          {11.6, ""},  // inside the hysteresis: no flapping
          {12.2, ""},
          {11.5, ""},  // at upper - hysteresis is not below it
          {11.49, "-high"},
          {12.0, ""},
          {12.3, "+high"}}},
        {"lower with hysteresis",
         false,
         {10.0, std::nullopt, 0.5},
         {{10.0, ""},
          {9.99, "+low"},
          {9.0, ""},
          {10.4, ""},
          {9.8, ""},
          {10.5, ""},
          {10.51, "-low"},
          {10.0, ""}}},
        {"no hysteresis",
         false,
         {1.0, 5.0, 0},
         {{5.01, "+high"},
          {5.0, ""},
          {4.99, "-high"},
          {1.0, ""},
          {0.99, "+low"},
          {1.0, ""},
          {1.01, "-low"}}},
        {"straight across the band",
         false,
         {10.0, 12.0, 0.5},
         {{12.5, "+high"}, {9.5, "-high +low"}, {12.5, "+high -low"}, {11.0, "-high"}}},
        {"temperature, both sides",
         true,
         {-5.0, 40.0, 1.0},
         {{40.0, ""},
          {40.5, "+hot"},
          {39.0, ""},
          {std::nullopt, ""},  // no temperature in the record: nothing changes
          {38.5, "-hot"},
          {-5.0, ""},
          {-5.5, "+cold"},
          {-4.0, ""},
          {-3.5, "-cold"}}},
        {"a negative hysteresis counts as none",
         false,
         {std::nullopt, 5.0, -1.0},
         {{5.5, "+high"}, {5.5, ""}, {5.0, ""}, {4.9, "-high"}}},
        {"no limits", false, {}, {{0, ""}, {60, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        monitor_ = AlarmMonitor{};
        StationWatch watch = Watched();
        (c.temperature ? watch.temperature : watch.voltmeters[2]) = c.limits;
        Watch({{kStation, watch}});
        double t = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.value ? std::to_string(*step.value) : "none");
            t += 1;
            Answer(kStation, t,
                   c.temperature ? WithCelsius(step.value) : WithVolts(2, step.value.value_or(0)));
            EXPECT_EQ(Round(t), step.changes);
        }
    }
}

TEST_F(AlarmMonitorTest, AnAlarmRemembersWhatRaisedItAndWhenItWasRaisedAndCleared) {
    StationWatch watch = Watched();
    watch.voltmeters[2].upper = 12.0;
    watch.voltmeters[2].hysteresis = 0.2;
    Watch({{kStation, watch}});
    Answer(kStation, 1, WithVolts(2, 12.41));
    ASSERT_EQ(Round(1), "+high");
    ASSERT_EQ(monitor_.OpenAlarms(kStation).size(), 1u);
    const Alarm raised = *monitor_.OpenAlarms(kStation).front();
    EXPECT_EQ(AlarmText(raised), "127.0.0.10 Voltmeter 3 above 12.00 V: 12.41 V");
    EXPECT_EQ(raised.raised, WallAt(1));
    EXPECT_FALSE(raised.cleared);

    Answer(kStation, 7, WithVolts(2, 11.0));
    ASSERT_EQ(Round(7), "-high");
    EXPECT_TRUE(monitor_.OpenAlarms(kStation).empty());
    ASSERT_EQ(monitor_.Alarms().size(), 1u);
    EXPECT_EQ(monitor_.Alarms().front().cleared, WallAt(7));
    EXPECT_EQ(monitor_.Alarms().front().value, 12.41);
}

TEST_F(AlarmMonitorTest, SilenceRaisesAfterItsLimitAndClearsAtTheNextValidReply) {
    Watch({{kStation, Silence(60)}}, 0);
    EXPECT_EQ(Round(30), "");
    EXPECT_EQ(Round(60), "");  // exactly the limit is not more than it
    EXPECT_EQ(Round(61), "+silent");
    EXPECT_EQ(outcome_.newlySilent, 1u);
    EXPECT_EQ(AlarmText(*monitor_.OpenAlarms(kStation).front()),
              "127.0.0.10 Silent for 61 s (limit 60 s)");
    EXPECT_EQ(Round(90), "");
    EXPECT_EQ(outcome_.newlySilent, 0u);
    Answer(kStation, 95);
    EXPECT_EQ(Round(96), "-silent");
    EXPECT_EQ(Round(150), "");
    EXPECT_EQ(Round(156), "+silent");  // 61 s after that reply
}

TEST_F(AlarmMonitorTest, SilenceCountsFromTheLaterOfTheLastReplyAndTheStartOfTheWatch) {
    Answer(kStation, 0);  // not watched yet: ignored
    Watch({{kStation, Silence(20)}}, 100);
    Answer(kStation, 50);  // a reply from before the watch
    EXPECT_EQ(Round(115), "");
    EXPECT_EQ(Round(121), "+silent");
    Answer(kStation, 125);
    EXPECT_EQ(Round(126), "-silent");
    monitor_.RestartSilence(At(200));  // polling paused in between
    EXPECT_EQ(Round(210), "");
    EXPECT_EQ(Round(221), "+silent");
}

TEST_F(AlarmMonitorTest, ARefusedPasswordIsNoSilence) {
    Watch({{kStation, Silence(10)}});
    EXPECT_EQ(Round(11), "+silent");
    monitor_.Observe({kStation, std::nullopt, true, std::nullopt});
    EXPECT_EQ(Round(12), "-silent");
    EXPECT_EQ(Round(100), "");
    monitor_.Observe({kStation, std::nullopt, false, std::nullopt});
    EXPECT_EQ(Round(101), "+silent");
}

TEST_F(AlarmMonitorTest, EveryWatchedStationSilentSaysTheNetworkIsDownInsteadOfOneAlarmEach) {
    Watch({{"127.0.0.1", Silence(10)}, {"127.0.0.2", Silence(10)}, {"127.0.0.3", Silence(10)}});
    EXPECT_EQ(Round(11), "");
    EXPECT_TRUE(outcome_.networkDownBegan);
    EXPECT_TRUE(monitor_.NetworkDown());
    EXPECT_EQ(outcome_.newlySilent, 0u);
    EXPECT_EQ(Round(30), "");
    EXPECT_FALSE(outcome_.networkDownBegan);  // said once
    EXPECT_TRUE(monitor_.NetworkDown());

    Answer("127.0.0.2", 31);
    EXPECT_EQ(Round(32, true), "+silent@127.0.0.1 +silent@127.0.0.3");
    EXPECT_TRUE(outcome_.networkDownEnded);
    EXPECT_FALSE(monitor_.NetworkDown());
    EXPECT_EQ(outcome_.newlySilent, 2u);
}

TEST_F(AlarmMonitorTest, TheNetworkIsJudgedDownOnlyWhenNoWatchedStationAnswers) {
    struct Case {
        const char* name;
        std::map<std::string, StationWatch> watches;
        std::vector<std::string> answering;  // at 10 s
        const char* changes;                 // at 21 s
        bool networkDown;
    };
    StationWatch noSilenceLimit = Watched();
    const std::vector<Case> cases = {
        {"one still answers",
         {{"127.0.0.1", Silence(10)}, {"127.0.0.2", Silence(10)}, {"127.0.0.3", Silence(10)}},
         {"127.0.0.3"},
         "+silent@127.0.0.1 +silent@127.0.0.2",
         false},
        {"a single station", {{"127.0.0.1", Silence(10)}}, {}, "+silent@127.0.0.1", false},
        {"two, both silent",
         {{"127.0.0.1", Silence(10)}, {"127.0.0.2", Silence(10)}},
         {},
         "",
         true},
        {"a station without a silence limit",
         {{"127.0.0.1", Silence(10)}, {"127.0.0.2", noSilenceLimit}},
         {},
         "+silent@127.0.0.1",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        monitor_ = AlarmMonitor{};
        Watch(c.watches);
        for (const std::string& ip : c.answering) {
            Answer(ip, 20);
        }
        EXPECT_EQ(Round(21, true), c.changes);
        EXPECT_EQ(monitor_.NetworkDown(), c.networkDown);
        EXPECT_EQ(outcome_.networkDownBegan, c.networkDown);
    }
}

TEST_F(AlarmMonitorTest, StationsFallingSilentAcrossOnePollingIntervalMakeOneNetworkNotice) {
    // Twenty stations polled every second, their polls spread over it; the
    // network fails at 10 s, so the last replies spread over the second before.
    std::map<std::string, StationWatch> watches;
    for (int n = 1; n <= 20; ++n) {
        watches.emplace("127.0.0." + std::to_string(n), Silence(3));
    }
    Watch(watches);
    for (int n = 1; n <= 20; ++n) {
        Answer("127.0.0." + std::to_string(n), 9.0 + n / 20.0);
    }
    int networkNotices = 0;
    for (int step = 0; step <= 20; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(Round(12.0 + step * 0.25, true), "");
        networkNotices += outcome_.networkDownBegan ? 1 : 0;
    }
    EXPECT_EQ(networkNotices, 1);
    EXPECT_TRUE(monitor_.NetworkDown());
}

TEST_F(AlarmMonitorTest, SilentAlarmsRaisedBeforeTheNetworkWentDownStayOpen) {
    Watch({{"127.0.0.1", Silence(10)}, {"127.0.0.2", Silence(30)}});
    // Nobody answers: the first station's own alarm waits for twice its limit.
    EXPECT_EQ(Round(11, true), "");
    EXPECT_EQ(Round(21, true), "+silent@127.0.0.1");
    EXPECT_EQ(Round(31), "");
    EXPECT_TRUE(outcome_.networkDownBegan);
    EXPECT_EQ(monitor_.OpenAlarms("127.0.0.1").size(), 1u);
    EXPECT_TRUE(monitor_.OpenAlarms("127.0.0.2").empty());
}

TEST_F(AlarmMonitorTest, StationsLeavingTheWatchHaveTheirAlarmsCleared) {
    StationWatch hot = Silence(10);
    hot.temperature.upper = 30;
    Watch({{"127.0.0.1", hot}, {"127.0.0.2", hot}, {"127.0.0.3", hot}});
    Answer("127.0.0.1", 1, WithCelsius(35));
    Answer("127.0.0.2", 1, WithCelsius(35));
    Answer("127.0.0.3", 1, WithCelsius(35));
    EXPECT_EQ(Round(2), "+hot +hot +hot");

    StationWatch unwatched = hot;
    unwatched.watched = false;
    Watch({{"127.0.0.1", hot}, {"127.0.0.2", unwatched}}, 3);
    EXPECT_EQ(Round(4, true), "-hot@127.0.0.2 -hot@127.0.0.3");
    Answer("127.0.0.2", 5, WithCelsius(50));  // no longer watched: ignored
    EXPECT_EQ(Round(30, true), "+silent@127.0.0.1");
    EXPECT_TRUE(monitor_.OpenAlarms("127.0.0.2").empty());
}

TEST_F(AlarmMonitorTest, ChangedLimitsApplyAtTheNextRound) {
    StationWatch watch = Watched();
    watch.voltmeters[0] = {std::nullopt, 12.0, 1.0};
    Watch({{kStation, watch}});
    Answer(kStation, 1, WithVolts(0, 12.5));
    EXPECT_EQ(Round(1), "+high");

    watch.voltmeters[0].upper = 12.2;  // still above: raised again against the new limit
    Watch({{kStation, watch}}, 2);
    EXPECT_EQ(Round(2), "-high +high");
    EXPECT_EQ(monitor_.OpenAlarms(kStation).front()->limit, 12.2);

    watch.voltmeters[0].hysteresis = 0.2;  // 12.5 is not below 12.0
    Watch({{kStation, watch}}, 3);
    EXPECT_EQ(Round(3), "");

    watch.voltmeters[0].upper = 13.0;
    Watch({{kStation, watch}}, 4);
    EXPECT_EQ(Round(4), "-high");

    watch.voltmeters[0].upper = 12.0;
    Watch({{kStation, watch}}, 5);
    EXPECT_EQ(Round(5), "+high");
    watch.voltmeters[0].upper.reset();
    Watch({{kStation, watch}}, 6);
    EXPECT_EQ(Round(6), "-high");
}

TEST_F(AlarmMonitorTest, AcknowledgingKeepsTheFirstTimeAndLeavesTheAlarmOpen) {
    Watch({{kStation, Silence(5)}});
    EXPECT_EQ(Round(6), "+silent");
    const uint64_t id = monitor_.Alarms().front().id;
    monitor_.Acknowledge(id, WallAt(7));
    monitor_.Acknowledge(id, WallAt(8));
    monitor_.Acknowledge(id + 100, WallAt(8));  // unknown: nothing happens
    EXPECT_EQ(monitor_.Alarms().front().acknowledged, WallAt(7));
    EXPECT_EQ(monitor_.OpenAlarms(kStation).size(), 1u);
    EXPECT_EQ(Round(9), "");
}

TEST_F(AlarmMonitorTest, TheListDropsTheOldestClearedAlarmsButNeverAnOpenOne) {
    StationWatch watch = Watched();
    watch.voltmeters[0].upper = 5.0;
    Watch({{kStation, watch}});
    const std::size_t cycles = kKeptAlarms + 200;
    double t = 0;
    uint64_t firstId = 0;
    for (std::size_t n = 0; n < cycles; ++n) {
        Answer(kStation, ++t, WithVolts(0, 6));
        monitor_.Evaluate(At(t), WallAt(t));
        firstId = firstId == 0 ? monitor_.Alarms().front().id : firstId;
        Answer(kStation, ++t, WithVolts(0, 4));
        monitor_.Evaluate(At(t), WallAt(t));
    }
    EXPECT_LE(monitor_.Alarms().size(), kKeptAlarms + 1);
    EXPECT_EQ(monitor_.FindAlarm(firstId), nullptr);
    EXPECT_EQ(monitor_.Alarms().front().id, firstId + cycles - 1);

    std::map<std::string, StationWatch> many;
    for (std::size_t n = 0; n < kKeptAlarms + 50; ++n) {
        many.emplace("127.1." + std::to_string(n / 250) + "." + std::to_string(n % 250),
                     Silence(1));
    }
    many.emplace(kStation, Silence(1000));  // answers: the network is up
    Watch(many, t);
    Answer(kStation, t + 5);
    monitor_.Evaluate(At(t + 5), WallAt(t + 5));
    monitor_.Evaluate(At(t + 6), WallAt(t + 6));
    std::size_t open = 0;
    for (const Alarm& alarm : monitor_.Alarms()) {
        open += alarm.Open() ? 1 : 0;
    }
    EXPECT_EQ(open, kKeptAlarms + 50);
}

}  // namespace
}  // namespace varnex::alarms
