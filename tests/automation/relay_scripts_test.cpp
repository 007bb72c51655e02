#include "automation/relay_scripts.h"

#include <gtest/gtest.h>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::SessionHarness;
using Steps = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

struct ScriptsRules : ::testing::Test {
    ScriptsRules() { harness.Start(); }

    // The next frame the unit receives, from byte 20 on, `count` bytes.
    Bytes NextParameters(std::size_t count, char letter) {
        const auto frame = harness.peer.Receive();
        EXPECT_TRUE(frame.has_value());
        if (!frame) {
            return {};
        }
        EXPECT_EQ(frame->size(), wire::kCommandFrameSize);
        EXPECT_EQ(char((*frame)[wire::kLetterOffset]), letter);
        EXPECT_EQ(std::string(frame->begin() + 10, frame->begin() + 20), "secret****");
        return Bytes(frame->begin() + 20, frame->begin() + 20 + long(count));
    }
    std::string SentCount() const { return harness.session.display().counters.sent; }
    std::vector<Message>& messages() { return harness.recorder.messages; }
    void AnswerYes() {
        harness.recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return true;
        };
    }

    SessionHarness harness;
    std::vector<Message> questions;
};

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST_F(ScriptsRules, ExecuteAsksThenSendsTheSelectedSlot) {
    AnswerYes();
    EXPECT_EQ(ExecuteScript(harness.session, harness.recorder.hooks, {{"Relay 1 ON"}, 7}),
              ScriptAction::Sent);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Are you sure you want to Execute this Relay Script?");
    EXPECT_EQ(questions[0].caption, "Execute Script?");
    EXPECT_EQ(questions[0].icon, MessageIcon::None);
    EXPECT_EQ(NextParameters(2, 'K'), (Bytes{0xE0, '*'}));
}

TEST_F(ScriptsRules, RefusalsSendNothingAndSayWhy) {
    struct Case {
        const char* what;
        bool execute;  // else "Upload Script"
        ScriptChoice choice;
        const char* text;
        MessageIcon icon;
    };
    const std::vector<Case> cases = {
        {"execute, empty list", true, {{}, 0}, "Empty Script Not Allowed !", MessageIcon::None},
        {"execute, no row",
         true,
         {{"Relay 1 ON"}, {}},
         "Choose a Relay Script !",
         MessageIcon::None},
        {"upload, empty list", false, {{}, 0}, "Empty Script Not Allowed !", MessageIcon::Stop},
        {"upload, no row",
         false,
         {{"Relay 1 ON"}, {}},
         "Empty Script Not Allowed !",
         MessageIcon::Stop},
    };
    AnswerYes();
    for (const Case& c : cases) {
        messages().clear();
        if (c.execute) {
            EXPECT_EQ(ExecuteScript(harness.session, harness.recorder.hooks, c.choice),
                      ScriptAction::Refused)
                << c.what;
        } else {
            EXPECT_FALSE(ConfirmUpload(harness.recorder.hooks, c.choice)) << c.what;
        }
        ASSERT_EQ(messages().size(), 1u) << c.what;
        EXPECT_EQ(messages()[0].text, c.text) << c.what;
        EXPECT_EQ(messages()[0].caption, "") << c.what;
        EXPECT_EQ(messages()[0].icon, c.icon) << c.what;
        EXPECT_EQ(messages()[0].owner, MessageOwner::ActiveDialog) << c.what;
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(SentCount(), "1");  // only the START request
}

TEST_F(ScriptsRules, NoToAQuestionSendsNothing) {
    EXPECT_EQ(ExecuteScript(harness.session, harness.recorder.hooks, {{"Relay 1 ON"}, 0}),
              ScriptAction::Declined);
    EXPECT_FALSE(ConfirmUpload(harness.recorder.hooks, {{"Relay 1 ON"}, 0}));
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(ScriptsRules, UploadConfirmationAsksItsQuestion) {
    AnswerYes();
    EXPECT_TRUE(ConfirmUpload(harness.recorder.hooks, {{"Relay 1 ON"}, 2}));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Are you sure you want to Upload this Relay Script?");
    EXPECT_EQ(questions[0].caption, "Upload Script?");
}

TEST_F(ScriptsRules, UploadSendsSlotAndRecord) {
    struct Case {
        const char* what;
        ScriptChoice choice;
        std::string name;
        std::string afterSlot;  // bytes 21..53
    };
    const std::vector<Case> cases = {
        {"Pump",
         {{"Relay 1 ON", "Delay 2 Seconds"}, 1},
         "Pump",
         "18" + std::string(14, ' ') + "Pump" + std::string(12, ' ') + "*"},
        {"empty name keeps the filler",
         {{"Relay 3 OFF"}, 0},
         "",
         "6" + std::string(15, ' ') + std::string(17, '*')},
        {"twenty characters send fifteen",
         {{"Delay 5 Seconds"}, 4},
         "ABCDEFGHIJKLMNOPQRST",
         "B" + std::string(15, ' ') + "ABCDEFGHIJKLMNO " + "*"},
    };
    const std::vector<uint8_t> slots = {0x20, 0x00, 0x80};
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        EXPECT_EQ(UploadScript(harness.session, harness.recorder.hooks, c.choice, c.name),
                  ScriptAction::Sent)
            << c.what;
        Bytes expected{slots[k]};
        const Bytes record = AsBytes(c.afterSlot);
        expected.insert(expected.end(), record.begin(), record.end());
        EXPECT_EQ(NextParameters(34, 'J'), expected) << c.what;
    }
}

TEST_F(ScriptsRules, OkOnTheNamingPanelRefusesWhatChangedUnderIt) {
    EXPECT_EQ(UploadScript(harness.session, harness.recorder.hooks, {{}, 3}, "Pump"),
              ScriptAction::Refused);
    EXPECT_EQ(UploadScript(harness.session, harness.recorder.hooks, {{"Relay 1 ON"}, {}}, "Pump"),
              ScriptAction::Refused);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "Empty Script Not Allowed !");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages()[1].text, "Choose a Relay Script !");
    EXPECT_EQ(messages()[1].icon, MessageIcon::Stop);
    EXPECT_EQ(SentCount(), "1");
}

TEST_F(ScriptsRules, TheTableWatchSeesEachTableOnce) {
    EXPECT_FALSE(ConsumeScriptTable(harness.session));
    Bytes table(wire::kScriptTableSize, ' ');
    table[wire::kPasswordStatusOffset] = 0;
    table[wire::kReplyTypeOffset] = wire::kScriptTableType;
    ASSERT_TRUE(harness.Deliver(table));
    EXPECT_TRUE(ConsumeScriptTable(harness.session));
    EXPECT_FALSE(ConsumeScriptTable(harness.session));
}

TEST(ChosenSlotByte, RowsZeroToSevenOnly) {
    EXPECT_EQ(ChosenSlotByte(0), uint8_t{0x00});
    EXPECT_EQ(ChosenSlotByte(2), uint8_t{0x40});
    EXPECT_EQ(ChosenSlotByte(7), uint8_t{0xE0});
    EXPECT_FALSE(ChosenSlotByte(8).has_value());
    EXPECT_FALSE(ChosenSlotByte(-1).has_value());
    EXPECT_FALSE(ChosenSlotByte(std::nullopt).has_value());
}

}  // namespace
}  // namespace varnex
