#include "automation/relay_scripts.h"

#include "rules_fixture.h"

namespace varnex {
namespace {

using testing::Bytes;
using testing::Texts;

struct ScriptsRules : testing::RulesFixture {};

TEST_F(ScriptsRules, ExecuteAsksThenSendsTheSelectedSlot) {
    EXPECT_EQ(ExecuteScript(harness.session, Hooks(), {{"Relay 1 ON"}, 7}), ScriptAction::Sent);
    ExpectOneQuestion("Are you sure you want to Execute this Relay Script?", "Execute Script?");
    EXPECT_EQ(NextParameters('K', 2), (Bytes{0xE0, '*'}));
}

TEST_F(ScriptsRules, UploadAsksThenSendsSlotAndRecord) {
    const ScriptChoice choice{{"Relay 1 ON", "Delay 2 Seconds"}, 1};
    EXPECT_TRUE(ConfirmUpload(Hooks(), choice));
    ExpectOneQuestion("Are you sure you want to Upload this Relay Script?", "Upload Script?");
    EXPECT_EQ(UploadScript(harness.session, Hooks(), choice, "Pump"), ScriptAction::Sent);
    // The slot byte of row 2, then the record, then the filler.
    const std::string sent =
        std::string(1, '\x20') + "18" + std::string(14, ' ') + "Pump" + std::string(12, ' ') + "*";
    EXPECT_EQ(NextParameters('J', 34), Bytes(sent.begin(), sent.end()));
}

TEST_F(ScriptsRules, RefusalsSendNothingAndSayWhy) {
    enum class Act { Execute, ConfirmUpload, NamingPanelOk };
    const ScriptChoice emptyList{{}, 3};
    const ScriptChoice noRow{{"Relay 1 ON"}, {}};
    const MessageIcon none = MessageIcon::None;
    const MessageIcon stop = MessageIcon::Stop;
    const struct {
        Act act;
        ScriptChoice choice;
        MessageIcon icon;
        const char* text;
    } cases[] = {
        {Act::Execute, emptyList, none, "Empty Script Not Allowed !"},
        {Act::Execute, noRow, none, "Choose a Relay Script !"},
        {Act::ConfirmUpload, emptyList, stop, "Empty Script Not Allowed !"},
        {Act::ConfirmUpload, noRow, stop, "Empty Script Not Allowed !"},
        // The list may change while the naming panel is open.
        {Act::NamingPanelOk, emptyList, stop, "Empty Script Not Allowed !"},
        {Act::NamingPanelOk, noRow, stop, "Choose a Relay Script !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        switch (c.act) {
            case Act::Execute:
                EXPECT_EQ(ExecuteScript(harness.session, Hooks(), c.choice), ScriptAction::Refused);
                break;
            case Act::ConfirmUpload:
                EXPECT_FALSE(ConfirmUpload(Hooks(), c.choice));
                break;
            case Act::NamingPanelOk:
                EXPECT_EQ(UploadScript(harness.session, Hooks(), c.choice, "Pump"),
                          ScriptAction::Refused);
                break;
        }
        EXPECT_EQ(TakeMessages(c.icon), Texts{c.text});
    }
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(SentCount(), "1");  // only the START request
}

TEST_F(ScriptsRules, NoToAQuestionSendsNothing) {
    answer = false;
    EXPECT_EQ(ExecuteScript(harness.session, Hooks(), {{"Relay 1 ON"}, 0}), ScriptAction::Declined);
    EXPECT_FALSE(ConfirmUpload(Hooks(), {{"Relay 1 ON"}, 0}));
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
    EXPECT_EQ(ChosenSlotByte(7), uint8_t{0xE0});
    EXPECT_FALSE(ChosenSlotByte(8).has_value());
    EXPECT_FALSE(ChosenSlotByte(-1).has_value());
}

}  // namespace
}  // namespace varnex
