// The rules of the script, timer, trigger and daughter-board dialogs, against
// a loopback peer: what the unit receives and what the user is told or asked.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "automation/daughter_boards.h"
#include "automation/io_trigger.h"
#include "automation/relay_scripts.h"
#include "automation/relay_timer.h"
#include "automation/temperature_trigger.h"
#include "session/session_harness.h"

namespace varnex {
namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

constexpr PickedScript Row(int row) {
    return PickedScript{row, false};
}

struct DialogRules : ::testing::Test {
    DialogRules() {
        harness.Start();
        harness.recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return answer;
        };
    }

    // The next frame the unit receives, whole.
    Bytes Sent() { return harness.peer.Receive().value_or(Bytes{}); }

    // The texts of the boxes shown since the last call; each belongs to the
    // open dialog, has no caption and shows `icon`.
    Texts TakeMessages(MessageIcon icon) {
        Texts texts;
        for (const Message& m : harness.recorder.messages) {
            texts.push_back(m.text);
            EXPECT_EQ(m.icon, icon) << m.text;
            EXPECT_EQ(m.caption, "") << m.text;
            EXPECT_EQ(m.owner, MessageOwner::ActiveDialog) << m.text;
        }
        harness.recorder.messages.clear();
        return texts;
    }

    // The one question asked since the last call, without icon.
    void ExpectOneQuestion(const std::string& text, const std::string& caption) {
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0].text, text);
        EXPECT_EQ(questions[0].caption, caption);
        EXPECT_EQ(questions[0].icon, MessageIcon::None);
        questions.clear();
    }

    std::string SentCount() const { return session.display().counters.sent; }

    testing::SessionHarness harness;
    Session& session = harness.session;
    const PlatformHooks& hooks = harness.recorder.hooks;
    std::vector<Message> questions;
    bool answer = true;
};

using ScriptRules = DialogRules;
using TimerRules = DialogRules;
using IoRules = DialogRules;
using TemperatureRules = DialogRules;
using testing::CommandFrame;

TEST_F(ScriptRules, ExecuteAsksThenSendsTheSelectedSlot) {
    EXPECT_EQ(ExecuteScript(session, hooks, {{"Relay 1 ON"}, 7}), ScriptAction::Sent);
    ExpectOneQuestion("Are you sure you want to Execute this Relay Script?", "Execute Script?");
    EXPECT_EQ(Sent(), CommandFrame('K', {0xE0}));
}

TEST_F(ScriptRules, UploadAsksThenSendsSlotAndRecord) {
    const ScriptChoice choice{{"Relay 1 ON", "Delay 2 Seconds"}, 1};
    EXPECT_TRUE(ConfirmUpload(hooks, choice));
    ExpectOneQuestion("Are you sure you want to Upload this Relay Script?", "Upload Script?");
    EXPECT_EQ(UploadScript(session, hooks, choice, "Pump"), ScriptAction::Sent);
    // The slot byte of row 2, then the record.
    const std::string sent =
        std::string(1, '\x20') + "18" + std::string(14, ' ') + "Pump" + std::string(12, ' ');
    EXPECT_EQ(Sent(), CommandFrame('J', Bytes(sent.begin(), sent.end())));
}

TEST_F(ScriptRules, RefusalsSendNothingAndSayWhy) {
    const ScriptChoice emptyList{{}, 3};
    const ScriptChoice noRow{{"Relay 1 ON"}, {}};
    const Texts empty{"Empty Script Not Allowed !"};
    const Texts choose{"Choose a Relay Script !"};
    EXPECT_EQ(ExecuteScript(session, hooks, emptyList), ScriptAction::Refused);
    EXPECT_EQ(TakeMessages(MessageIcon::None), empty);
    EXPECT_EQ(ExecuteScript(session, hooks, noRow), ScriptAction::Refused);
    EXPECT_EQ(TakeMessages(MessageIcon::None), choose);
    for (const ScriptChoice& choice : {emptyList, noRow}) {
        EXPECT_FALSE(ConfirmUpload(hooks, choice));
        EXPECT_EQ(TakeMessages(MessageIcon::Stop), empty);
    }
    // The list may change while the naming panel is open.
    EXPECT_EQ(UploadScript(session, hooks, emptyList, "Pump"), ScriptAction::Refused);
    EXPECT_EQ(TakeMessages(MessageIcon::Stop), empty);
    EXPECT_EQ(UploadScript(session, hooks, noRow, "Pump"), ScriptAction::Refused);
    EXPECT_EQ(TakeMessages(MessageIcon::Stop), choose);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(SentCount(), "1");  // only the START request
}

TEST_F(ScriptRules, NoToAnyQuestionSendsNothing) {
    answer = false;
    EXPECT_EQ(ExecuteScript(session, hooks, {{"Relay 1 ON"}, 0}), ScriptAction::Declined);
    EXPECT_FALSE(ConfirmUpload(hooks, {{"Relay 1 ON"}, 0}));
    EXPECT_EQ(
        SetRelayTimer(session, hooks, {false, 0, {"00", "00", "00", "01"}, TimerMode::OneShot}),
        ScriptAction::Declined);
    EXPECT_EQ(questions.size(), 3u);
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(ScriptRules, TheTableWatchSeesEachTableOnce) {
    EXPECT_FALSE(ConsumeScriptTable(session));
    Bytes table(wire::kScriptTableSize, ' ');
    table[wire::kPasswordStatusOffset] = 0;
    table[wire::kReplyTypeOffset] = wire::kScriptTableType;
    ASSERT_TRUE(harness.Deliver(table));
    EXPECT_TRUE(ConsumeScriptTable(session));
    EXPECT_FALSE(ConsumeScriptTable(session));
}

TEST_F(TimerRules, ScriptThenDelayAreCheckedThenAQuestionBeforeTheTimerIsSent) {
    const std::array<std::string, 4> zero = {"00", "00", "00", "00"};
    const std::array<std::string, 4> minute = {"00", "00", "01", "00"};
    const std::pair<TimerChoice, std::string> refusals[] = {
        {{true, {}, zero, TimerMode::OneShot}, "Empty Relay Script !"},
        {{true, 4, minute, TimerMode::OneShot}, "Empty Relay Script !"},
        {{false, 4, zero, TimerMode::OneShot}, "Choose a Delay Time !"},
        // Beyond what the lists offer: no delay rather than a short one on the wire.
        {{false, 4, {"31", "00", "00", "00"}, TimerMode::OneShot}, "Choose a Delay Time !"},
        {{false, {}, minute, TimerMode::OneShot}, "Choose a Relay Script !"},
    };
    for (const auto& [choice, text] : refusals) {
        EXPECT_EQ(SetRelayTimer(session, hooks, choice), ScriptAction::Refused) << text;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), Texts{text});
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(SentCount(), "1");
    const std::pair<TimerChoice, Bytes> sends[] = {
        {{false, 0, {"00", "00", "01", "30"}, TimerMode::OneShot}, {0, 0, 0x5A, 0x00, 0}},
        {{false, 7, {"30", "23", "59", "59"}, TimerMode::OneShot}, {0x28, 0xDE, 0x7F, 0xE0, 0}},
        {{false, 2, {"00", "00", "00", "05"}, TimerMode::Continuous}, {0, 0, 0x05, 0x40, 1}},
    };
    for (const auto& [choice, bytes] : sends) {
        EXPECT_EQ(SetRelayTimer(session, hooks, choice), ScriptAction::Sent);
        ExpectOneQuestion("Are you sure you want to Set a Timer?", "Set Timer?");
        EXPECT_EQ(Sent(), CommandFrame('M', bytes));
    }
}

TEST_F(TimerRules, StopAndTheSensorResetSendWithoutAQuestion) {
    EXPECT_EQ(StopRelayTimer(session), ScriptAction::Sent);
    EXPECT_EQ(Sent(), CommandFrame('N'));
    EXPECT_EQ(ResetTemperatureSensor(session), ScriptAction::Sent);
    EXPECT_EQ(Sent(), CommandFrame('T'));
    EXPECT_TRUE(questions.empty());
}

TEST_F(IoRules, ChecksComeInOrderThenThePinsSettingGoesOnTheWire) {
    const PickedScript empty{3, true};
    const std::tuple<int, IoChoice, Texts> refusals[] = {
        {4, {false, {}, {}}, {"Choose a Relay Script to execute when I/O state changes to 0 !"}},
        {4, {false, empty, {}}, {"Empty Script Not Allowed !"}},
        {4,
         {false, Row(0), {}},
         {"Choose a Relay Script to execute when I/O state changes to 1 !"}},
        {4, {false, Row(0), empty}, {"Empty Script Not Allowed !"}},
        {0, {true, {}, {}}, {}},  // no such pin: refused without a word
        {6, {false, Row(0), Row(1)}, {}},
    };
    for (const auto& [pin, choice, texts] : refusals) {
        EXPECT_EQ(UploadIoTrigger(session, hooks, pin, choice), ScriptAction::Refused) << pin;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), texts);
    }
    EXPECT_EQ(SentCount(), "1");
    const std::tuple<int, IoChoice, Bytes> sends[] = {
        {3, {false, Row(0), Row(7)}, {2, 1, 0x00, 0xE0}},
        {5, {true, {}, {}}, {4, 0, 0, 0}},
        {1, {false, Row(4), Row(4)}, {0, 1, 0x80, 0x80}},  // the same slot twice
        {2, {true, Row(1), Row(2)}, {1, 0, 0, 0}},         // off: nothing checked
    };
    for (const auto& [pin, choice, bytes] : sends) {
        EXPECT_EQ(UploadIoTrigger(session, hooks, pin, choice), ScriptAction::Sent);
        EXPECT_EQ(Sent(), CommandFrame('O', bytes));
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

TEST_F(TemperatureRules, ChecksComeInOrderThenTheSettingGoesOnTheWire) {
    const PickedScript empty{0, true};
    const std::pair<TemperatureChoice, std::string> refusals[] = {
        {{false, {}, {}, 25, 25},  // the thresholds are equal too
         "Choose a Relay Script to execute when the\r\ntemperature is greater than your chosen "
         "threshold !"},
        {{false, empty, {}, 30, 20}, "Empty Script Not Allowed !"},
        {{false, Row(0), {}, 30, 20},
         "Choose a Relay Script to execute when the\r\ntemperature is lower than your chosen "
         "threshold !"},
        {{false, Row(0), empty, 30, 20}, "Empty Script Not Allowed !"},
        {{false, Row(0), Row(1), 25, 25},
         "There should be at least one degree difference\r\nbetween the two temperature "
         "thresholds !"},
        {{false, Row(0), Row(1), 20, 25},
         "The top slider should be GREATER than the bottom slider !"},
    };
    for (const auto& [choice, text] : refusals) {
        EXPECT_EQ(UploadTemperatureTrigger(session, hooks, choice), ScriptAction::Refused) << text;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), Texts{text});
    }
    EXPECT_EQ(SentCount(), "1");
    const std::pair<TemperatureChoice, Bytes> sends[] = {
        {{false, Row(0), Row(1), 30, 20}, {1, 0x00, 0x20, 30, 20}},
        {{false, Row(7), Row(2), 50, 0}, {1, 0xE0, 0x40, 50, 0}},  // the full range
        {{true, Row(3), Row(4), 40, 10}, {0, 0, 0, 0, 0}},         // off: nothing checked
    };
    for (const auto& [choice, bytes] : sends) {
        EXPECT_EQ(UploadTemperatureTrigger(session, hooks, choice), ScriptAction::Sent);
        EXPECT_EQ(Sent(), CommandFrame('P', bytes));
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

TEST_F(DialogRules, EachDaughterBoardPressSendsOneCommandAtOnce) {
    const std::tuple<int, int, BoardAction, int, Bytes> cases[] = {
        // board, element, action, slider, then the command's parameters
        {3, 5, BoardAction::Toggle, 12, {0x48, 0x10, 2, 12}},
        {6, 7, BoardAction::Work, 1, {0x4E, 0x40, 1, 0}},  // the output ON
        {1, 1, BoardAction::Rest, 1, {0x44, 0x01, 0, 0}},  // relay 1 NC
        // The slider counts for toggles only.
        {4, 6, BoardAction::Work, 30, {0x4A, 0x20, 1, 0}},
        {5, 7, BoardAction::Toggle, 60, {0x4C, 0x40, 2, 60}},
    };
    BoardPanelMemory memory;
    for (const auto& [board, element, action, slider, bytes] : cases) {
        SCOPED_TRACE(::testing::Message() << "board " << board << " element " << element);
        EXPECT_TRUE(PressBoardButton(session, memory, board, element, action, slider));
        EXPECT_EQ(Sent(), CommandFrame('R', bytes));
        EXPECT_EQ(memory.lastElement, element);
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

}  // namespace
}  // namespace varnex
