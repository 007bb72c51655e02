// The command line and the console language.
#include <gtest/gtest.h>

#include "unit/unit_options.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

TEST(UnitOptions, DefaultsAndEveryOptionTaken) {
    const ParsedOptions defaults = ParseUnitOptions({});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->address, "127.0.0.1");
    EXPECT_EQ(defaults.options->port, 7);
    EXPECT_EQ(defaults.options->setup.password, "tamble");
    EXPECT_EQ(defaults.options->setup.firmware, (std::array<uint8_t, 3>{1, 7, 4}));
    EXPECT_EQ(defaults.options->setup.name, "Varnex Unit");
    EXPECT_EQ(defaults.options->setup.boards, (std::array<bool, 6>{}));
    EXPECT_EQ(defaults.options->dropEvery, 0u);
    EXPECT_FALSE(defaults.options->quiet);
    EXPECT_TRUE(ParseUnitOptions({"--help"}).options->help);

    const ParsedOptions parsed =
        ParseUnitOptions({"--address",         "127.0.0.5", "--port=0", "--password",   "abc",
                          "--firmware",        "1.6.8",     "--name",   "Lab Unit",     "--mac",
                          "00:1a:2B:3c:4D:5e", "--boards",  "1,3,6",    "--drop-every", "4",
                          "--delay-ms",        "250",       "--seed",   "99",           "--quiet"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const UnitOptions& o = *parsed.options;
    EXPECT_EQ(o.address, "127.0.0.5");
    EXPECT_EQ(o.setup.address, (Address4{127, 0, 0, 5}));
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.setup.password, "abc");
    EXPECT_EQ(o.setup.firmware, (std::array<uint8_t, 3>{1, 6, 8}));
    EXPECT_EQ(o.setup.name, "Lab Unit");
    EXPECT_EQ(o.setup.mac, (std::array<uint8_t, 6>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(o.setup.boards, (std::array<bool, 6>{true, false, true, false, false, true}));
    EXPECT_EQ(o.dropEvery, 4u);
    EXPECT_EQ(o.delayMs, 250u);
    EXPECT_EQ(o.setup.seed, 99u);
    EXPECT_TRUE(o.quiet);
}

TEST(UnitOptions, BadOptionsGiveOneLineErrors) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    for (const Case& c : std::vector<Case>{
             {{"--bogus"}, "unknown option --bogus"},
             {{"--quiet=yes"}, "unknown option --quiet"},
             {{"--port"}, "--port needs a value"},
             {{"--port", "65536"}, "bad value for --port: 65536"},
             {{"--address", "127.0.1"}, "bad value for --address: 127.0.1"},
             {{"--password", "elevenchars"}, "bad value for --password: elevenchars"},
             {{"--password", ""}, "bad value for --password: "},
             {{"--firmware", "1.10.4"}, "bad value for --firmware: 1.10.4"},
             {{"--name", "twenty-one characters"}, "bad value for --name: twenty-one characters"},
             {{"--mac", "00:1A:2B:3C:4D"}, "bad value for --mac: 00:1A:2B:3C:4D"},
             {{"--boards", "0"}, "bad value for --boards: 0"},
             {{"--boards", "7"}, "bad value for --boards: 7"},
             {{"--delay-ms", "60001"}, "bad value for --delay-ms: 60001"},
         }) {
        const ParsedOptions parsed = ParseUnitOptions(c.arguments);
        EXPECT_FALSE(parsed.options) << c.error;
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(UnitConsole, CommandsAnswerAndBadInputShowsUsage) {
    struct Case {
        std::string line;
        std::string output;
    };
    UnitHarness unit;
    for (const Case& c : std::vector<Case>{
             {"pin 3 1", "pin 3 is 1\n"},
             {"pin 6 1", "usage: pin N 0|1  (N 1-5)\n"},
             {"temp 20.3", "temperature is 20.5 C\n"},
             {"temp 125.5", "usage: temp C  (-55 to 125, in steps of 0.5)\n"},
             {"volts 6 5", "voltmeter 6 held at 5.000 V\n"},
             {"volts 6 drift", "voltmeter 6 drifts\n"},
             {"volts 9 1", "usage: volts N V | volts N drift  (N 1-8)\n"},
             {"board 0 on", "usage: board N on|off  (N 1-6)\n"},
             {"delay 0", "replies are delayed 0 ms\n"},
             {"delay soon", "usage: delay N\n"},
             {"", ""},
             {"jump", "unknown command: jump (try help)\n"},
         }) {
        EXPECT_EQ(unit.Console(c.line), c.output) << c.line;
    }
    const std::string state = unit.Console("state");
    EXPECT_NE(state.find("name \"Varnex Unit         \""), std::string::npos) << state;
    EXPECT_NE(state.find("pins 0 0 1 0 0  temperature 20.5 C"), std::string::npos) << state;
    EXPECT_TRUE(RunConsoleLine(unit.Server(), "quit").quit);
    EXPECT_FALSE(RunConsoleLine(unit.Server(), "help").quit);
}

}  // namespace
}  // namespace varnex::unit::testing
