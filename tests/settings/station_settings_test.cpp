// The relay and voltmeter dialogs: what they open on, the commands they send
// and what they store in the station's row; then the characters each kind of
// field takes and the uptime table.
#include "settings/relay_control.h"
#include "settings/typed_characters.h"
#include "settings/uptime.h"
#include "settings/voltmeter_options.h"
#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using StationSettingsTest = SettingsTest;

TEST_F(StationSettingsTest, EachRelayActionSendsItsLetterAndTheToggleItsSeconds) {
    const std::tuple<int, RelayAction, int, std::vector<uint8_t>> cases[] = {
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
    for (const auto& [relay, action, seconds, frame] : cases) {
        DoRelayAction(*session_, relay, action, seconds);
        EXPECT_EQ(Sent(), frame) << frame[9];
    }
    EXPECT_TRUE(SessionRuns());
}

TEST_F(StationSettingsTest, RelayDialogPreselectsTheReportedStateAndNamesTheRelay) {
    unit::UnitState unit = UnitWith();
    unit.relayOn = {true, false, false};
    ReplyStatus(unit);
    const auto first = OpenRelayControl(*session_, 1);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(std::tuple(first->title, first->nameCaption, first->notesCaption, first->preselected),
              std::tuple("Relay 1 Control", "Relay 1 Name", "Relay 1 Notes", RelayAction::On));
    EXPECT_EQ(OpenRelayControl(*session_, 3)->preselected, RelayAction::Off);
    EXPECT_FALSE(OpenRelayControl(*session_, 0).has_value());
    EXPECT_FALSE(OpenRelayControl(*session_, 4).has_value());
}

TEST_F(StationSettingsTest, RelayNameAndNotesAreStoredNamesShownWithTheirFirstFifteen) {
    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_THAT(Row("RELAY1NAME, RELAY2NAME"), ElementsAre("Relay 1|ABCDEFGHIJKLMNO"));
    EXPECT_EQ(session_->station().relayNames[1], "ABCDEFGHIJKLMNO");
    EXPECT_EQ(session_->display().relayNames[1], "ABCDEFGHIJKLMNO");

    ASSERT_TRUE(UpdateRelayName(*session_, stations_, 2, ""));
    EXPECT_THAT(Row("RELAY2NAME"), ElementsAre(""));
    EXPECT_EQ(session_->display().relayNames[1], "");
    EXPECT_TRUE(recorder_.messages.empty());

    session_->editableDisplay().relayNames[0] = "123456789012345678901234";
    // The field opens with what "Update Name" would store.
    EXPECT_EQ(OpenRelayControl(*session_, 1)->name, "123456789012345");

    // Notes are kept up to 510 characters and reopen from the station.
    ASSERT_TRUE(UpdateRelayNotes(*session_, stations_, 3, std::string(600, 'n')));
    EXPECT_THAT(Row("length(RELAY3NOTES)"), ElementsAre("510"));
    EXPECT_EQ(OpenRelayControl(*session_, 3)->notes, std::string(510, 'n'));
}

TEST_F(StationSettingsTest, AFailedRelayStatementIsShownAndLeavesTheCaption) {
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

TEST_F(StationSettingsTest, VoltmeterDialogShowsTheStationsSettingsAndTheJumperForOneAndTwo) {
    const auto fields = [&](int voltmeter) {
        const VoltmeterOptionsView v = OpenVoltmeterOptions(*session_, voltmeter).value();
        return std::tuple(v.title, v.jumperCaption, v.jumperEnabled, v.jumperInstalled, v.plainText,
                          v.label, v.notes);
    };
    EXPECT_EQ(fields(1),
              std::tuple("Voltmeter 1 Options", "Jumper 6", true, true, true, "Voltage 1 (0-30-60)",
                         "Enter notes about how Voltmeter 1 is hooked up..."));
    EXPECT_EQ(std::get<1>(fields(2)), "Jumper 7");
    EXPECT_EQ(std::get<1>(fields(5)), "");
    EXPECT_FALSE(std::get<2>(fields(5)));

    // Only the exact texts count: anything else opens on the other choice.
    session_->editableStation().jumper6 = "on";
    session_->editableStation().views[0] = "standard";
    EXPECT_FALSE(std::get<3>(fields(1)));
    EXPECT_FALSE(std::get<4>(fields(1)));
    EXPECT_FALSE(OpenVoltmeterOptions(*session_, 9).has_value());
}

TEST_F(StationSettingsTest, VoltmeterChoicesAreStoredOneWithoutJumperInBarViewAsOffAndGraphical) {
    const VoltmeterChoice choice{"Battery bank", "Battery", false, false};
    EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 1, choice), DialogOutcome::Closes);
    EXPECT_THAT(Row("JP6, JP7, VM1VIEW, VM1NOTES, VM1LABEL"),
                ElementsAre("OFF|ON|GRAPHICAL|Battery bank|Battery"));
    EXPECT_EQ(session_->display().voltmeters[0].caption, "Battery");

    // The next status reply already reads the new jumper and view.
    unit::UnitState unit = UnitWith();
    unit.voltmeters[0].raw = 4095;
    ReplyStatus(unit);
    const VoltmeterDisplay& shown = session_->display().voltmeters[0];
    EXPECT_EQ(std::tuple(shown.barVisible, shown.barMaximum, shown.barLabelText),
              std::tuple(true, 60, "60.00"));

    // Fields are read up to their limits.
    const VoltmeterChoice longChoice{std::string(600, 'n'), std::string(30, 'L'), true, true};
    EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 3, longChoice), DialogOutcome::Closes);
    EXPECT_THAT(Row("length(VM3NOTES), VM3LABEL, VM3VIEW"),
                ElementsAre("510|" + std::string(27, 'L') + "|STANDARD"));
    EXPECT_EQ(session_->display().voltmeters[2].caption, std::string(27, 'L'));
}

TEST_F(StationSettingsTest, EmptyVoltmeterNotesThenEmptyNameKeepTheDialogOpenAndChangeNothing) {
    const std::pair<VoltmeterChoice, std::string> cases[] = {
        {{"", "", true, true}, "Enter Notes for this Voltmeter !"},
        {{"notes", "", true, true}, "Enter a Name for this Voltmeter !"},
    };
    for (const auto& [choice, text] : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 4, choice), DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre(text + "||exclamation|dialog"));
    }
    EXPECT_THAT(Row("VM4NOTES, VM4LABEL"),
                ElementsAre("Enter notes about how Voltmeter 4 is hooked up...|Voltage 4 (0-30)"));
    EXPECT_EQ(session_->station().labels[3], "Voltage 4 (0-30)");
}

TEST_F(StationSettingsTest, AFailedVoltmeterStatementIsShownTheDialogClosesAndTheStationKeeps) {
    BreakTable();
    const VoltmeterChoice choice{"Pump supply", "Pump", true, false};
    EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 7, choice), DialogOutcome::Closes);
    EXPECT_THAT(Messages(),
                ElementsAre("Execution of SQL statement failed|  Varnex v1|none|dialog"));
    EXPECT_EQ(session_->station().labels[6], "Pump");
    EXPECT_EQ(session_->station().views[6], "GRAPHICAL");
}

// Which of a sample of typed characters each field class takes.
TEST(AcceptsTypedCharacter, EachClassTakesItsCharactersAndBackspace) {
    const std::tuple<CharacterClass, std::u32string, std::u32string> cases[] = {
        {CharacterClass::NamesAndNotes, U"09AZaz. \b", U"'-(*,\x16\x03\r\t\u00e9\u00c4_"},
        {CharacterClass::Password, U"09AZaz\b", U" .'-*\x16\u00e9"},
        {CharacterClass::Hexadecimal, U"09AFaf\b", U"gGzZ .:-\x16"},
        {CharacterClass::StationName, U"09AZaz \b", U".'-(\x16\u00e9"},
        {CharacterClass::AnyText, U"09Az .'-(\"\u00e9\t", U""},
    };
    for (const auto& [characters, accepted, refused] : cases) {
        for (const bool accepts : {true, false}) {
            for (const char32_t typed : accepts ? accepted : refused) {
                EXPECT_EQ(AcceptsTypedCharacter(characters, typed), accepts)
                    << static_cast<int>(characters) << " " << static_cast<uint32_t>(typed);
            }
        }
    }
}

TEST(UptimeTexts, EachRowDividesTheTextShownAbove) {
    const std::pair<uint32_t, std::array<std::string, kUptimeRows>> cases[] = {
        {86400, {"86400", " 1440.00", " 24.00", " 1.00", " 0.03", " 0.00"}},
        {0, {"0", " 0", " 0", " 0", " 0", " 0"}},
        {59, {"59", " 0.98", " 0.02", " 0.00", " 0", " 0"}},
        // 31104000 s is 360 days: one year of twelve 30-day months.
        {31104000, {"31104000", " 518400.00", " 8640.00", " 360.00", " 12.00", " 1.00"}},
        {4294967295u,
         {"4294967295", " 71582788.25", " 1193046.47", " 49710.27", " 1657.01", " 138.08"}},
    };
    for (const auto& [seconds, texts] : cases) {
        EXPECT_EQ(UptimeTexts(seconds), texts) << seconds;
    }
}

}  // namespace
}  // namespace varnex::testing
