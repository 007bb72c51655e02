#include "session/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::CommandFrame;
using testing::SessionHarness;
using testing::StatusBytes;
using Texts = std::vector<std::string>;

const Texts kIdleTexts = {" Not Connected", " MSG:  Choose IP, then Click on Start"};

Texts StateTexts(const Session& s) {
    return {s.display().statusBar[1], s.display().statusBar[2]};
}

std::vector<uint8_t> ScriptTableReply(const std::string& firstName) {
    std::vector<uint8_t> table(270, 0);
    table[13] = 2;
    std::memcpy(table.data() + 30, firstName.data(), firstName.size());
    return table;
}

TEST(SessionTest, StartSendsTheStatusRequestAndShowsConnecting) {
    SessionHarness h;
    EXPECT_EQ(StateTexts(h.session), kIdleTexts);
    EXPECT_EQ(h.Start(), CommandFrame('1'));
    EXPECT_EQ(h.lookups, (Texts{"127.0.0.1"}));
    EXPECT_EQ(StateTexts(h.session), (Texts{" Connecting", " Sending Password"}));
    const DisplayState& d = h.session.display();
    EXPECT_FALSE(d.enabled.start);
    EXPECT_FALSE(d.enabled.runMake);  // features wait for the first status reply
    EXPECT_TRUE(h.TimerRunning(kPollTimer));
    EXPECT_TRUE(h.TimerRunning(kPulseTimer));
    EXPECT_EQ(d.counters, (PacketCounters{"1", "0", "0"}));
    EXPECT_EQ(d.voltmeters[0].caption, "Battery");
    EXPECT_EQ(d.voltmeters[2].caption, "");
    EXPECT_EQ(d.relayNames, (std::array<std::string, 3>{"Pump", "Fan", "Light"}));
    EXPECT_EQ(d.autoPingCaption, "Auto Ping  127.0.0.1");
}

TEST(SessionTest, UnknownStationTellsAndStaysIdle) {
    SessionHarness h;
    h.listText = "127.0.0.9\t       Other";
    h.session.StartSession();
    EXPECT_EQ(h.lookups, (Texts{"127.0.0.9"}));
    ASSERT_EQ(h.recorder.messages.size(), 1u);
    const Message& m = h.recorder.messages[0];
    EXPECT_EQ(m.text, "SQL general overness, can't find the IP Address in the Database!");
    EXPECT_EQ(m.caption, "  Varnex v1");
    EXPECT_EQ(m.icon, MessageIcon::Stop);
    EXPECT_EQ(StateTexts(h.session), kIdleTexts);
    EXPECT_TRUE(h.session.display().enabled.start);
    EXPECT_FALSE(h.TimerRunning(kPollTimer));
    EXPECT_EQ(h.session.display().autoPingCaption, "Auto Ping");
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

TEST(SessionTest, TransportFailureAtStartLeavesIdleWithoutTimers) {
    testing::HookRecorder recorder;
    testing::LoopbackPeer peer;
    Session session(recorder.hooks,
                    SessionSeams{[](const std::string&) { return testing::LabStation(); },
                                 [] { return std::string("127.0.0.1"); }, [] { return 2026; },
                                 LinkOptions{peer.port(), [](int, uint16_t) { return false; }}});
    session.StartSession();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Bind Error !!\r\nIt's Over !!");
    EXPECT_EQ(StateTexts(session), kIdleTexts);
    EXPECT_TRUE(session.display().enabled.start);
    for (const auto& timer : session.timers()) {
        EXPECT_EQ(timer.running, timer.id == kCreditsTimer) << timer.id;
    }
    EXPECT_FALSE(peer.Receive(50).has_value());
}

TEST(SessionTest, PollAnimationOverFourteenTicks) {
    SessionHarness h;
    h.Start();
    Texts seen;
    for (int tick = 0; tick < 14; ++tick) {
        h.session.OnTimer(kPollTimer);
        seen.push_back(h.session.display().statusBar[2]);
        ASSERT_TRUE(h.peer.Receive().has_value()) << "every tick sends";
    }
    Texts expected = {" MSG: Data Polling Started"};
    for (std::size_t dots = 1; dots <= 12; ++dots) {
        expected.push_back(" MSG: Data Polling " + std::string(dots, '.'));
    }
    expected.push_back(" MSG: Data Polling .");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(h.session.display().statusBar[1], " Connected");
    // No replies: Lost is Sent - 1.
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"15", "0", "14"}));
}

TEST(SessionTest, PulseCreditsAndTimerButtonStepOnTheirTicks) {
    SessionHarness h;
    std::vector<int> pulse;
    for (int tick = 0; tick < 23; ++tick) {
        h.session.OnTimer(kPulseTimer);
        pulse.push_back(h.session.display().pulseStep);
    }
    EXPECT_EQ(pulse, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 9,
                                       8, 7, 6, 5, 4, 3, 2, 1, 1, 2,  3}));
    Texts credits;
    std::vector<int> frames;
    for (int tick = 0; tick < 5; ++tick) {
        h.session.OnTimer(kCreditsTimer);
        credits.push_back(h.session.display().statusBar[3]);
        h.session.OnTimer(kTimerButtonTimer);
        frames.push_back(h.session.display().timerButtonImage);
    }
    EXPECT_EQ(credits,
              (Texts{"               Varnex v1", "Copyright (c) 2026 Varnex developers",
                     "varnex.example", "Every reading at once", "               Varnex v1"}));
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(SessionTest, ChoosingAStationUpdatesAutoPingWithoutStarting) {
    SessionHarness h;
    h.listText = "127.0.0.2        Bench";
    h.session.OnStationChosen();
    EXPECT_TRUE(h.TimerRunning(kStationChoiceTimer));
    h.session.OnTimer(kStationChoiceTimer);
    EXPECT_FALSE(h.TimerRunning(kStationChoiceTimer));
    EXPECT_EQ(h.session.display().autoPingCaption, "Auto Ping  127.0.0.2");
    EXPECT_EQ(h.session.station().address, "127.0.0.2");
    EXPECT_EQ(h.session.stationIp(), "127.0.0.2");
    EXPECT_TRUE(h.lookups.empty());
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

// How each field shows is status_display_test's; here the reply reaches it.
TEST(SessionTest, StatusReplyFillsTheWindowAndTheSnapshot) {
    SessionHarness h;
    h.Start();
    ASSERT_TRUE(h.Deliver(StatusBytes(
        {{14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}, {77, {'L', 'a', 'b', ' ', ' '}}})));
    const DisplayState& d = h.session.display();
    EXPECT_EQ(d.counters, (PacketCounters{"1", "1", "0"}));
    EXPECT_EQ(d.macAddress, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(d.stationName, "Lab");
    EXPECT_EQ(d.firmwareVersion, "1.7.4");
    EXPECT_TRUE(d.enabled.runMake);
    EXPECT_FALSE(d.enabled.start);
    EXPECT_EQ(h.session.snapshot().firmwareVersion, 174u);
    EXPECT_TRUE(h.session.snapshot().temperatureResetAvailable);
}

TEST(SessionTest, RefusedPasswordEndsTheSessionBeforeTheTypeIsRead) {
    SessionHarness h;
    const DisplayState idle = h.session.display();
    h.Start();
    auto bytes = StatusBytes({{14, {1, 2, 3, 4, 5, 6}}});
    bytes[10] = 1;
    bytes[13] = 4;  // a return code, were the password accepted
    ASSERT_TRUE(h.Deliver(bytes));
    ASSERT_EQ(h.recorder.messages.size(), 1u);
    EXPECT_EQ(h.recorder.messages[0].text, "Bad Password!!");
    EXPECT_EQ(h.recorder.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(h.recorder.popups.empty());
    EXPECT_FALSE(h.TimerRunning(kPollTimer));
    EXPECT_FALSE(h.TimerRunning(kPulseTimer));
    DisplayState expected = idle;  // only the station's captions stay
    for (std::size_t n = 0; n < 8; ++n) {
        expected.voltmeters[n].caption = h.known.labels[n];
    }
    expected.relayNames = h.known.relayNames;
    expected.autoPingCaption = "Auto Ping  127.0.0.1";
    EXPECT_EQ(h.session.display(), expected);
}

TEST(SessionTest, ReturnCodeOpensPopupAndCodeFourStopsTheTimerDisplay) {
    SessionHarness h;
    h.Start();
    ASSERT_TRUE(h.Deliver(ScriptTableReply("Morning")));
    EXPECT_TRUE(h.session.ScriptTableReceived());
    ASSERT_TRUE(h.Deliver(StatusBytes({{97, {0x01, 0x5F, 0xCD, 1, 0x00}}})));
    const DisplayState& d = h.session.display();
    EXPECT_EQ(d.timerLabel, "Morning");
    EXPECT_EQ((Texts{d.timerDays, d.timerHours, d.timerMinutes, d.timerSeconds}),
              (Texts{"1", "1", "1", "1"}));
    EXPECT_TRUE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_FALSE(h.peer.Receive(50).has_value()) << "slot 1 has a name: no table request";

    h.session.OnTimer(kTimerButtonTimer);
    std::vector<uint8_t> stopped(20, 0);
    stopped[13] = 4;
    ASSERT_TRUE(h.Deliver(stopped));
    EXPECT_EQ(h.recorder.popups,
              (std::vector<std::pair<int, std::string>>{{4, "Timer Stopped Forcefully !"}}));
    EXPECT_EQ(d.timerLabel, "Timer Inactive");
    EXPECT_EQ((Texts{d.timerDays, d.timerHours, d.timerMinutes, d.timerSeconds}),
              (Texts{"0", "0", "0", "0"}));
    EXPECT_FALSE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_EQ(d.timerButtonImage, 0);
}

TEST(SessionTest, RunningTimerWithoutScriptNamesAsksForTheTableEachTime) {
    SessionHarness h;
    h.Start();
    const auto running = StatusBytes({{97, {0, 0, 5, 1, 0x20}}});
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(h.Deliver(running));
        EXPECT_EQ(h.peer.Receive(), CommandFrame('L')) << i;  // sent from the parser
    }
    EXPECT_EQ(h.session.display().timerSeconds, "5");
    EXPECT_EQ(h.session.display().timerLabel, "");  // slot 2 has an empty name
    // The idle timer puts the label back; D, H, M, S keep their texts.
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    EXPECT_EQ(h.session.display().timerLabel, "Timer Inactive");
    EXPECT_EQ(h.session.display().timerSeconds, "5");
    EXPECT_FALSE(h.TimerRunning(kTimerButtonTimer));
}

TEST(SessionTest, ResetIsIdempotentAndLeavesExactlyWhatItLists) {
    SessionHarness h;
    h.known.views.fill("BAR");
    h.known.jumper6 = "OFF";
    h.Start();
    h.session.OnTimer(kCreditsTimer);
    h.session.OnTimer(kPulseTimer);
    h.session.OnTimer(kPollTimer);
    ASSERT_TRUE(h.peer.Receive().has_value());
    ASSERT_TRUE(h.Deliver(ScriptTableReply("Morning")));
    ASSERT_TRUE(h.Deliver(StatusBytes({{20, {0xFF, 0x0F}}, {61, {1, 1}}, {97, {0, 0, 90, 1, 0}}})));
    h.session.OnTimer(kTimerButtonTimer);
    const DisplayState before = h.session.display();
    ASSERT_TRUE(before.voltmeters[0].barVisible);
    ASSERT_EQ(before.voltmeters[0].barMaximum, 60);

    h.session.ResetSession();
    DisplayState expected;
    for (std::size_t n = 0; n < 8; ++n) {  // not the reset's business
        expected.voltmeters[n].caption = before.voltmeters[n].caption;
        expected.voltmeters[n].barMaximum = before.voltmeters[n].barMaximum;
        expected.voltmeters[n].barLabelText = before.voltmeters[n].barLabelText;
    }
    expected.relayNames = before.relayNames;
    expected.autoPingCaption = before.autoPingCaption;
    expected.statusBar[3] = before.statusBar[3];
    expected.creditsIndex = before.creditsIndex;
    EXPECT_EQ(h.session.display(), expected);
    for (const auto& slot : h.session.scriptTable()) {
        EXPECT_EQ(slot.name + slot.codes, "");
    }
    for (const auto& timer : h.session.timers()) {
        EXPECT_EQ(timer.running, timer.id == kCreditsTimer) << timer.id;
    }
    EXPECT_EQ(h.session.snapshot().firmwareVersion, 174u);  // kept for open dialogs

    h.session.ResetSession();
    EXPECT_EQ(h.session.display(), expected);
}

TEST(SessionTest, DatagramAfterStopIsNeitherCountedNorParsed) {
    SessionHarness h;
    h.Start();
    h.session.ResetSession();
    const DisplayState stopped = h.session.display();
    ASSERT_TRUE(h.Deliver(StatusBytes({{65, {1, 6, 8}}, {36, {0, 0, 0}}})));
    EXPECT_EQ(h.session.display(), stopped);
    EXPECT_EQ(h.session.display().counters.received, "0");
    EXPECT_FALSE(h.peer.Receive(50).has_value()) << "no poll after STOP";
}

TEST(SessionTest, SecondStartBeginsAfresh) {
    SessionHarness h;
    h.Start();
    h.session.OnTimer(kPollTimer);
    ASSERT_TRUE(h.peer.Receive().has_value());
    h.session.ResetSession();

    EXPECT_EQ(h.Start(), CommandFrame('1'));
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"1", "0", "0"}));
    h.session.OnTimer(kPollTimer);
    EXPECT_EQ(StateTexts(h.session), (Texts{" Connected", " MSG: Data Polling Started"}));
}

}  // namespace
}  // namespace varnex
