#include "settings/voltmeter_options.h"

#include "settings_fixture.h"

namespace varnex::testing {
namespace {

using ::testing::ElementsAre;
using VoltmeterOptionsTest = SettingsTest;

TEST_F(VoltmeterOptionsTest, OpeningShowsTheStationsSettingsAndTheJumperOnlyForOneAndTwo) {
    const auto first = OpenVoltmeterOptions(*session_, 1);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->title, "Voltmeter 1 Options");
    EXPECT_EQ(first->jumperCaption, "Jumper 6");
    EXPECT_TRUE(first->jumperEnabled);
    EXPECT_TRUE(first->jumperInstalled);
    EXPECT_TRUE(first->plainText);
    EXPECT_EQ(first->label, "Voltage 1 (0-30-60)");
    EXPECT_EQ(first->notes, "Enter notes about how Voltmeter 1 is hooked up...");

    EXPECT_EQ(OpenVoltmeterOptions(*session_, 2)->jumperCaption, "Jumper 7");

    const auto fifth = OpenVoltmeterOptions(*session_, 5);
    ASSERT_TRUE(fifth.has_value());
    EXPECT_EQ(fifth->jumperCaption, "");
    EXPECT_FALSE(fifth->jumperEnabled);

    // Only the exact texts count: anything else opens on the other choice.
    session_->editableStation().jumper6 = "on";
    session_->editableStation().views[0] = "standard";
    EXPECT_FALSE(OpenVoltmeterOptions(*session_, 1)->jumperInstalled);
    EXPECT_FALSE(OpenVoltmeterOptions(*session_, 1)->plainText);
    EXPECT_FALSE(OpenVoltmeterOptions(*session_, 9).has_value());
}

TEST_F(VoltmeterOptionsTest, VoltmeterOneWithoutJumperInBarViewStoresOffAndGraphical) {
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
    EXPECT_TRUE(shown.barVisible);
    EXPECT_EQ(shown.barMaximum, 60);
    EXPECT_EQ(shown.barLabelText, "60.00");
}

TEST_F(VoltmeterOptionsTest, FieldsAreReadUpToTheirLimits) {
    const VoltmeterChoice choice{std::string(600, 'n'), std::string(30, 'L'), true, true};
    EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 3, choice), DialogOutcome::Closes);
    EXPECT_THAT(Row("length(VM3NOTES), VM3LABEL, VM3VIEW"),
                ElementsAre("510|" + std::string(27, 'L') + "|STANDARD"));
    EXPECT_EQ(session_->display().voltmeters[2].caption, std::string(27, 'L'));
}

TEST_F(VoltmeterOptionsTest, EmptyNotesThenEmptyNameKeepTheDialogOpenAndChangeNothing) {
    struct Case {
        VoltmeterChoice choice;
        const char* text;
    };
    const Case cases[] = {
        {{"", "", true, true}, "Enter Notes for this Voltmeter !"},
        {{"notes", "", true, true}, "Enter a Name for this Voltmeter !"},
    };
    for (const Case& c : cases) {
        recorder_.messages.clear();
        EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 4, c.choice),
                  DialogOutcome::StaysOpen);
        EXPECT_THAT(Messages(), ElementsAre(std::string(c.text) + "||exclamation|dialog"));
    }
    EXPECT_THAT(Row("VM4NOTES, VM4LABEL"),
                ElementsAre("Enter notes about how Voltmeter 4 is hooked up...|Voltage 4 (0-30)"));
    EXPECT_EQ(session_->station().labels[3], "Voltage 4 (0-30)");
}

TEST_F(VoltmeterOptionsTest, AFailedStatementIsShownTheDialogClosesAndTheStationKeepsTheValues) {
    BreakTable();
    const VoltmeterChoice choice{"Pump supply", "Pump", true, false};
    EXPECT_EQ(SaveVoltmeterOptions(*session_, stations_, 7, choice), DialogOutcome::Closes);
    EXPECT_THAT(Messages(),
                ElementsAre("Execution of SQL statement failed|  Varnex v1|none|dialog"));
    EXPECT_EQ(session_->station().labels[6], "Pump");
    EXPECT_EQ(session_->station().views[6], "GRAPHICAL");
}

}  // namespace
}  // namespace varnex::testing
