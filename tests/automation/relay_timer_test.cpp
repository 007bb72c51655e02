#include "automation/relay_timer.h"

#include "rules_fixture.h"

namespace varnex {
namespace {

using testing::Bytes;
using testing::Texts;

struct TimerRules : testing::RulesFixture {
    ScriptAction Set(const TimerChoice& choice) {
        return SetRelayTimer(harness.session, Hooks(), choice);
    }
};

TEST_F(TimerRules, AsksThenSendsDelaySlotAndMode) {
    const std::pair<TimerChoice, Bytes> cases[] = {
        {{false, 0, {"00", "00", "01", "30"}, TimerMode::OneShot}, {0, 0, 0x5A, 0x00, 0, '*'}},
        {{false, 7, {"30", "23", "59", "59"}, TimerMode::OneShot},
         {0x28, 0xDE, 0x7F, 0xE0, 0, '*'}},
        {{false, 2, {"00", "00", "00", "05"}, TimerMode::Continuous}, {0, 0, 0x05, 0x40, 1, '*'}},
    };
    for (const auto& [choice, bytes] : cases) {
        EXPECT_EQ(Set(choice), ScriptAction::Sent);
        ExpectOneQuestion("Are you sure you want to Set a Timer?", "Set Timer?");
        EXPECT_EQ(NextParameters('M', 6), bytes);
    }
}

TEST_F(TimerRules, ScriptIsCheckedBeforeTheDelay) {
    const std::array<std::string, 4> zero = {"00", "00", "00", "00"};
    const std::array<std::string, 4> minute = {"00", "00", "01", "00"};
    const std::pair<TimerChoice, std::string> cases[] = {
        {{true, {}, zero, TimerMode::OneShot}, "Empty Relay Script !"},
        {{true, 4, minute, TimerMode::OneShot}, "Empty Relay Script !"},
        {{false, 4, zero, TimerMode::OneShot}, "Choose a Delay Time !"},
        // Beyond what the lists offer: no delay rather than a short one on the wire.
        {{false, 4, {"31", "00", "00", "00"}, TimerMode::OneShot}, "Choose a Delay Time !"},
        {{false, {}, minute, TimerMode::OneShot}, "Choose a Relay Script !"},
    };
    for (const auto& [choice, text] : cases) {
        EXPECT_EQ(Set(choice), ScriptAction::Refused) << text;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), Texts{text});
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
    EXPECT_EQ(NextParameters('N', 6), Bytes(6, '*'));
    EXPECT_TRUE(questions.empty());
}

TEST(TimerFields, TheListsOfferTwoDigitValuesUpToTheLargest) {
    const auto days = TimerFieldValues(kTimerFields[0]);
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(days[9], "09");
    EXPECT_EQ(days.back(), "30");
    EXPECT_EQ(TimerFieldValues(kTimerFields[1]).back(), "23");
    EXPECT_EQ(TimerFieldValues(kTimerFields[3]).size(), 60u);
}

}  // namespace
}  // namespace varnex
