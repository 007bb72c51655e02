#include "settings/relay_control.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using RelayControlTest = SettingsTest;

TEST_F(RelayControlTest, EachActionSendsItsLetterAndTheToggleItsSeconds) {
    const struct {
        int relay;
        RelayAction action;
        int seconds;
        std::vector<uint8_t> frame;
    } cases[] = {
        {1, RelayAction::On, 5, CommandFrame('2')},
        {1, RelayAction::Off, 5, CommandFrame('3')},
        {1, RelayAction::Toggle, 0, CommandFrame('4', {1})},  // at least one second
        {2, RelayAction::On, 5, CommandFrame('5')},
        {2, RelayAction::Off, 5, CommandFrame('6')},
        {2, RelayAction::Toggle, 17, CommandFrame('7', {17})},
        {3, RelayAction::On, 5, CommandFrame('8')},
        {3, RelayAction::Off, 5, CommandFrame('9')},
        {3, RelayAction::Toggle, 255, CommandFrame('A', {60})},  // at most a minute
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame[9]);
        DoRelayAction(*session_, c.relay, c.action, c.seconds);
        EXPECT_EQ(Sent(), c.frame);
    }
    EXPECT_TRUE(SessionRuns());
}

TEST_F(RelayControlTest, OpeningPreselectsTheReportedStateAndNamesTheRelay) {
    unit::UnitState unit = UnitWith();
    unit.relayOn = {true, false, false};
    ReplyStatus(unit);

    const auto first = OpenRelayControl(*session_, 1);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->title, "Relay 1 Control");
    EXPECT_EQ(first->nameCaption, "Relay 1 Name");
    EXPECT_EQ(first->notesCaption, "Relay 1 Notes");
    EXPECT_EQ(first->preselected, RelayAction::On);
    EXPECT_EQ(OpenRelayControl(*session_, 3)->preselected, RelayAction::Off);
    EXPECT_FALSE(OpenRelayControl(*session_, 0).has_value());
    EXPECT_FALSE(OpenRelayControl(*session_, 4).has_value());
}

TEST_F(RelayControlTest, NameIsStoredAndShownWithItsFirstFifteenCharacters) {
    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_THAT(Row("RELAY1NAME, RELAY2NAME"), ElementsAre("Relay 1|ABCDEFGHIJKLMNO"));
    EXPECT_EQ(session_->station().relayNames[1], "ABCDEFGHIJKLMNO");
    EXPECT_EQ(session_->display().relayNames[1], "ABCDEFGHIJKLMNO");

    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, ""));
    EXPECT_THAT(Row("RELAY2NAME"), ElementsAre(""));
    EXPECT_EQ(session_->display().relayNames[1], "");
    EXPECT_TRUE(recorder_.messages.empty());

    session_->editableDisplay().relayNames[0] = "123456789012345678901234";
    EXPECT_EQ(OpenRelayControl(*session_, 1)->name, "1234567890123456789");  // the field's 19
}

TEST_F(RelayControlTest, NotesAreStoredAndReopenFromTheStation) {
    ASSERT_TRUE(UpdateRelayNotes(*session_, stations_, 3, std::string(600, 'n')));
    EXPECT_THAT(Row("length(RELAY3NOTES)"), ElementsAre("510"));
    EXPECT_EQ(OpenRelayControl(*session_, 3)->notes, std::string(510, 'n'));
}

TEST_F(RelayControlTest, AFailedStatementIsShownAndLeavesTheCaption) {
    const std::string captionBefore = session_->display().relayNames[0];
    BreakTable();
    EXPECT_FALSE(UpdateRelayName(*session_, stations_, 1, "Pump"));
    EXPECT_FALSE(UpdateRelayNotes(*session_, stations_, 1, "wired to the pump"));
    EXPECT_THAT(Messages(),
                ElementsAre("Execution of SQL statement failed|  Varnex v1|none|dialog",
                            "Execution of SQL statement failed|  Varnex v1|none|dialog"));
    EXPECT_EQ(session_->display().relayNames[0], captionBefore);
    // The station keeps the unsaved texts, so the dialog reopens with them.
    EXPECT_EQ(OpenRelayControl(*session_, 1)->notes, "wired to the pump");
}

}  // namespace
}  // namespace varnex::testing
