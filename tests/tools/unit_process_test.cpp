// The real varnex-unit program: its console on standard input, its exit
// status and what it prints, for good and bad command lines.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "stations/station_test_support.h"

namespace {

using varnex::testing::ShellQuoted;

struct Finished {
    int exitStatus = -1;  // 124: still running after ten seconds, then ended
    std::string output;   // standard output and error together
};

// Runs the program with `input` as its whole standard input.
Finished RunUnit(const std::vector<std::string>& arguments, const std::string& input) {
    std::string command =
        "printf %s " + ShellQuoted(input) + " | timeout 10 " + ShellQuoted(VARNEX_UNIT_EXECUTABLE);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    Finished finished;
    if (pipe == nullptr) {
        return finished;
    }
    char chunk[512];
    for (std::size_t size; (size = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        finished.output.append(chunk, size);
    }
    const int status = pclose(pipe);
    finished.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

TEST(UnitProcess, ConsoleEndOfInputAndBadCommandLines) {
    struct Case {
        std::vector<std::string> arguments;
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
         }) {
        SCOPED_TRACE(c.arguments[0] + " with input \"" + c.input + "\"");
        const Finished finished = RunUnit(c.arguments, c.input);
        EXPECT_EQ(finished.exitStatus, c.exitStatus);
        EXPECT_THAT(finished.output, ::testing::MatchesRegex(c.output));
    }
}

}  // namespace
