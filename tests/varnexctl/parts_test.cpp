// The pieces of varnexctl that decide without a unit: the client's settings
// file as its toolkit writes it, monitoring ranges, and argument checks.
#include <gtest/gtest.h>

#include "varnexctl/argument_checks.h"
#include "varnexctl/check_ranges.h"
#include "varnexctl/settings_file.h"
#include "varnexctl/watch_loop.h"

namespace varnex::ctl {
namespace {

TEST(SettingsFile, ValuesReadAsTheToolkitWroteThem) {
    struct Case {
        std::string file;
        std::optional<std::string> location;
    };
    const std::string key = "Options/Database/Location";
    for (const Case& c : std::vector<Case>{
             {"[Options]\nDatabase\\Location=/home/a/VNXv1.MDB\n", "/home/a/VNXv1.MDB"},
             {"[Options]\r\nDatabase\\Location=/home/a/x.db\r\n", "/home/a/x.db"},
             {"[Options]\nDatabase\\Location=\"/a;b,c=d\"\n", "/a;b,c=d"},
             {"[Options]\nDatabase\\Location=\" /lead and trail \"\n", " /lead and trail "},
             {"[Options]\nDatabase\\Location=/q\\\"uote\\\\back\n", "/q\"uote\\back"},
             {"[Options]\nDatabase\\Location=/tab\\there\n", "/tab\there"},
             {"[Options]\nDatabase\\Location=/caf\\xe9\n", "/caf\xc3\xa9"},
             {"[Options]\nDatabase\\Location=/unicode/\xc3\xa9t\xc3\xa9\n",
              "/unicode/\xc3\xa9t\xc3\xa9"},
             {"[Options]\nDatabase\\Location=@@at\n", "@at"},
             {"[Options]\nDatabase\\Location=/x ; a comment\n", "/x"},
             {"[Other]\nDatabase\\Location=/no\n", std::nullopt},
             {"[Options]\nDatabase\\Locations=/no\n", std::nullopt},
             {"Database\\Location=/general/no\n", std::nullopt},
             {"[Options]\nDatabase%5CLocation=/no\nDatabase\\Location=/yes\n", "/yes"},
             {"[Options]\nDatabase\\Location=/first\nDatabase\\Location=/last\n", "/last"},
             {"", std::nullopt},
         }) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(ReadSettingsValue(c.file, key), c.location);
    }
}

TEST(SettingsFile, PathFollowsXdgConfigHome) {
    EXPECT_EQ(ClientSettingsPath("/cfg", "/home/u"), "/cfg/Korvath/VNXv1.ini");
    EXPECT_EQ(ClientSettingsPath("relative", "/home/u"), "/home/u/.config/Korvath/VNXv1.ini");
    EXPECT_EQ(ClientSettingsPath(nullptr, "/home/u"), "/home/u/.config/Korvath/VNXv1.ini");
}

TEST(CheckRanges, AlertAsMonitoringPluginsDo) {
    struct Case {
        std::string range;
        double value;
        bool alerts;
    };
    for (const Case& c : std::vector<Case>{{"10", 10, false},
                                           {"10", 10.01, true},
                                           {"10", -0.1, true},
                                           {"10:", 9.9, true},
                                           {"10:", 1e6, false},
                                           {"~:10", -1e6, false},
                                           {"~:10", 10.5, true},
                                           {"10:20", 15, false},
                                           {"10:20", 20.1, true},
                                           {"@10:20", 15, true},
                                           {"@10:20", 21, false},
                                           {"-5:-1", -3, false},
                                           {"-5:-1", 0, true},
                                           {"1.5:2.5", 2.5, false}}) {
        SCOPED_TRACE(c.range + " at " + std::to_string(c.value));
        const std::optional<ThresholdRange> range = ParseRange(c.range);
        ASSERT_TRUE(range);
        EXPECT_EQ(Alerts(*range, c.value), c.alerts);
    }
    for (const std::string bad : {"", "@", "x", "20:10", "1:2:3", "10x", "~", "1e3"}) {
        EXPECT_FALSE(ParseRange(bad)) << bad;
    }
}

TEST(ArgumentChecks, NumbersAreWrittenInFullAndInRange) {
    EXPECT_EQ(std::get<long>(CheckWhole("60", "N", 1, 60)), 60);
    EXPECT_EQ(std::get<double>(CheckDecimal("0.25", "T", 0, 10)), 0.25);
    for (const std::string bad :
         {"", "-1", "+1", "61", "0", "1.0", " 1", "1 ", "0x10", "99999999999999"}) {
        EXPECT_TRUE(std::holds_alternative<Failure>(CheckWhole(bad, "N", 1, 60))) << bad;
    }
    for (const std::string bad : {"", "-0.5", "1,5", "1e2", "..", "11", "nan", "1.2.3"}) {
        const auto checked = CheckDecimal(bad, "--timeout", 0, 10);
        ASSERT_TRUE(std::holds_alternative<Failure>(checked)) << bad;
        EXPECT_EQ(std::get<Failure>(checked).message.rfind("--timeout: ", 0), 0u);
        EXPECT_EQ(std::get<Failure>(checked).status, kUsage);
    }
}

TEST(ArgumentChecks, StepsMacsAndTexts) {
    const auto steps = CheckSteps({"relay1:on", "delay:1", "relay3:off", "delay:5"});
    EXPECT_EQ(std::get<std::vector<std::string>>(steps),
              (std::vector<std::string>{"Relay 1 ON", "Delay 1 Second", "Relay 3 OFF",
                                        "Delay 5 Seconds"}));
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{},
                                               {"relay4:on"},
                                               {"delay:6"},
                                               {"relay1:On"},
                                               {"relay1:onn"},
                                               std::vector<std::string>(17, "delay:1")}) {
        EXPECT_TRUE(std::holds_alternative<Failure>(CheckSteps(bad)));
    }
    EXPECT_EQ(std::get<MacBytes>(CheckMac("02:ab:CD:00:11:ff", "MAC")),
              (MacBytes{0x02, 0xAB, 0xCD, 0x00, 0x11, 0xFF}));
    for (const std::string bad : {"02:ab:cd:00:11", "02:ab:cd:00:11:fg", "03:00:00:00:00:01",
                                  "00:00:00:00:00:00", "02ab:cd:00:11:ff:"}) {
        EXPECT_TRUE(std::holds_alternative<Failure>(CheckMac(bad, "MAC"))) << bad;
    }
    EXPECT_FALSE(CheckUnitText("Lab 7", "NAME", 20, false));
    EXPECT_TRUE(CheckUnitText("Lab.7", "NAME", 20, false));
    EXPECT_FALSE(CheckUnitText("Lab.7", "--name", 15, true));
    EXPECT_TRUE(CheckUnitText("\xc3\xa9t\xc3\xa9", "NAME", 20, false));
    EXPECT_TRUE(CheckUnitText(std::string(21, 'a'), "NAME", 20, false));
    EXPECT_TRUE(std::holds_alternative<Failure>(CheckAddress("127.0.0.01", "ADDRESS")));
    EXPECT_EQ(std::get<uint32_t>(CheckAddress("127.0.0.9", "ADDRESS")), 0x7F000009u);
}

TEST(WatchInterval, FastPollingOnlyTowardLoopbackOrWithFlood) {
    struct Case {
        double interval;
        std::string address;
        bool flood;
        bool refused;
    };
    for (const Case& c : std::vector<Case>{{0, "127.0.0.1", false, false},
                                           {0.05, "127.200.1.1", false, false},
                                           {0.099, "192.0.2.1", false, true},
                                           {0, "10.1.1.1", false, true},
                                           {0, "10.1.1.1", true, false},
                                           {0.1, "192.0.2.1", false, false}}) {
        SCOPED_TRACE(c.address + " " + std::to_string(c.interval));
        EXPECT_EQ(CheckWatchInterval(c.interval, c.address, c.flood).has_value(), c.refused);
    }
}

}  // namespace
}  // namespace varnex::ctl
