#include "session/network_commands.h"

#include <gtest/gtest.h>

#include <functional>
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

// Each tool runs in a terminal window where one exists, on its own otherwise.
TEST(NetworkCommands, EachToolIsStartedWithItsArguments) {
    const struct {
        const char* what;
        std::function<bool(const PlatformHooks&)> run;
        bool terminalExists;
        Argv argv;
    } cases[] = {
        {"ping",
         [](const PlatformHooks& h) { return RunAutoPing(h, "10.10.10.10"); },
         true,
         {"x-terminal-emulator", "-e", "ping", "10.10.10.10"}},
        {"ping alone",
         [](const PlatformHooks& h) { return RunAutoPing(h, "127.0.0.1"); },
         false,
         {"ping", "127.0.0.1"}},
        {"route",
         [](const PlatformHooks& h) { return RunAutoAddRoute(h, "10.10.10.10", Eth0); },
         false,
         {"ip", "route", "add", "10.10.10.10/32", "dev", "eth0", "src", "192.168.1.20"}},
        {"flush",
         [](const PlatformHooks& h) { return RunNeighbourFlush(h, "10.10.10.10"); },
         true,
         {"x-terminal-emulator", "-e", "ip", "neigh", "flush", "to", "10.10.10.10"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        r.terminalExists = c.terminalExists;
        EXPECT_TRUE(c.run(r.hooks));
        EXPECT_EQ(r.launched, std::vector<Argv>{c.argv});
        EXPECT_TRUE(r.messages.empty());
    }
}

TEST(NetworkCommands, MalformedStationAddressStartsNothingAndSaysSo) {
    for (const std::string ip : {"", "-c1 10.0.0.1"}) {
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

TEST(AutoAddRoute, MissingLocalAddressOrInterfaceStartsNothing) {
    for (const std::optional<uint32_t> local :
         {std::optional<uint32_t>(), std::optional(0x0A000001u)}) {
        Recorder r;
        r.local = local;
        EXPECT_FALSE(RunAutoAddRoute(r.hooks, "10.10.10.10", Eth0));
        EXPECT_TRUE(r.launched.empty());
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].text, "Can't find the local IP Address !!\r\nNo route added.");
        EXPECT_EQ(r.messages[0].icon, MessageIcon::Stop);
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
