#include "session/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::SessionHarness;
using testing::StatusBytes;
using Texts = std::vector<std::string>;

std::vector<uint8_t> ExpectedFrame(char letter, const std::string& passwordField) {
    std::string text = std::string("%$KQV1964") + letter + passwordField;
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.resize(275, '*');
    bytes.resize(285, 0);
    return bytes;
}

Texts StateTexts(const Session& s) {
    return {s.display().statusBar[1], s.display().statusBar[2]};
}

TEST(SessionTest, StartSendsTheStatusRequestAndShowsConnecting) {
    SessionHarness h;
    EXPECT_EQ(StateTexts(h.session),
              (Texts{" Not Connected", " MSG:  Choose IP, then Click on Start"}));
    const auto request = h.Start();
    EXPECT_EQ(request, ExpectedFrame('1', "secret****"));
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
    EXPECT_EQ(d.voltmeters[7].caption, "Probe");
    EXPECT_EQ(d.relayNames, (std::array<std::string, 3>{"Pump", "Fan", "Light"}));
    EXPECT_EQ(d.autoPingCaption, "Auto Ping  127.0.0.1");
    EXPECT_EQ(h.session.stationIp(), "127.0.0.1");
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
    EXPECT_EQ(StateTexts(h.session),
              (Texts{" Not Connected", " MSG:  Choose IP, then Click on Start"}));
    EXPECT_TRUE(h.session.display().enabled.start);
    EXPECT_FALSE(h.TimerRunning(kPollTimer));
    EXPECT_EQ(h.session.display().autoPingCaption, "Auto Ping");
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

TEST(SessionTest, TransportFailureAtStartLeavesIdleWithoutTimers) {
    testing::HookRecorder recorder;
    testing::LoopbackPeer peer;
    int binds = 0;
    Session session(recorder.hooks,
                    SessionSeams{[](const std::string&) { return testing::LabStation(); },
                                 [] { return std::string("127.0.0.1"); }, [] { return 2026; },
                                 LinkOptions{peer.port(), [&](int, uint16_t) {
                                                 ++binds;
                                                 return false;
                                             }}});
    session.OnTimer(kCreditsTimer);
    session.StartSession();
    EXPECT_EQ(binds, 10);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Bind Error !!\r\nIt's Over !!");
    EXPECT_EQ(StateTexts(session),
              (Texts{" Not Connected", " MSG:  Choose IP, then Click on Start"}));
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
    for (int dots = 1; dots <= 12; ++dots) {
        expected.push_back(" MSG: Data Polling " +
                           std::string(static_cast<std::size_t>(dots), '.'));
    }
    expected.push_back(" MSG: Data Polling .");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(h.session.display().statusBar[1], " Connected");
    // No replies: Lost is Sent - 1.
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"15", "0", "14"}));
}

TEST(SessionTest, PulseRunsUpAndDown) {
    SessionHarness h;
    std::vector<int> steps;
    for (int tick = 0; tick < 23; ++tick) {
        h.session.OnTimer(kPulseTimer);
        steps.push_back(h.session.display().pulseStep);
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 9,
                                       8, 7, 6, 5, 4, 3, 2, 1, 1, 2,  3}));
}

TEST(SessionTest, CreditsRotateEveryTick) {
    SessionHarness h;
    Texts seen;
    for (int tick = 0; tick < 5; ++tick) {
        h.session.OnTimer(kCreditsTimer);
        seen.push_back(h.session.display().statusBar[3]);
    }
    EXPECT_EQ(seen, (Texts{"               Varnex v1", "Copyright (c) 2026 Varnex developers",
                           "varnex.example", "Every reading at once", "               Varnex v1"}));
}

TEST(SessionTest, TimerButtonFramesCycle) {
    SessionHarness h;
    std::vector<int> images;
    for (int tick = 0; tick < 5; ++tick) {
        h.session.OnTimer(kTimerButtonTimer);
        images.push_back(h.session.display().timerButtonImage);
    }
    EXPECT_EQ(images, (std::vector<int>{1, 2, 3, 0, 1}));
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

TEST(SessionTest, StatusReplyFillsTheWindow) {
    SessionHarness h;
    h.Start();
    ASSERT_TRUE(h.Deliver(StatusBytes({{14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
                                       {20, {0xFF, 0x0F}},
                                       {36, {0, 1, 0}},
                                       {68, {21, 0x80}},
                                       {77, {'L', 'a', 'b', ' ', ' '}}})));
    const DisplayState& d = h.session.display();
    EXPECT_EQ(d.counters, (PacketCounters{"1", "1", "0"}));
    EXPECT_EQ(d.macAddress, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(d.voltmeters[0].valueText, "30.0000000");
    EXPECT_EQ(d.voltmeters[1].valueText, "0");
    EXPECT_EQ(d.relayStates, (std::array<std::string, 3>{"ON", "OFF", "ON"}));
    EXPECT_EQ(d.celsius, "21.5");
    EXPECT_EQ(d.fahrenheit, " 70.7");
    EXPECT_EQ(d.stationName, "Lab");
    EXPECT_EQ(d.firmwareVersion, "1.7.4");
    EXPECT_TRUE(d.enabled.runMake);
    EXPECT_TRUE(d.enabled.daughterBoardButton);
    EXPECT_FALSE(d.enabled.start);
    EXPECT_EQ(h.session.snapshot().firmwareVersion, 174u);
    EXPECT_TRUE(h.session.snapshot().temperatureResetAvailable);
}

TEST(SessionTest, TypeBytesZeroAndFourteenAreStatus) {
    for (const uint8_t type : {0, 14}) {
        SessionHarness h;
        h.Start();
        auto bytes = StatusBytes({{65, {1, 6, 8}}});
        bytes[13] = type;
        ASSERT_TRUE(h.Deliver(bytes));
        EXPECT_EQ(h.session.display().firmwareVersion, "1.6.8") << int(type);
        EXPECT_TRUE(h.recorder.popups.empty());
    }
}

TEST(SessionTest, RefusedPasswordEndsTheSessionWhateverTheType) {
    for (const uint8_t type : {0, 2, 3, 4, 14}) {
        SessionHarness h;
        const DisplayState idle = h.session.display();
        h.Start();
        auto bytes = StatusBytes({{14, {1, 2, 3, 4, 5, 6}}, {100, {1}}});
        bytes[10] = 1;
        bytes[13] = type;
        ASSERT_TRUE(h.Deliver(bytes));
        ASSERT_EQ(h.recorder.messages.size(), 1u) << int(type);
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
        EXPECT_EQ(h.session.display(), expected) << int(type);
        EXPECT_EQ(h.session.scriptTable()[0].codes, "");
    }
}

TEST(SessionTest, ReturnCodeOpensPopupAndCodeFourStopsTheTimerDisplay) {
    SessionHarness h;
    h.Start();
    std::vector<uint8_t> table(270, 0);
    table[13] = 2;
    std::memcpy(table.data() + 30, "Morning", 7);
    ASSERT_TRUE(h.Deliver(table));
    EXPECT_TRUE(h.session.ScriptTableReceived());
    h.session.LowerScriptTableReceived();
    ASSERT_TRUE(h.Deliver(StatusBytes({{97, {0x01, 0x5F, 0xCD, 1, 0x00}}})));
    const DisplayState& d = h.session.display();
    EXPECT_EQ(d.timerLabel, "Morning");
    EXPECT_EQ((Texts{d.timerDays, d.timerHours, d.timerMinutes, d.timerSeconds}),
              (Texts{"1", "1", "1", "1"}));
    EXPECT_TRUE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_FALSE(h.peer.Receive(50).has_value()) << "slot 1 has a name: no table request";

    h.session.OnTimer(kTimerButtonTimer);
    EXPECT_EQ(d.timerButtonImage, 1);
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

    stopped[13] = 9;
    ASSERT_TRUE(h.Deliver(stopped));
    EXPECT_EQ(h.recorder.popups.back(), (std::pair<int, std::string>{9, "RDB Command Success !"}));
}

TEST(SessionTest, RunningTimerWithoutScriptNamesAsksForTheTableEachTime) {
    SessionHarness h;
    h.Start();
    const auto running = StatusBytes({{97, {0, 0, 5, 1, 0x20}}});
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(h.Deliver(running));
        const auto request = h.peer.Receive();  // the table request, sent from the parser
        ASSERT_TRUE(request.has_value()) << i;
        EXPECT_EQ(*request, ExpectedFrame('L', "secret****")) << i;
    }
    EXPECT_EQ(h.session.display().timerSeconds, "5");
    EXPECT_EQ(h.session.display().timerLabel, "");  // slot 2 has an empty name
    // The idle timer puts the label back.
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    EXPECT_EQ(h.session.display().timerLabel, "Timer Inactive");
    EXPECT_EQ(h.session.display().timerSeconds, "5");  // D, H, M, S keep their texts
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
    std::vector<uint8_t> table(270, 0);
    table[13] = 2;
    std::memcpy(table.data() + 14, "12", 2);
    std::memcpy(table.data() + 30, "Morning", 7);
    ASSERT_TRUE(h.Deliver(table));
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
        EXPECT_EQ(slot.name, "");
        EXPECT_EQ(slot.codes, "");
    }
    EXPECT_FALSE(h.TimerRunning(kPollTimer));
    EXPECT_FALSE(h.TimerRunning(kPulseTimer));
    EXPECT_FALSE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_TRUE(h.TimerRunning(kCreditsTimer));
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
    std::vector<uint8_t> table(270, 0);
    table[13] = 2;
    std::memcpy(table.data() + 30, "Morning", 7);
    ASSERT_TRUE(h.Deliver(table));
    h.session.OnTimer(kPollTimer);
    ASSERT_TRUE(h.peer.Receive().has_value());
    h.session.ResetSession();

    const auto request = h.Start();
    EXPECT_EQ(request, ExpectedFrame('1', "secret****"));
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"1", "0", "0"}));
    EXPECT_EQ(h.session.scriptTable()[0].name, "");
    h.session.OnTimer(kPollTimer);
    EXPECT_EQ(StateTexts(h.session), (Texts{" Connected", " MSG: Data Polling Started"}));
}

TEST(SessionTest, StopInIdleChangesNothing) {
    SessionHarness h;
    const DisplayState idle = h.session.display();
    h.session.ResetSession();
    EXPECT_EQ(h.session.display(), idle);
}

}  // namespace
}  // namespace varnex
