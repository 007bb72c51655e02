// Command lines in and out: the one the program starts with, and those of
// the network tools it launches (through the launch hook, never for real).
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "session/command_line.h"
#include "session/network_commands.h"

namespace varnex {
namespace {

using Argv = std::vector<std::string>;
using Shown = std::vector<std::tuple<std::string, std::string, MessageIcon>>;

TEST(JoinCommandLine, QuotesOnlyWordsWithBlanks) {
    EXPECT_EQ(JoinCommandLine({"varnex", "10.0.0.1"}), "varnex 10.0.0.1");
    EXPECT_EQ(JoinCommandLine({"/opt/my apps/varnex", "10.0.0.1 x"}),
              "\"/opt/my apps/varnex\" \"10.0.0.1 x\"");
    // A word that brings its own quote is passed on as typed.
    EXPECT_EQ(JoinCommandLine({"varnex", "\"10.0.0.1"}), "varnex \"10.0.0.1");
}

TEST(StartUpCommand, FollowsTheCommandLineRules) {
    const std::string longPath = "/" + std::string(110, 'p') + "/varnex";  // 118 characters
    const std::tuple<std::string, StartUpRequest, std::string> cases[] = {
        {"varnex", StartUpRequest::LoadDefaultStation, ""},
        {"varnex \"\"", StartUpRequest::LoadDefaultStation, ""},
        {"varnex \"  127.0.0.1  \"", StartUpRequest::StartStation, "127.0.0.1"},
        {"varnex 192.168.100.100", StartUpRequest::StartStation, "192.168.100.100"},
        {"varnex 192.168.100.1000", StartUpRequest::InvalidAddress, ""},
        {"varnex \"10.0.0.1", StartUpRequest::MismatchedQuotes, ""},
        {"varnex 10.0.0.1,x", StartUpRequest::StartStation, "10.0.0.1"},
        {longPath + " 127.0.0.1", StartUpRequest::StartStation, "127.0.0.1"},  // 128
        {longPath + " 127.0.0.12", StartUpRequest::CommandLineTooLong, ""},    // 129
    };
    for (const auto& [line, request, address] : cases) {
        const StartUpCommand command = ReadStartUpCommand(line);
        EXPECT_EQ(std::pair(command.request, command.address), std::pair(request, address)) << line;
    }
}

TEST(DottedAddress, AcceptsOnlyFourPlainDecimalFields) {
    const std::pair<const char*, bool> cases[] = {
        {"10.10.10.10", true}, {"255.255.255.255", true}, {"256.1.1.1", false},
        {"1.2.3", false},      {"1.2.3.4.5", false},      {"1..3.4", false},
        {"010.1.1.1", false},  {" 1.2.3.4", false},       {"1.2.3.4;rm", false},
        {"1234.1.1.1", false}, {"1.2.3.+4", false},       {"10.10.10.10 -f", false},
    };
    for (const auto& [text, wellFormed] : cases) {
        EXPECT_EQ(IsDottedIpv4(text), wellFormed) << '"' << text << '"';
    }
}

// Records every launch and message; never starts a process. `programs`
// maps the names found on the search path to their real paths.
struct Recorder {
    std::vector<Argv> launched;
    Shown shown;
    std::map<std::string, std::string> programs = {{"x-terminal-emulator", "/usr/bin/xterm"}};
    bool windowsStayOpen = false;
    std::optional<uint32_t> local = 0xC0A80114;  // 192.168.1.20
    PlatformHooks hooks;

    Recorder() {
        hooks.launch = [this](const Argv& argv) {
            launched.push_back(argv);
            return true;
        };
        hooks.stillRunning = [this](const Argv& argv) {
            return windowsStayOpen &&
                   std::find(launched.begin(), launched.end(), argv) != launched.end();
        };
        hooks.findProgram = [this](const std::string& name) -> std::optional<std::string> {
            const auto found = programs.find(name);
            return found == programs.end() ? std::nullopt : std::optional(found->second);
        };
        hooks.showMessage = [this](const Message& m) {
            shown.emplace_back(m.text, m.caption, m.icon);
        };
        hooks.localAddress = [this] { return local; };
    }
};

std::optional<std::string> Eth0(uint32_t address) {
    return address == 0xC0A80114 ? std::optional<std::string>("eth0") : std::nullopt;
}

enum class Tool { Ping, Route, Flush };

bool RunTool(Tool tool, const PlatformHooks& hooks, const std::string& ip) {
    return tool == Tool::Ping    ? RunAutoPing(hooks, ip)
           : tool == Tool::Route ? RunAutoAddRoute(hooks, ip, Eth0)
                                 : RunNeighbourFlush(hooks, ip);
}

// What follows the terminal's own words: the hold-open script and the tool.
Argv ToolPart(const Argv& launched, std::size_t terminalWords) {
    return Argv(launched.begin() + static_cast<std::ptrdiff_t>(terminalWords + 4), launched.end());
}

TEST(NetworkCommands, EachToolIsStartedInATerminalWithItsArguments) {
    const std::tuple<Tool, Argv> cases[] = {
        {Tool::Ping, {"ping", "10.10.10.10"}},
        {Tool::Route, {"ip", "route", "add", "10.10.10.10/32", "dev", "eth0", "src", "192.168.1.20"}},
        {Tool::Flush, {"ip", "neigh", "flush", "to", "10.10.10.10"}},
    };
    for (const auto& [tool, argv] : cases) {
        Recorder r;
        EXPECT_TRUE(RunTool(tool, r.hooks, "10.10.10.10")) << argv[0];
        ASSERT_EQ(r.launched.size(), 1u);
        EXPECT_EQ(Argv(r.launched[0].begin(), r.launched[0].begin() + 3),
                  (Argv{"xterm", "-e", "sh"}));
        EXPECT_EQ(ToolPart(r.launched[0], 2), argv);
        EXPECT_TRUE(r.shown.empty());
    }
}

// The Debian alternative first, as the terminal behind it when that one is
// known; then the usual terminals, each with the option it takes the command by.
TEST(NetworkCommands, EachTerminalGetsTheCommandInItsOwnForm) {
    using Programs = std::map<std::string, std::string>;
    const std::pair<Programs, Argv> cases[] = {
        {{{"x-terminal-emulator", "/usr/bin/konsole"}, {"xterm", "/usr/bin/xterm"}},
         {"konsole", "-e"}},
        {{{"x-terminal-emulator", "/usr/bin/gnome-terminal.wrapper"}}, {"gnome-terminal", "--"}},
        {{{"x-terminal-emulator", "/usr/bin/xfce4-terminal.wrapper"}}, {"xfce4-terminal", "-x"}},
        {{{"x-terminal-emulator", "/usr/bin/lxterminal"}}, {"x-terminal-emulator", "-e"}},
        {{{"xfce4-terminal", "/usr/bin/xfce4-terminal"}, {"xterm", "/usr/bin/xterm"}},
         {"xfce4-terminal", "-x"}},
        {{{"xterm", "/usr/bin/xterm"}}, {"xterm", "-e"}},
    };
    for (const auto& [programs, terminal] : cases) {
        Recorder r;
        r.programs = programs;
        EXPECT_TRUE(RunAutoPing(r.hooks, "10.10.10.10"));
        ASSERT_EQ(r.launched.size(), 1u) << terminal[0];
        EXPECT_EQ(Argv(r.launched[0].begin(), r.launched[0].begin() + 2), terminal);
        EXPECT_EQ(ToolPart(r.launched[0], 2), (Argv{"ping", "10.10.10.10"}));
    }
}

// The hold-open script, run for real with harmless commands: the command
// runs with its arguments as given (never read as shell text), and the
// window then says how it ended and waits.
// Runs argv with standard input empty; its standard output.
std::string RunCaptured(const Argv& argv) {
    int out[2];
    if (pipe(out) != 0) {
        return "";
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> args;
    for (const std::string& word : argv) {
        args.push_back(const_cast<char*>(word.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; spawned == 0 && (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    if (spawned == 0) {
        waitpid(pid, nullptr, 0);
    }
    return output;
}

TEST(NetworkCommands, TheTerminalStaysOpenAfterTheCommandAndNeverReadsArgumentsAsShell) {
    const std::string trap = (std::filesystem::temp_directory_path() /
                              ("varnex-trap-" + std::to_string(getpid())))
                                 .string();
    const Argv command = InTerminal(Terminal{"unused", "-e"},
                                    {"printf", "[%s]", "$(touch " + trap + ")", "; false"});
    const std::string output = RunCaptured(Argv(command.begin() + 2, command.end()));
    EXPECT_EQ(output,
              "[$(touch " + trap + ")][; false]\nprintf ended (status 0). Press Enter to close.\n");
    EXPECT_FALSE(std::filesystem::exists(trap));
}

TEST(NetworkCommands, OneWindowPerStationAndNoneWithoutATerminal) {
    Recorder r;
    r.windowsStayOpen = true;
    for (const std::string ip : {"10.10.10.10", "10.10.10.10", "10.10.10.11", "10.10.10.10"}) {
        EXPECT_TRUE(RunAutoPing(r.hooks, ip));
    }
    ASSERT_EQ(r.launched.size(), 2u);
    EXPECT_EQ(ToolPart(r.launched[1], 2), (Argv{"ping", "10.10.10.11"}));

    Recorder none;
    none.programs.clear();
    for (const Tool tool : {Tool::Ping, Tool::Route, Tool::Flush}) {
        EXPECT_FALSE(RunTool(tool, none.hooks, "10.10.10.10"));
    }
    EXPECT_TRUE(none.launched.empty());
    EXPECT_EQ(none.shown, Shown(3, {kNoTerminalText, "", MessageIcon::Stop}));
}

TEST(NetworkCommands, MalformedStationAddressStartsNothingAndSaysSo) {
    for (const std::string ip : {"", "-c1 10.0.0.1"}) {
        Recorder r;
        for (const Tool tool : {Tool::Ping, Tool::Route, Tool::Flush}) {
            EXPECT_FALSE(RunTool(tool, r.hooks, ip));
        }
        EXPECT_TRUE(r.launched.empty());
        EXPECT_EQ(r.shown, Shown(3, {"Invalid IP Address", "", MessageIcon::Stop}));
    }
}

TEST(AutoAddRoute, NoLocalAddressNoInterfaceOrALoopbackStationStartsNothing) {
    const std::tuple<std::optional<uint32_t>, std::string, std::string> cases[] = {
        {std::nullopt, "10.10.10.10", kNoLocalAddressText},
        {0x0A000001u, "10.10.10.10", kNoLocalAddressText},
        {0xC0A80114, "127.0.0.1", kLoopbackRouteText},
        {0xC0A80114, "127.9.8.7", kLoopbackRouteText},
    };
    for (const auto& [local, ip, text] : cases) {
        Recorder r;
        r.local = local;
        EXPECT_FALSE(RunAutoAddRoute(r.hooks, ip, Eth0));
        EXPECT_TRUE(r.launched.empty());
        EXPECT_EQ(r.shown, (Shown{{text, "", MessageIcon::Stop}})) << ip;
    }
}

TEST(LocalInterfaces, LoopbackAddressBelongsToAnInterfaceButIsNeverTheLocalAddress) {
    EXPECT_TRUE(InterfaceWithAddress(0x7F000001).has_value());
    const std::optional<uint32_t> local = FirstLocalAddress();
    if (local) {
        EXPECT_NE(*local >> 24, 127u);
        EXPECT_TRUE(InterfaceWithAddress(*local).has_value());
    }
}

}  // namespace
}  // namespace varnex
