// A session against a loopback peer: START, the timers' ticks, replies as
// the window shows them, STOP, and datagrams of any length and content.
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::CommandFrame;
using testing::RunningTimers;
using testing::SessionHarness;
using testing::StatusBytes;
using Ids = std::vector<int>;
using Texts = std::vector<std::string>;

const Texts kIdleTexts = {" Not Connected", " MSG:  Choose IP, then Click on Start"};

Texts StateTexts(const Session& s) {
    return {s.display().statusBar[1], s.display().statusBar[2]};
}

Texts TimerTexts(const DisplayState& d) {
    return {d.timerLabel, d.timerDays, d.timerHours, d.timerMinutes, d.timerSeconds};
}

std::vector<uint8_t> ScriptTableReply(const std::string& firstName) {
    std::vector<uint8_t> table(270, 0);
    table[13] = 2;
    std::memcpy(table.data() + 30, firstName.data(), firstName.size());
    return table;
}

struct SessionTest : ::testing::Test {
    SessionHarness h;
    const DisplayState& d = h.session.display();
};

TEST_F(SessionTest, StartSendsTheStatusRequestAndShowsConnecting) {
    EXPECT_EQ(StateTexts(h.session), kIdleTexts);
    EXPECT_EQ(h.Start(), CommandFrame('1'));
    EXPECT_EQ(h.lookups, (Texts{"127.0.0.1"}));
    EXPECT_EQ(StateTexts(h.session), (Texts{" Connecting", " Sending Password"}));
    EXPECT_FALSE(d.enabled.start);
    EXPECT_FALSE(d.enabled.runMake);  // features wait for the first status reply
    EXPECT_EQ(RunningTimers(h.session), (Ids{kCreditsTimer, kPollTimer, kPulseTimer}));
    EXPECT_EQ(d.counters, (PacketCounters{"1", "0", "0"}));
    EXPECT_EQ(d.voltmeters[0].caption, "Battery");
    EXPECT_EQ(d.voltmeters[2].caption, "");
    EXPECT_EQ(d.relayNames, (std::array<std::string, 3>{"Pump", "Fan", "Light"}));
    EXPECT_EQ(d.autoPingCaption, "Auto Ping  127.0.0.1");
}

TEST_F(SessionTest, UnknownStationTellsAndStaysIdle) {
    h.listText = "127.0.0.9\t       Other";
    h.session.StartSession();
    EXPECT_EQ(h.lookups, (Texts{"127.0.0.9"}));
    ASSERT_EQ(h.recorder.messages.size(), 1u);
    const Message& m = h.recorder.messages[0];
    EXPECT_EQ(std::tuple(m.text, m.caption, m.icon),
              std::tuple("SQL general overness, can't find the IP Address in the Database!",
                         "  Varnex v1", MessageIcon::Stop));
    EXPECT_EQ(StateTexts(h.session), kIdleTexts);
    EXPECT_TRUE(d.enabled.start);
    EXPECT_EQ(RunningTimers(h.session), Ids{kCreditsTimer});
    EXPECT_EQ(d.autoPingCaption, "Auto Ping");
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

TEST(SessionStartTest, TransportFailureAtStartLeavesIdleWithoutTimers) {
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
    EXPECT_EQ(RunningTimers(session), Ids{kCreditsTimer});
    EXPECT_FALSE(peer.Receive(50).has_value());
}

TEST_F(SessionTest, PollAnimationOverFourteenTicks) {
    h.Start();
    Texts seen;
    for (int tick = 0; tick < 14; ++tick) {
        h.session.OnTimer(kPollTimer);
        seen.push_back(d.statusBar[2]);
        ASSERT_TRUE(h.peer.Receive().has_value()) << "every tick sends";
        ASSERT_TRUE(h.Deliver(StatusBytes()));
    }
    Texts expected = {" MSG: Data Polling Started"};
    for (std::size_t dots = 1; dots <= 12; ++dots) {
        expected.push_back(" MSG: Data Polling " + std::string(dots, '.'));
    }
    expected.push_back(" MSG: Data Polling .");
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(d.statusBar[1], " Connected");
    EXPECT_EQ(d.counters, (PacketCounters{"15", "14", "1"}));  // the last reply came after the send
}

// Silent means three polls in a row without a valid status record: return
// codes and records too short to be one do not count as an answer, and nothing but the message,
// the readouts' look and the indicator changes.
TEST_F(SessionTest, ASilentUnitIsShownAsSuchUntilItsNextStatusRecord) {
    h.Start();
    h.recorder.tick = 1000;
    const auto lab = StatusBytes({{77, {'L', 'a', 'b'}}});
    ASSERT_TRUE(h.Deliver(lab));
    const std::vector<uint8_t> cutShort(lab.begin(), lab.end() - 1);
    std::vector<uint8_t> returnCode(20, 0);
    returnCode[13] = 5;
    struct Seen {
        std::string message;
        bool stale;
        int pulse;
        std::string lost;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    for (int tick = 1; tick <= 4; ++tick) {
        h.recorder.tick = 1000 + 1000 * static_cast<uint32_t>(tick);
        for (int pulse = 0; pulse < 3; ++pulse) {
            h.session.OnTimer(kPulseTimer);
        }
        h.session.OnTimer(kPollTimer);
        ASSERT_TRUE(h.peer.Receive().has_value()) << "polling goes on";
        ASSERT_TRUE(h.Deliver(tick == 1 ? returnCode : cutShort));
        seen.push_back({d.statusBar[2], d.readingsStale, d.pulseStep, d.counters.lost});
    }
    // Every poll got a datagram back, so Lost cannot tell.
    EXPECT_EQ(seen, (std::vector<Seen>{{" MSG: Data Polling Started", false, 3, "0"},
                                       {" MSG: Data Polling .", false, 6, "0"},
                                       {" MSG: No reply for 3 s", true, 0, "0"},
                                       {" MSG: No reply for 4 s", true, 0, "0"}}));
    EXPECT_EQ((Texts{d.stationName, d.readingsTitle}),
              (Texts{"Lab", "ADC INPUTS - last values, no reply"}));
    EXPECT_TRUE(h.recorder.messages.empty());

    h.recorder.tick = 6000;
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    EXPECT_EQ((Texts{d.statusBar[2], d.readingsTitle}),
              (Texts{" MSG: Data Polling ...", "ADC INPUTS"}));
    EXPECT_FALSE(d.readingsStale);
    h.session.OnTimer(kPulseTimer);
    EXPECT_EQ(d.pulseStep, 1);
}

TEST_F(SessionTest, PulseCreditsAndTimerButtonStepOnTheirTicks) {
    std::vector<int> pulse;
    for (int tick = 0; tick < 23; ++tick) {
        h.session.OnTimer(kPulseTimer);
        pulse.push_back(d.pulseStep);
    }
    EXPECT_EQ(pulse, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 9,
                                       8, 7, 6, 5, 4, 3, 2, 1, 1, 2,  3}));
    Texts credits;
    std::vector<int> frames;
    for (int tick = 0; tick < 5; ++tick) {
        h.session.OnTimer(kCreditsTimer);
        credits.push_back(d.statusBar[3]);
        h.session.OnTimer(kTimerButtonTimer);
        frames.push_back(d.timerButtonImage);
    }
    EXPECT_EQ(credits,
              (Texts{"               Varnex v1", "Copyright (c) 2026 Varnex developers",
                     "varnex.example", "Every reading at once", "               Varnex v1"}));
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1}));
}

// A choice loads the chosen station, so that its dialogs show and store its
// own row; choosing another station while one is polled ends that session.
TEST(StationChoiceTest, LoadsTheChosenStationAndEndsASessionOfAnother) {
    // Started first; the list's text; the relay name loaded; still polling.
    const std::tuple<bool, std::string, std::string, bool> cases[] = {
        {false, "127.0.0.2        Bench", "", false},  // not stored: the address alone
        {false, "127.0.0.1        Lab", "Pump", false},
        {true, "127.0.0.1        Lab", "Pump", true},
        {true, "127.0.0.2        Bench", "", false},
    };
    for (const auto& [started, listText, relayName, polling] : cases) {
        SCOPED_TRACE(listText + (started ? " while polling" : ""));
        SessionHarness h;
        if (started) {
            h.Start();
        }
        h.listText = listText;
        h.session.OnStationChosen();
        const Ids waiting = RunningTimers(h.session);
        EXPECT_EQ(std::count(waiting.begin(), waiting.end(), kStationChoiceTimer), 1);
        h.session.OnTimer(kStationChoiceTimer);
        const std::string address = listText.substr(0, 9);
        EXPECT_EQ(h.lookups.back(), address);
        EXPECT_EQ(h.session.display().autoPingCaption, "Auto Ping  " + address);
        EXPECT_EQ(std::tuple(h.session.station().address, h.session.stationIp(),
                             h.session.station().relayNames[0]),
                  std::tuple(address, address, relayName));
        EXPECT_EQ(RunningTimers(h.session),
                  (polling ? Ids{kCreditsTimer, kPollTimer, kPulseTimer} : Ids{kCreditsTimer}));
        EXPECT_FALSE(h.peer.Receive(50).has_value());  // a choice sends nothing
    }
}

// How each field shows is status_display_test's; here the reply reaches it.
TEST_F(SessionTest, StatusReplyFillsTheWindowAndTheSnapshot) {
    h.Start();
    ASSERT_TRUE(h.Deliver(StatusBytes(
        {{14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}, {77, {'L', 'a', 'b', ' ', ' '}}})));
    EXPECT_EQ(d.counters, (PacketCounters{"1", "1", "0"}));
    EXPECT_EQ((Texts{d.macAddress, d.stationName, d.firmwareVersion}),
              (Texts{"00:1A:2B:3C:4D:5E", "Lab", "1.7.4"}));
    EXPECT_TRUE(d.enabled.runMake);
    EXPECT_FALSE(d.enabled.start);
    EXPECT_EQ(h.session.snapshot().firmwareVersion, 174u);
    EXPECT_TRUE(h.session.snapshot().temperatureResetAvailable);
}

TEST_F(SessionTest, RefusedPasswordEndsTheSessionBeforeTheTypeIsRead) {
    const DisplayState idle = d;
    h.Start();
    auto bytes = StatusBytes({{14, {1, 2, 3, 4, 5, 6}}});
    bytes[10] = 1;
    bytes[13] = 4;  // a return code, were the password accepted
    ASSERT_TRUE(h.Deliver(bytes));
    ASSERT_EQ(h.recorder.messages.size(), 1u);
    EXPECT_EQ(std::tuple(h.recorder.messages[0].text, h.recorder.messages[0].icon),
              std::tuple("Bad Password!!", MessageIcon::Stop));
    EXPECT_TRUE(h.recorder.popups.empty());
    EXPECT_EQ(RunningTimers(h.session), Ids{kCreditsTimer});
    DisplayState expected = idle;  // only the station's captions stay
    for (std::size_t n = 0; n < 8; ++n) {
        expected.voltmeters[n].caption = h.known.labels[n];
    }
    expected.relayNames = h.known.relayNames;
    expected.autoPingCaption = "Auto Ping  127.0.0.1";
    EXPECT_EQ(d, expected);
}

TEST_F(SessionTest, ReturnCodeOpensPopupAndCodeFourStopsTheTimerDisplay) {
    h.Start();
    ASSERT_TRUE(h.Deliver(ScriptTableReply("Morning")));
    EXPECT_TRUE(h.session.ScriptTableReceived());
    ASSERT_TRUE(h.Deliver(StatusBytes({{97, {0x01, 0x5F, 0xCD, 1, 0x00}}})));
    EXPECT_EQ(TimerTexts(d), (Texts{"Morning", "1", "1", "1", "1"}));
    EXPECT_TRUE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_FALSE(h.peer.Receive(50).has_value()) << "slot 1 has a name: no table request";

    h.session.OnTimer(kTimerButtonTimer);
    std::vector<uint8_t> stopped(20, 0);
    stopped[13] = 4;
    ASSERT_TRUE(h.Deliver(stopped));
    EXPECT_EQ(h.recorder.popups,
              (std::vector<std::pair<int, std::string>>{{4, "Timer Stopped Forcefully !"}}));
    EXPECT_EQ(TimerTexts(d), (Texts{"Timer Inactive", "0", "0", "0", "0"}));
    EXPECT_FALSE(h.TimerRunning(kTimerButtonTimer));
    EXPECT_EQ(d.timerButtonImage, 0);
}

TEST_F(SessionTest, RunningTimerWithoutScriptNamesAsksForTheTableOnceAPoll) {
    h.Start();
    const auto running = StatusBytes({{97, {0, 0, 5, 1, 0x20}}});
    for (int poll = 0; poll < 2; ++poll) {
        ASSERT_TRUE(h.Deliver(running));
        EXPECT_EQ(h.peer.Receive(), CommandFrame('L')) << poll;  // sent from the parser
        ASSERT_TRUE(h.Deliver(running));
        EXPECT_FALSE(h.peer.Receive(20).has_value()) << "asked already in this poll";
        h.session.OnTimer(kPollTimer);
        EXPECT_EQ(h.peer.Receive(), CommandFrame('1'));
    }
    // Slot 2 has an empty name. The idle timer then puts the label back;
    // D, H, M, S keep their texts.
    EXPECT_EQ(TimerTexts(d), (Texts{"", "0", "0", "0", "5"}));
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    EXPECT_EQ(TimerTexts(d), (Texts{"Timer Inactive", "0", "0", "0", "5"}));
    EXPECT_FALSE(h.TimerRunning(kTimerButtonTimer));
}

// A unit that answers "L" with another status record must not drive the
// client into a request loop: over ten polls, one "1" and one "L" each.
TEST_F(SessionTest, AUnitAnsweringEveryRequestWithARunningTimerGetsOneTableRequestAPoll) {
    const auto running = StatusBytes({{97, {0, 0, 5, 1, 0x20}}});
    using Letters = std::map<uint8_t, int>;
    const auto answerAll = [&](Letters& sent) {
        for (int datagram = 0; datagram < 100; ++datagram) {
            const auto request = h.peer.Receive(20);
            if (!request) {
                return;
            }
            ++sent[request->at(9)];
            ASSERT_TRUE(h.Deliver(running));
        }
        ADD_FAILURE() << "still sending after 100 datagrams";
    };
    Letters atStart;
    h.session.StartSession();
    answerAll(atStart);
    Letters overTicks;
    for (int tick = 0; tick < 10; ++tick) {
        h.session.OnTimer(kPollTimer);
        answerAll(overTicks);
    }
    EXPECT_EQ(atStart, (Letters{{'1', 1}, {'L', 1}}));
    EXPECT_EQ(overTicks, (Letters{{'1', 10}, {'L', 10}}));
}

TEST_F(SessionTest, ResetIsIdempotentAndLeavesExactlyWhatItLists) {
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
    const DisplayState before = d;
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
    EXPECT_EQ(d, expected);
    for (const auto& slot : h.session.scriptTable()) {
        EXPECT_EQ(slot.name + slot.codes, "");
    }
    EXPECT_EQ(RunningTimers(h.session), Ids{kCreditsTimer});
    EXPECT_EQ(h.session.snapshot().firmwareVersion, 174u);  // kept for open dialogs

    h.session.ResetSession();
    EXPECT_EQ(d, expected);
}

TEST_F(SessionTest, AfterStopADatagramIsIgnoredAndASecondStartBeginsAfresh) {
    h.Start();
    h.session.OnTimer(kPollTimer);
    ASSERT_TRUE(h.peer.Receive().has_value());
    h.session.ResetSession();
    const DisplayState stopped = d;
    ASSERT_TRUE(h.Deliver(StatusBytes({{65, {1, 6, 8}}, {36, {0, 0, 0}}})));
    EXPECT_EQ(d, stopped);  // neither counted nor parsed
    EXPECT_EQ(d.counters.received, "0");
    EXPECT_FALSE(h.peer.Receive(50).has_value()) << "no poll after STOP";

    EXPECT_EQ(h.Start(), CommandFrame('1'));
    EXPECT_EQ(d.counters, (PacketCounters{"1", "0", "0"}));
    h.session.OnTimer(kPollTimer);
    EXPECT_EQ(StateTexts(h.session), (Texts{" Connected", " MSG: Data Polling Started"}));
}

// Any datagram is handled without reading or writing out of bounds (CI runs
// this under AddressSanitizer and UBSan).
TEST_F(SessionTest, RandomDatagramsOfEveryLength) {
    h.known.views = {"STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR"};
    h.Start();
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 1024), shape(0, 3);
    constexpr int kDatagrams = 400;
    int parsed = 0;
    for (int i = 0; i < kDatagrams; ++i) {
        std::vector<uint8_t> datagram(static_cast<std::size_t>(i < 2 ? i * 1024 : length(random)));
        for (auto& b : datagram) {
            b = static_cast<uint8_t>(byte(random));
        }
        // Mostly accepted passwords, so that every kind of reply is parsed.
        if (datagram.size() > 13 && shape(random) != 0) {
            datagram[10] = 0;
            const uint8_t types[] = {2, 4, 14, datagram[13]};
            datagram[13] = types[shape(random)];
        }
        ASSERT_TRUE(h.Deliver(datagram)) << i;
        if (h.session.link().repliesIgnored()) {
            h.Start();  // a refused password ended the session
        } else {
            ++parsed;
        }
        // A table request sent from the parser moved the socket: take it.
        while (h.peer.Receive(0).has_value()) {
        }
        for (const auto& v : d.voltmeters) {
            ASSERT_LE(v.barPosition, v.barMaximum);
        }
        ASSERT_LE(d.stationName.size(), 20u);
    }
    EXPECT_GT(parsed, kDatagrams / 2);
}

TEST_F(SessionTest, DatagramLongerThanTheBufferIsCut) {
    h.Start();
    std::vector<uint8_t> datagram(65507, 0);  // the largest datagram UDP carries
    datagram[65] = 1;
    datagram[66] = 6;
    datagram[67] = 8;
    ASSERT_TRUE(h.Deliver(datagram));
    EXPECT_EQ(h.session.link().lastReplySize(), 1024u);
    EXPECT_EQ(d.firmwareVersion, "1.6.8");
    EXPECT_EQ(d.counters.received, "1");
    EXPECT_FALSE(testing::WaitReadable(h.session.link().socketDescriptor(), 0))
        << "a remainder is left";
}

}  // namespace
}  // namespace varnex

namespace varnex {
namespace {

// What the observer heard, one line each: events by name, records by their
// first voltmeter code and the jumpers they came with.
struct ObserverLog {
    std::vector<std::string> lines;
    SessionObserver Observer() {
        return {[this](const std::string& ip, const StatusRecord& record,
                       const VoltmeterJumpers& jumpers) {
                    lines.push_back(ip + " record " + std::to_string(record.rawVoltages[0]) +
                                    (jumpers.firstInstalled ? " J1" : " -") +
                                    (jumpers.secondInstalled ? " J2" : " -"));
                },
                [this](const std::string& ip, SessionEvent event) {
                    static const char* const kNames[] = {"started", "stopped", "refused", "silent",
                                                         "back"};
                    lines.push_back(ip + " " + kNames[static_cast<int>(event)]);
                }};
    }
};

TEST(SessionObserverTest, HearsEveryValidRecordAndEveryEventInOrder) {
    SessionHarness h;
    h.known.jumper7 = "OFF";
    ObserverLog log;
    h.session.SetObserver(log.Observer());
    const auto withCode = [](uint8_t low) { return StatusBytes({{20, {0, low}}}); };
    auto refused = StatusBytes();
    refused[10] = 1;

    h.Start();
    ASSERT_TRUE(h.Deliver(withCode(7)));
    const std::vector<uint8_t> full = withCode(8);
    const std::vector<uint8_t> cutShort(full.begin(), full.end() - 1);
    for (int tick = 1; tick <= 3; ++tick) {
        h.session.OnTimer(kPollTimer);
        ASSERT_TRUE(h.peer.Receive().has_value());
        ASSERT_TRUE(h.Deliver(cutShort));  // shown, but proves nothing
    }
    ASSERT_TRUE(h.Deliver(withCode(9)));
    h.session.ResetSession();
    h.session.ResetSession();  // idle already: nothing more
    h.Start();
    ASSERT_TRUE(h.Deliver(refused));

    const std::vector<std::string> expected = {
        "127.0.0.1 started", "127.0.0.1 record 7 J1 -", "127.0.0.1 silent",
        "127.0.0.1 back",    "127.0.0.1 record 9 J1 -", "127.0.0.1 stopped",
        "127.0.0.1 started", "127.0.0.1 refused",       "127.0.0.1 stopped",
    };
    EXPECT_EQ(log.lines, expected);
}

}  // namespace
}  // namespace varnex
