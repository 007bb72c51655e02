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
        return Show<VoltmeterOptionsDialog>(voltmeter, *OpenVoltmeterOptions(*session_, voltmeter));
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

TEST_F(VoltmeterOptionsDialogTest, VoltmeterFiveHasDisabledJumperRadiosAndEmptyNotesAreRefused) {
    auto dialog = Open(5);
    EXPECT_EQ(dialog->jumperGroup()->title(), "");
    EXPECT_FALSE(dialog->installedChoice()->isEnabled());
    EXPECT_FALSE(dialog->notInstalledChoice()->isEnabled());
    dialog->notesField()->clear();
    Click(dialog->okButton());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Enter Notes for this Voltmeter !||exclamation|dialog"});
    Click(dialog->cancelButton());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(VoltmeterOptionsDialogTest, ParenthesesCannotBeTypedAndTwentySevenCharactersAreKept) {
    auto dialog = Open(2);
    EXPECT_EQ(dialog->nameField()->text(), "Voltage 2 (0-30-60)");
    QTest::keyClicks(dialog->nameField(), "()-");
    EXPECT_EQ(recorder_.beeps, 3);
    dialog->nameField()->setText("Battery bank voltage 48V racks");  // 30 characters
    Click(dialog->okButton());
    EXPECT_EQ(Row("VM2LABEL"), std::vector<std::string>{"Battery bank voltage 48V ra"});
    EXPECT_EQ(session_->display().voltmeters[1].caption, "Battery bank voltage 48V ra");
}

}  // namespace
}  // namespace varnex::testing
