// Station texts built to reach a shell: the network tools start only for a
// plain dotted address, and then with that address as one argument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/network_commands.h"
#include "session/session_harness.h"

namespace varnex {
namespace {

using Argv = std::vector<std::string>;
using testing::LabStation;

struct Case {
    std::string listText;  // as the station list's field shows it
    Argv expectedPing;     // empty: nothing may start
};

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

TEST(NetworkCommandInput, OnlyAPlainAddressStartsATool) {
    const Argv ping = {"x-terminal-emulator", "-e", "ping", "127.0.0.1"};
    const std::vector<Case> cases = {
        {"127.0.0.1        Lab", ping},
        {"127.0.0.1      ;reboot", ping},  // beyond the address field
        {"127.0.0.1;reboot", {}},
        {"127.0.0.1&&id", {}},
        {"127.0.0.1|nc -l", {}},
        {"$(reboot)", {}},
        {"`id`.0.0.1", {}},
        {"127.0.0.1\nid", {}},
        {"127.0.0.1\\", {}},
        {"'127.0.0.1'", {}},
        {"\"127.0.0.1\"", {}},
        {"-c1 127.0.0.1", {}},
        {"--help", {}},
        {"127.0.0.1 -f", {}},
        {"127.0.0.1/8", {}},
        {"0x7f.0.0.1", {}},
        {"127.1", {}},
        {"localhost", {}},
        {"127.0.0.1%lo", {}},
        {std::string("127.0.0.1\0;id", 12), ping},  // a text field ends at its NUL
        {"\xff\xfe\x01\x02", {}},
        {"", {}},
        {Repeat("9", 5000), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listText);
        testing::HookRecorder recorder;
        std::vector<Argv> launched;
        recorder.hooks.launch = [&](const Argv& argv) {
            launched.push_back(argv);
            return true;
        };
        recorder.hooks.localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
        Session session(
            recorder.hooks,
            SessionSeams{[](const std::string&) { return LabStation(); },
                         [&] { return c.listText; }, [] { return 2026; }, LinkOptions{}});
        session.OnStationChosen();
        session.OnTimer(kStationChoiceTimer);
        const std::string& address = session.station().address;

        const bool pinged = RunAutoPing(recorder.hooks, address);
        const bool routed =
            RunAutoAddRoute(recorder.hooks, address, [](uint32_t) { return std::string("lo"); });
        const bool flushed = RunNeighbourFlush(recorder.hooks, address);

        if (c.expectedPing.empty()) {
            EXPECT_FALSE(pinged || routed || flushed);
            EXPECT_TRUE(launched.empty());
            EXPECT_EQ(recorder.messages.size(), 3u);
            for (const Message& m : recorder.messages) {
                EXPECT_EQ(m.text, "Invalid IP Address");
            }
        } else {
            EXPECT_TRUE(pinged && routed && flushed);
            ASSERT_EQ(launched.size(), 3u);
            EXPECT_EQ(launched[0], c.expectedPing);
            EXPECT_EQ(launched[1], (Argv{"x-terminal-emulator", "-e", "ip", "route", "add",
                                         "127.0.0.1/32", "dev", "lo", "src", "127.0.0.1"}));
            EXPECT_EQ(launched[2], (Argv{"x-terminal-emulator", "-e", "ip", "neigh", "flush", "to",
                                         "127.0.0.1"}));
            EXPECT_TRUE(recorder.messages.empty());
        }
    }
}

}  // namespace
}  // namespace varnex
