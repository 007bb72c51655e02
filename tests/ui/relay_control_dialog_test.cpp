// The fixture comes first: it must precede every Qt header.
#include "settings_dialog_fixture.h"

#include "ui/relay_control_dialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace varnex::testing {
namespace {

class RelayControlDialogTest : public SettingsDialogTest {
  protected:
    std::unique_ptr<RelayControlDialog> Open(int relay) {
        DialogContext context = Context();
        auto dialog = std::make_unique<RelayControlDialog>(nullptr, context, relay,
                                                           *OpenRelayControl(*session_, relay));
        dialog->show();
        return dialog;
    }
};

TEST_F(RelayControlDialogTest, TogglingRelayTwoAtSeventeenSecondsSendsSevenWithSeventeen) {
    auto dialog = Open(2);
    EXPECT_EQ(dialog->windowTitle(), "Relay 2 Control");
    EXPECT_EQ(dialog->secondsText()->text(), "1");
    EXPECT_FALSE(dialog->toggleChoice()->isChecked());
    Shoot(*dialog, "relay_control_dialog");

    Click(dialog->toggleChoice());
    dialog->seconds()->setValue(17);
    EXPECT_EQ(dialog->secondsText()->text(), "17");
    Click(dialog->actionButton());

    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), '7');
    EXPECT_EQ(sent->at(20), 0x11);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(RelayControlDialogTest, RelayThreeShownOffIsPreselectedOffAndSendsNine) {
    unit::UnitState unit = UnitWith();
    unit.relayOn = {true, true, false};
    ReplyStatus(unit);
    ASSERT_EQ(session_->display().relayStates[2], "OFF");

    auto dialog = Open(3);
    EXPECT_TRUE(dialog->offChoice()->isChecked());
    Click(dialog->actionButton());
    const auto sent = NextCommand();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->at(wire::kLetterOffset), '9');
}

TEST_F(RelayControlDialogTest, CloseSendsNothing) {
    auto dialog = Open(1);
    Click(dialog->closeButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session_->display().counters.sent, "1");
}

TEST_F(RelayControlDialogTest, ATwentyCharacterNameIsStoredAndShownAsFifteenAndTheDialogStays) {
    auto dialog = Open(1);
    EXPECT_EQ(dialog->nameField()->text(), "Relay 1");
    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), "Main Pump Circuit 12");
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY1NAME"), std::vector<std::string>{"Main Pump Circu"});
    EXPECT_EQ(session_->display().relayNames[0], "Main Pump Circu");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(recorder_.beeps, 0);
}

TEST_F(RelayControlDialogTest, RefusedCharactersBeepAndLeaveBothFieldsUnchanged) {
    auto dialog = Open(2);
    dialog->nameField()->setText("Fan");
    dialog->notesField()->setPlainText("Roof");
    for (QWidget* field : {static_cast<QWidget*>(dialog->nameField()),
                           static_cast<QWidget*>(dialog->notesField())}) {
        field->setFocus();
        QTest::keyClicks(field, "'-(");
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(recorder_.beeps, 8);
    EXPECT_EQ(dialog->nameField()->text(), "Fan");
    EXPECT_EQ(dialog->notesField()->toPlainText(), "Roof");

    QTest::keyClick(dialog->notesField(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(dialog->notesField(), " 2.5");
    EXPECT_EQ(dialog->notesField()->toPlainText(), "Roof 2.5");
    Click(dialog->updateNotesButton());
    EXPECT_EQ(Row("RELAY2NOTES"), std::vector<std::string>{"Roof 2.5"});
}

TEST_F(RelayControlDialogTest, PastedTextIsNotFilteredAndEnterSwitchesNothing) {
    auto dialog = Open(1);
    dialog->nameField()->clear();
    QGuiApplication::clipboard()->setText("O'Brien-2");
    dialog->nameField()->paste();
    EXPECT_EQ(dialog->nameField()->text(), "O'Brien-2");
    QTest::keyClick(dialog->nameField(), Qt::Key_Return);
    EXPECT_EQ(recorder_.beeps, 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(session_->display().counters.sent, "1");

    // Quotes reach the database as typed: values are bound, never spliced in.
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY1NAME"), std::vector<std::string>{"O'Brien-2"});
}

}  // namespace
}  // namespace varnex::testing
