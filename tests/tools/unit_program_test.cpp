// The varnex-unit program: its command line, its console language, and the
// real process with its exit status and what it prints.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "stations/station_test_support.h"
#include "unit/unit_options.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(UnitOptions, DefaultsAndEveryOptionTaken) {
    const ParsedOptions defaults = ParseUnitOptions({});
    ASSERT_TRUE(defaults.options);
    const UnitOptions& d = *defaults.options;
    EXPECT_EQ(std::tie(d.address, d.port, d.setup.password, d.setup.name, d.dropEvery, d.quiet),
              std::tuple("127.0.0.1", 7, "tamble", "Varnex Unit", 0u, false));
    EXPECT_EQ(std::tie(d.setup.firmware, d.setup.boards),
              std::tuple(std::array<uint8_t, 3>{1, 7, 4}, std::array<bool, 6>{}));
    EXPECT_TRUE(ParseUnitOptions({"--help"}).options->help);

    const ParsedOptions parsed =
        ParseUnitOptions({"--address",         "127.0.0.5", "--port=0", "--password",   "abc",
                          "--firmware",        "1.6.8",     "--name",   "Lab Unit",     "--mac",
                          "00:1a:2B:3c:4D:5e", "--boards",  "1,3,6",    "--drop-every", "4",
                          "--delay-ms",        "250",       "--seed",   "99",           "--quiet"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const UnitOptions& o = *parsed.options;
    EXPECT_EQ(std::tie(o.address, o.port, o.setup.password, o.setup.name, o.dropEvery, o.delayMs,
                       o.setup.seed, o.quiet),
              std::tuple("127.0.0.5", 0, "abc", "Lab Unit", 4u, 250u, 99u, true));
    EXPECT_EQ(std::tie(o.setup.address, o.setup.firmware, o.setup.mac, o.setup.boards),
              std::tuple(Address4{127, 0, 0, 5}, std::array<uint8_t, 3>{1, 6, 8},
                         std::array<uint8_t, 6>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
                         std::array<bool, 6>{true, false, true, false, false, true}));
}

TEST(UnitOptions, BadOptionsGiveOneLineErrors) {
    for (const auto& [arguments, error] : std::vector<std::pair<Strings, std::string>>{
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
        const ParsedOptions parsed = ParseUnitOptions(arguments);
        EXPECT_FALSE(parsed.options) << error;
        EXPECT_EQ(parsed.error, error);
    }
}

TEST(UnitConsole, CommandsAnswerAndBadInputShowsUsage) {
    UnitHarness unit;
    for (const auto& [line, output] : std::vector<std::pair<std::string, std::string>>{
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
        EXPECT_EQ(unit.Console(line), output) << line;
    }
    EXPECT_THAT(unit.Console("state"),
                ::testing::AllOf(::testing::HasSubstr("name \"Varnex Unit         \""),
                                 ::testing::HasSubstr("pins 0 0 1 0 0  temperature 20.5 C")));
    EXPECT_TRUE(RunConsoleLine(unit.Server(), "quit").quit);
    EXPECT_FALSE(RunConsoleLine(unit.Server(), "help").quit);
}

// Runs the program with `input` as its whole standard input; gives its exit
// status (124: still running after ten seconds, then ended) and its standard
// output and error together.
std::pair<int, std::string> RunUnit(const Strings& arguments, const std::string& input) {
    using varnex::testing::ShellQuoted;
    std::string command =
        "printf %s " + ShellQuoted(input) + " | timeout 10 " + ShellQuoted(VARNEX_UNIT_EXECUTABLE);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return {-1, ""};
    }
    std::string output;
    char chunk[512];
    for (std::size_t size; (size = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, size);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(UnitProcess, ConsoleEndOfInputAndBadCommandLines) {
    struct Case {
        Strings arguments;
        std::string input;
        int exitStatus;
        std::string output;  // a regular expression
    };
    const std::string listening = "varnex-unit listening on 127\\.0\\.0\\.1:[0-9]+\n";
    for (const Case& c : std::vector<Case>{
             {{"--port", "0"}, "pin 2 1\nquit\npin 3 1\n", 0, listening + "pin 2 is 1\n"},
             {{"--port", "0", "--quiet"}, "", 0, listening},
             {{"--frobnicate"},
              "",
              2,
              "varnex-unit: unknown option --frobnicate \\(see --help\\)\n"},
             {{"--address", "192.0.2.1", "--port", "0"}, "", 2, "varnex-unit: [^\n]+\n"},
             {{"--units", "3", "--address", "127.1.0.1", "--port", "0", "--quiet"},
              "@127.1.0.3 pin 1 1\n",
              0,
              "varnex-unit listening on 127\\.1\\.0\\.1:[0-9]+ \\.\\.\\. "
              "127\\.1\\.0\\.3:[0-9]+ \\(3 units\\)\npin 1 is 1\n"},
             {{"--units", "0"}, "", 2, "varnex-unit: bad value for --units: 0 \\(see --help\\)\n"},
         }) {
        SCOPED_TRACE(c.arguments[0] + " with input \"" + c.input + "\"");
        const auto [exitStatus, output] = RunUnit(c.arguments, c.input);
        EXPECT_EQ(exitStatus, c.exitStatus);
        EXPECT_THAT(output, ::testing::MatchesRegex(c.output));
    }
}

}  // namespace
}  // namespace varnex::unit::testing
