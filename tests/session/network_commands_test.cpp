#include "session/network_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

using Argv = std::vector<std::string>;

// Records every launch and message; never starts a process.
struct Recorder {
    std::vector<Argv> launched;
    std::vector<Message> messages;
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
        hooks.showMessage = [this](const Message& m) { messages.push_back(m); };
        hooks.localAddress = [this] { return local; };
    }
};

std::optional<std::string> Eth0(uint32_t address) {
    return address == 0xC0A80114 ? std::optional<std::string>("eth0") : std::nullopt;
}

TEST(DottedAddress, AcceptsOnlyFourPlainDecimalFields) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"10.10.10.10", true},     {"0.0.0.0", true},         {"255.255.255.255", true},
        {"127.0.0.1", true},       {"192.168.100.100", true}, {"", false},
        {"256.1.1.1", false},      {"1.2.3", false},          {"1.2.3.4.5", false},
        {"1.2.3.4.", false},       {".1.2.3.4", false},       {"1..3.4", false},
        {"010.1.1.1", false},      {"1.2.3.00", false},       {"1.2.3.4 ", false},
        {" 1.2.3.4", false},       {"-1.2.3.4", false},       {"1.2.3.4;rm", false},
        {"1234.1.1.1", false},     {"a.b.c.d", false},        {"1.2.3.+4", false},
        {"10.10.10.10 -f", false},
    };
    for (const auto& [text, wellFormed] : cases) {
        EXPECT_EQ(IsDottedIpv4(text), wellFormed) << '"' << text << '"';
    }
}

TEST(AutoPing, ShowsAContinuousPingInATerminal) {
    Recorder r;
    EXPECT_TRUE(RunAutoPing(r.hooks, "10.10.10.10"));
    ASSERT_EQ(r.launched.size(), 1u);
    EXPECT_EQ(r.launched[0], (Argv{"x-terminal-emulator", "-e", "ping", "10.10.10.10"}));
    EXPECT_TRUE(r.messages.empty());
}

TEST(AutoPing, RunsPingAloneWhenNoTerminalExists) {
    Recorder r;
    r.terminalExists = false;
    EXPECT_TRUE(RunAutoPing(r.hooks, "127.0.0.1"));
    ASSERT_EQ(r.launched.size(), 1u);
    EXPECT_EQ(r.launched[0], (Argv{"ping", "127.0.0.1"}));
}

TEST(NetworkCommands, MalformedStationAddressStartsNothingAndSaysSo) {
    for (const std::string ip : {"", "10.10.10", "-c1 10.0.0.1", "300.1.1.1"}) {
        Recorder r;
        EXPECT_FALSE(RunAutoPing(r.hooks, ip));
        EXPECT_FALSE(RunAutoAddRoute(r.hooks, ip, Eth0));
        EXPECT_FALSE(RunNeighbourFlush(r.hooks, ip));
        EXPECT_TRUE(r.launched.empty());
        ASSERT_EQ(r.messages.size(), 3u);
        for (const Message& m : r.messages) {
            EXPECT_EQ(m.text, "Invalid IP Address");
            EXPECT_EQ(m.caption, "");
            EXPECT_EQ(m.icon, MessageIcon::Stop);
        }
    }
}

TEST(AutoAddRoute, AddsAHostRouteThroughTheLocalAddressInterface) {
    Recorder r;
    r.terminalExists = false;
    EXPECT_TRUE(RunAutoAddRoute(r.hooks, "10.10.10.10", Eth0));
    ASSERT_EQ(r.launched.size(), 1u);
    EXPECT_EQ(r.launched[0],
              (Argv{"ip", "route", "add", "10.10.10.10/32", "dev", "eth0", "src", "192.168.1.20"}));
}

TEST(AutoAddRoute, MissingLocalAddressOrInterfaceStartsNothing) {
    Recorder noAddress;
    noAddress.local.reset();
    EXPECT_FALSE(RunAutoAddRoute(noAddress.hooks, "10.10.10.10", Eth0));
    Recorder noInterface;
    noInterface.local = 0x0A000001;
    EXPECT_FALSE(RunAutoAddRoute(noInterface.hooks, "10.10.10.10", Eth0));
    for (const Recorder* r : {&noAddress, &noInterface}) {
        EXPECT_TRUE(r->launched.empty());
        ASSERT_EQ(r->messages.size(), 1u);
        EXPECT_EQ(r->messages[0].text, "Can't find the local IP Address !!\r\nNo route added.");
        EXPECT_EQ(r->messages[0].icon, MessageIcon::Stop);
    }
}

TEST(NeighbourFlush, FlushesTheStationEntryOnEveryInterface) {
    Recorder r;
    EXPECT_TRUE(RunNeighbourFlush(r.hooks, "10.10.10.10"));
    ASSERT_EQ(r.launched.size(), 1u);
    EXPECT_EQ(r.launched[0],
              (Argv{"x-terminal-emulator", "-e", "ip", "neigh", "flush", "to", "10.10.10.10"}));
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
