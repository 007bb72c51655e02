#include "settings/relay_control.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using RelayControlTest = SettingsTest;

struct RelayActionCase {
    int relay;
    RelayAction action;
    int seconds;
    char letter;
    uint8_t byte20;
};

TEST_F(RelayControlTest, EachActionSendsItsLetterAndTheToggleItsSeconds) {
    const RelayActionCase cases[] = {
        {1, RelayAction::On, 5, '2', '*'},      {1, RelayAction::Off, 5, '3', '*'},
        {1, RelayAction::Toggle, 1, '4', 1},    {2, RelayAction::On, 5, '5', '*'},
        {2, RelayAction::Off, 5, '6', '*'},     {2, RelayAction::Toggle, 17, '7', 0x11},
        {3, RelayAction::On, 5, '8', '*'},      {3, RelayAction::Off, 5, '9', '*'},
        {3, RelayAction::Toggle, 60, 'A', 60},  {3, RelayAction::Toggle, 0, 'A', 1},
        {1, RelayAction::Toggle, 255, '4', 60},
    };
    for (const RelayActionCase& c : cases) {
        DoRelayAction(*session_, c.relay, c.action, c.seconds);
        const auto sent = NextCommand();
        ASSERT_TRUE(sent.has_value()) << c.letter;
        ASSERT_EQ(sent->size(), wire::kCommandFrameSize);
        EXPECT_EQ(sent->at(wire::kLetterOffset), c.letter);
        EXPECT_EQ(Slice(*sent, 10, 20), kStoredPassword);
        EXPECT_EQ(sent->at(20), c.byte20) << c.letter;
        EXPECT_EQ(Slice(*sent, 21, 275), std::string(254, '*'));
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

    const auto third = OpenRelayControl(*session_, 3);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->title, "Relay 3 Control");
    EXPECT_EQ(third->preselected, RelayAction::Off);
    DoRelayAction(*session_, 3, third->preselected, 1);
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), '9');

    EXPECT_FALSE(OpenRelayControl(*session_, 0).has_value());
    EXPECT_FALSE(OpenRelayControl(*session_, 4).has_value());
}

TEST_F(RelayControlTest, NameIsStoredAndShownWithItsFirstFifteenCharacters) {
    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(Row("RELAY1NAME, RELAY2NAME"), std::vector<std::string>{"Relay 1|ABCDEFGHIJKLMNO"});
    EXPECT_EQ(session_->station().relayNames[1], "ABCDEFGHIJKLMNO");
    EXPECT_EQ(session_->display().relayNames[1], "ABCDEFGHIJKLMNO");
    EXPECT_EQ(OpenRelayControl(*session_, 2)->name, "ABCDEFGHIJKLMNO");

    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, ""));
    EXPECT_EQ(Row("RELAY2NAME"), std::vector<std::string>{""});
    EXPECT_EQ(session_->display().relayNames[1], "");
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(RelayControlTest, OpeningShowsAtMostNineteenCharactersOfTheCaption) {
    session_->editableDisplay().relayNames[0] = "123456789012345678901234";
    EXPECT_EQ(OpenRelayControl(*session_, 1)->name, "1234567890123456789");
}

TEST_F(RelayControlTest, NotesAreStoredAndReopenFromTheStation) {
    const std::string notes(600, 'n');
    ASSERT_TRUE(UpdateRelayNotes(*session_, stations_, 3, notes));
    EXPECT_EQ(Row("length(RELAY3NOTES)"), std::vector<std::string>{"510"});
    EXPECT_EQ(OpenRelayControl(*session_, 3)->notes, std::string(510, 'n'));
}

TEST_F(RelayControlTest, AFailedStatementIsShownAndLeavesTheCaption) {
    const std::string captionBefore = session_->display().relayNames[0];
    BreakTable();
    EXPECT_FALSE(UpdateRelayName(*session_, stations_, 1, "Pump"));
    EXPECT_FALSE(UpdateRelayNotes(*session_, stations_, 1, "wired to the pump"));
    ASSERT_EQ(recorder_.messages.size(), 2u);
    for (const Message& m : recorder_.messages) {
        EXPECT_EQ(m.text, "Execution of SQL statement failed");
        EXPECT_EQ(m.caption, "  Varnex v1");
        EXPECT_EQ(m.icon, MessageIcon::None);
    }
    EXPECT_EQ(session_->display().relayNames[0], captionBefore);
    // The station keeps the unsaved texts, so the dialog reopens with them.
    EXPECT_EQ(OpenRelayControl(*session_, 1)->notes, "wired to the pump");
}

}  // namespace
}  // namespace varnex::testing
