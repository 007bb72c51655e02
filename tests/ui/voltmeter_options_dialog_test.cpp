// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include "ui/voltmeter_options_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace varnex::testing {
namespace {

class VoltmeterOptionsDialogTest : public SettingsDialogTest {
  protected:
    std::unique_ptr<VoltmeterOptionsDialog> Open(int voltmeter) {
        DialogContext context = Context();
        auto dialog = std::make_unique<VoltmeterOptionsDialog>(
            nullptr, context, voltmeter, *OpenVoltmeterOptions(*session_, voltmeter));
        dialog->show();
        return dialog;
    }
};

TEST_F(VoltmeterOptionsDialogTest, VoltmeterOneNotInstalledAndGraphicalIsStoredAndCloses) {
    auto dialog = Open(1);
    EXPECT_EQ(dialog->windowTitle(), "Voltmeter 1 Options");
    EXPECT_EQ(dialog->jumperGroup()->title(), "Jumper 6");
    EXPECT_TRUE(dialog->installedChoice()->isChecked());
    EXPECT_TRUE(dialog->plainTextChoice()->isChecked());
    Shoot(*dialog, "voltmeter_options_dialog");

    Click(dialog->notInstalledChoice());
    Click(dialog->graphicalChoice());
    Click(dialog->okButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Row("JP6, VM1VIEW"), std::vector<std::string>{"OFF|GRAPHICAL"});
}

TEST_F(VoltmeterOptionsDialogTest, VoltmeterFiveHasDisabledJumperRadiosAndNoCaption) {
    auto dialog = Open(5);
    EXPECT_EQ(dialog->jumperGroup()->title(), "");
    EXPECT_FALSE(dialog->installedChoice()->isEnabled());
    EXPECT_FALSE(dialog->notInstalledChoice()->isEnabled());
}

TEST_F(VoltmeterOptionsDialogTest, AThirtyCharacterLabelIsStoredAndShownAsTwentySeven) {
    auto dialog = Open(3);
    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), "Battery bank voltage 48V rack");
    QTest::keyClicks(dialog->nameField(), "X");
    ASSERT_EQ(dialog->nameField()->text().size(), 30);
    Click(dialog->okButton());
    EXPECT_EQ(Row("VM3LABEL"), std::vector<std::string>{"Battery bank voltage 48V ra"});
    EXPECT_EQ(session_->display().voltmeters[2].caption, "Battery bank voltage 48V ra");
}

TEST_F(VoltmeterOptionsDialogTest, EmptyNotesKeepTheDialogOpenWithItsMessage) {
    auto dialog = Open(4);
    dialog->notesField()->clear();
    Click(dialog->okButton());
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Enter Notes for this Voltmeter !");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(VoltmeterOptionsDialogTest, DefaultLabelsKeepTheirParenthesesButTheyCannotBeTyped) {
    auto dialog = Open(2);
    EXPECT_EQ(dialog->nameField()->text(), "Voltage 2 (0-30-60)");
    QTest::keyClicks(dialog->nameField(), "()-");
    EXPECT_EQ(recorder_.beeps, 3);
    Click(dialog->cancelButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Row("VM2LABEL"), std::vector<std::string>{"Voltage 2 (0-30-60)"});
}

}  // namespace
}  // namespace varnex::testing
