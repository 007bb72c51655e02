#include "automation/relay_timer.h"

#include <gtest/gtest.h>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::SessionHarness;
using Bytes = std::vector<uint8_t>;
using Readouts = std::array<std::string, 4>;

struct TimerRules : ::testing::Test {
    TimerRules() {
        harness.Start();
        harness.recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return answer;
        };
    }

    // Bytes 20..24 of the next frame the unit receives.
    Bytes NextParameters(char letter) {
        const auto frame = harness.peer.Receive();
        EXPECT_TRUE(frame.has_value());
        if (!frame) {
            return {};
        }
        EXPECT_EQ(char((*frame)[wire::kLetterOffset]), letter);
        return Bytes(frame->begin() + 20, frame->begin() + 26);
    }
    ScriptAction Set(const TimerChoice& choice) {
        return SetRelayTimer(harness.session, harness.recorder.hooks, choice);
    }
    std::string SentCount() const { return harness.session.display().counters.sent; }

    SessionHarness harness;
    std::vector<Message> questions;
    bool answer = true;
};

TEST_F(TimerRules, DelaySlotAndModeOnTheWire) {
    struct Case {
        const char* what;
        TimerChoice choice;
        Bytes bytes;  // 20..25
    };
    const std::vector<Case> cases = {
        {"1:30 one shot, slot 1",
         {false, 0, {"00", "00", "01", "30"}, TimerMode::OneShot},
         {0x00, 0x00, 0x5A, 0x00, 0x00, '*'}},
        {"the largest delay",
         {false, 7, {"30", "23", "59", "59"}, TimerMode::OneShot},
         {0x28, 0xDE, 0x7F, 0xE0, 0x00, '*'}},
        {"slot 3 continuous",
         {false, 2, {"00", "00", "00", "05"}, TimerMode::Continuous},
         {0x00, 0x00, 0x05, 0x40, 0x01, '*'}},
        {"one day, one hour, one minute, one second",
         {false, 1, {"01", "01", "01", "01"}, TimerMode::OneShot},
         {0x01, 0x5F, 0xCD, 0x20, 0x00, '*'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Set(c.choice), ScriptAction::Sent) << c.what;
        EXPECT_EQ(NextParameters('M'), c.bytes) << c.what;
    }
    ASSERT_EQ(questions.size(), cases.size());
    EXPECT_EQ(questions[0].text, "Are you sure you want to Set a Timer?");
    EXPECT_EQ(questions[0].caption, "Set Timer?");
    EXPECT_EQ(questions[0].icon, MessageIcon::None);
}

TEST_F(TimerRules, ScriptIsCheckedBeforeTheDelay) {
    struct Case {
        const char* what;
        TimerChoice choice;
        const char* text;
    };
    const Readouts zero = {"00", "00", "00", "00"};
    const Readouts minute = {"00", "00", "01", "00"};
    const std::vector<Case> cases = {
        {"no script and no delay", {true, {}, zero, TimerMode::OneShot}, "Empty Relay Script !"},
        {"empty slot chosen", {true, 4, minute, TimerMode::OneShot}, "Empty Relay Script !"},
        {"script, no delay", {false, 4, zero, TimerMode::OneShot}, "Choose a Delay Time !"},
        {"steps but no row", {false, {}, minute, TimerMode::OneShot}, "Choose a Relay Script !"},
    };
    for (const Case& c : cases) {
        harness.recorder.messages.clear();
        EXPECT_EQ(Set(c.choice), ScriptAction::Refused) << c.what;
        ASSERT_EQ(harness.recorder.messages.size(), 1u) << c.what;
        const Message& m = harness.recorder.messages[0];
        EXPECT_EQ(m.text, c.text) << c.what;
        EXPECT_EQ(m.icon, MessageIcon::Exclamation) << c.what;
        EXPECT_EQ(m.caption, "") << c.what;
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(TimerRules, NoSendsNothing) {
    answer = false;
    EXPECT_EQ(Set({false, 0, {"00", "00", "00", "01"}, TimerMode::OneShot}),
              ScriptAction::Declined);
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(TimerRules, StopSendsNWithoutAQuestion) {
    EXPECT_EQ(StopRelayTimer(harness.session), ScriptAction::Sent);
    EXPECT_EQ(NextParameters('N'), Bytes(6, '*'));
    EXPECT_TRUE(questions.empty());
}

TEST(TimerFields, ValuesAndDelay) {
    const auto days = TimerFieldValues(kTimerFields[0]);
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(days.front(), "00");
    EXPECT_EQ(days[9], "09");
    EXPECT_EQ(days.back(), "30");
    EXPECT_EQ(TimerFieldValues(kTimerFields[1]).back(), "23");
    EXPECT_EQ(TimerFieldValues(kTimerFields[3]).size(), 60u);

    EXPECT_EQ(TimerDelaySeconds({"00", "00", "01", "30"}), 90u);
    EXPECT_EQ(TimerDelaySeconds({"30", "23", "59", "59"}), 2678399u);
    // Beyond what the lists offer: refused as no delay rather than wrapped.
    EXPECT_EQ(TimerDelaySeconds({"194", "00", "00", "00"}), 0u);
}

TEST(TimerFields, ScriptLabelDropsTrailingBlanksOnly) {
    EXPECT_EQ(TimerScriptLabel("  Pump          "), "  Pump");
    EXPECT_EQ(TimerScriptLabel("                "), "");
}

}  // namespace
}  // namespace varnex
