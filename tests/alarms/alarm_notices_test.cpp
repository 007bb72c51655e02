// Which desktop notices a round of the alarm monitor makes, and their words.
#include <gtest/gtest.h>

#include "alarms/alarm_notices.h"
#include "alarms/alarm_test_support.h"

namespace varnex::alarms {
namespace {

using namespace alarm_tests;

// `stations` watched with a 10 s silence limit and 12 V on voltmeter 1; the
// first `answering` of them answer with `volts`. The round is at 11 s.
std::vector<Notice> NoticesOf(int stations, int answering, double volts) {
    AlarmMonitor monitor;
    monitor.SetWatches(WatchedStations(stations, 10, 12), At(0));
    for (int n = 1; n <= answering; ++n) {
        Readings readings;
        readings.voltmeters[0].volts = volts;
        monitor.Observe({Address(n), At(10), false, readings});
    }
    const RoundOutcome outcome = monitor.Evaluate(At(11), WallTime{});
    return RoundNotices(monitor, outcome);
}

TEST(RoundNotices, OneForEachAlarmButOneForManySilentStationsAndOneForTheNetwork) {
    struct Case {
        const char* name;
        int stations;
        int answering;
        double volts;
        std::vector<Notice> notices;
    };
    const std::vector<Case> cases = {
        {"nothing wrong", 3, 3, 11.0, {}},
        {"two over the limit",
         2,
         2,
         12.5,
         {{"Alarm: 127.0.0.1", "Voltmeter 1 above 12.00 V: 12.50 V"},
          {"Alarm: 127.0.0.2", "Voltmeter 1 above 12.00 V: 12.50 V"}}},
        {"one over the limit, one silent",
         2,
         1,
         13.0,
         {{"Alarm: 127.0.0.1", "Voltmeter 1 above 12.00 V: 13.00 V"},
          {"Alarm: 127.0.0.2", "Silent for 11 s (limit 10 s)"}}},
        {"three silent together",
         4,
         1,
         11.0,
         {{"3 stations stopped answering", "127.0.0.2, 127.0.0.3, 127.0.0.4"}}},
        {"many silent together",
         13,
         1,
         11.0,
         {{"12 stations stopped answering",
           "127.0.0.10, 127.0.0.11, 127.0.0.12, 127.0.0.13, 127.0.0.2, 127.0.0.3, 127.0.0.4, "
           "127.0.0.5, 127.0.0.6, 127.0.0.7 and 2 more"}}},
        {"every station silent",
         5,
         0,
         0,
         {{"All watched stations are silent", "This computer's network may be down."}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NoticesOf(c.stations, c.answering, c.volts), c.notices);
    }
}

TEST(RoundNotices, ClearedAlarmsAndTheNetworkComingBackAreNotAnnounced) {
    AlarmMonitor monitor;
    StationWatch watch;
    watch.watched = true;
    watch.silentSeconds = 10;
    monitor.SetWatches({{Address(1), watch}, {Address(2), watch}}, At(0));
    ASSERT_EQ(RoundNotices(monitor, monitor.Evaluate(At(11), WallTime{})).size(), 1u);
    monitor.Observe({Address(1), At(12), false, std::nullopt});
    const RoundOutcome back = monitor.Evaluate(At(13), WallTime{});
    ASSERT_TRUE(back.networkDownEnded);
    // The one still silent is announced; the return of the other is not.
    EXPECT_EQ(RoundNotices(monitor, back),
              (std::vector<Notice>{{"Alarm: 127.0.0.2", "Silent for 13 s (limit 10 s)"}}));
    monitor.Observe({Address(2), At(14), false, std::nullopt});
    EXPECT_TRUE(RoundNotices(monitor, monitor.Evaluate(At(15), WallTime{})).empty());
}

}  // namespace
}  // namespace varnex::alarms
