// The words of an alarm, as the alarm list and the desktop notifications show them.
#include <gtest/gtest.h>

#include "alarms/alarm.h"

namespace varnex::alarms {
namespace {

TEST(AlarmText, SaysWhichReadingCrossedWhichLimitAndByHowMuch) {
    struct Case {
        AlarmKind kind;
        int voltmeter;
        double value;
        double limit;
        const char* text;
    };
    const Case cases[] = {
        {AlarmKind::VoltageHigh, 2, 12.409, 12, "192.168.0.10 Voltmeter 3 above 12.00 V: 12.41 V"},
        {AlarmKind::VoltageLow, 0, 0.004, 0.5, "192.168.0.10 Voltmeter 1 below 0.50 V: 0.00 V"},
        {AlarmKind::TemperatureHigh, -1, 41.5, 40,
         "192.168.0.10 Temperature above 40.0 °C: 41.5 °C"},
        {AlarmKind::TemperatureLow, -1, -12.5, -10,
         "192.168.0.10 Temperature below -10.0 °C: -12.5 °C"},
        {AlarmKind::Silent, -1, 65.9, 60, "192.168.0.10 Silent for 65 s (limit 60 s)"},
    };
    for (const Case& c : cases) {
        Alarm alarm;
        alarm.ip = "192.168.0.10";
        alarm.kind = c.kind;
        alarm.voltmeter = c.voltmeter;
        alarm.value = c.value;
        alarm.limit = c.limit;
        EXPECT_EQ(AlarmText(alarm), c.text);
        EXPECT_EQ("192.168.0.10 " + AlarmDescription(alarm), c.text);
    }
}

}  // namespace
}  // namespace varnex::alarms
