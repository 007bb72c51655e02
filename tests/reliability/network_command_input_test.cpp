// Station texts built to reach a shell: the network tools start only for a
// plain dotted address, and then with that address as one argument.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "session/network_commands.h"
#include "session/session_harness.h"

namespace varnex {
namespace {

using Argv = std::vector<std::string>;
using testing::LabStation;

TEST(NetworkCommandInput, OnlyAPlainAddressStartsATool) {
    const std::vector<Argv> tools = {
        {"x-terminal-emulator", "-e", "ping", "127.0.0.1"},
        {"x-terminal-emulator", "-e", "ip", "route", "add", "127.0.0.1/32", "dev", "lo", "src",
         "127.0.0.1"},
        {"x-terminal-emulator", "-e", "ip", "neigh", "flush", "to", "127.0.0.1"}};
    // The text as the station list's field shows it, and whether the tools start.
    for (const std::pair<std::string, bool>& c : std::vector<std::pair<std::string, bool>>{
             {"127.0.0.1        Lab", true},
             {"127.0.0.1      ;reboot", true},           // beyond the address field
             {std::string("127.0.0.1\0;id", 12), true},  // a text field ends at its NUL
             {"127.0.0.1;reboot", false},
             {"$(reboot)", false},
             {"127.0.0.1\nid", false},
             {"-c1 127.0.0.1", false},
             {"0x7f.0.0.1", false},
             {"127.1", false},
             {"localhost", false},
             {"\xff\xfe\x01\x02", false},
             {"", false},
             {std::string(5000, '9'), false},
         }) {
        SCOPED_TRACE(c.first);
        testing::HookRecorder recorder;
        std::vector<Argv> launched;
        recorder.hooks.launch = [&](const Argv& argv) {
            launched.push_back(argv);
            return true;
        };
        recorder.hooks.localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
        Session session(recorder.hooks,
                        SessionSeams{[](const std::string&) { return LabStation(); },
                                     [&] { return c.first; }, [] { return 2026; }, LinkOptions{}});
        session.OnStationChosen();
        session.OnTimer(kStationChoiceTimer);
        const std::string& address = session.station().address;

        EXPECT_EQ(RunAutoPing(recorder.hooks, address), c.second);
        EXPECT_EQ(RunAutoAddRoute(recorder.hooks, address, [](uint32_t) { return "lo"; }),
                  c.second);
        EXPECT_EQ(RunNeighbourFlush(recorder.hooks, address), c.second);
        EXPECT_EQ(launched, c.second ? tools : std::vector<Argv>{});
        std::vector<std::string> texts;
        for (const Message& m : recorder.messages) {
            texts.push_back(m.text);
        }
        EXPECT_EQ(texts, std::vector<std::string>(c.second ? 0 : 3, "Invalid IP Address"));
    }
}

}  // namespace
}  // namespace varnex
