// Command lines in and out: the one the program starts with, and those of
// the network tools it launches (through the launch hook, never for real).
#include <gtest/gtest.h>

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

// Records every launch and message; never starts a process.
struct Recorder {
    std::vector<Argv> launched;
    Shown shown;
    bool terminalExists = true;
    std::optional<uint32_t> local = 0xC0A80114;  // 192.168.1.20
    PlatformHooks hooks;

    Recorder() {
        hooks.launch = [this](const Argv& argv) {
            if (!terminalExists && argv.front() == "x-terminal-emulator") {
                return false;
            }
            launched.push_back(argv);
            return true;
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

// Each tool runs in a terminal window where one exists, on its own otherwise.
TEST(NetworkCommands, EachToolIsStartedWithItsArguments) {
    const std::tuple<Tool, std::string, bool, Argv> cases[] = {
        {Tool::Ping, "10.10.10.10", true, {"x-terminal-emulator", "-e", "ping", "10.10.10.10"}},
        {Tool::Ping, "127.0.0.1", false, {"ping", "127.0.0.1"}},
        {Tool::Route,
         "10.10.10.10",
         false,
         {"ip", "route", "add", "10.10.10.10/32", "dev", "eth0", "src", "192.168.1.20"}},
        {Tool::Flush,
         "10.10.10.10",
         true,
         {"x-terminal-emulator", "-e", "ip", "neigh", "flush", "to", "10.10.10.10"}},
    };
    for (const auto& [tool, ip, terminalExists, argv] : cases) {
        Recorder r;
        r.terminalExists = terminalExists;
        EXPECT_TRUE(RunTool(tool, r.hooks, ip)) << argv[0];
        EXPECT_EQ(r.launched, std::vector<Argv>{argv});
        EXPECT_TRUE(r.shown.empty());
    }
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

TEST(AutoAddRoute, MissingLocalAddressOrInterfaceStartsNothing) {
    for (const std::optional<uint32_t> local :
         {std::optional<uint32_t>(), std::optional(0x0A000001u)}) {
        Recorder r;
        r.local = local;
        EXPECT_FALSE(RunAutoAddRoute(r.hooks, "10.10.10.10", Eth0));
        EXPECT_TRUE(r.launched.empty());
        EXPECT_EQ(r.shown, (Shown{{"Can't find the local IP Address !!\r\nNo route added.", "",
                                   MessageIcon::Stop}}));
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
