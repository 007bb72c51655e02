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
        return Show<RelayControlDialog>(relay, *OpenRelayControl(*session_, relay));
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

    const std::vector<uint8_t> sent = Sent();
    ASSERT_GT(sent.size(), 20u);
    EXPECT_EQ(sent.at(wire::kLetterOffset), '7');
    EXPECT_EQ(sent.at(20), 0x11);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(RelayControlDialogTest, RefusedCharactersBeepAndUpdatesStoreAndKeepTheDialog) {
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

    QTest::keyClicks(dialog->nameField(), " and Pump Circuit");
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY2NAME"), std::vector<std::string>{"Fan and Pump Ci"});
    EXPECT_EQ(session_->display().relayNames[1], "Fan and Pump Ci");
    QTest::keyClick(dialog->notesField(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(dialog->notesField(), " 2.5");
    Click(dialog->updateNotesButton());
    EXPECT_EQ(Row("RELAY2NOTES"), std::vector<std::string>{"Roof 2.5"});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(RelayControlDialogTest, PastedTextIsStoredAsItIsAndEnterOrCloseSwitchNothing) {
    auto dialog = Open(1);
    dialog->nameField()->clear();
    QGuiApplication::clipboard()->setText("O'Brien-2");
    dialog->nameField()->paste();
    EXPECT_EQ(dialog->nameField()->text(), "O'Brien-2");
    QTest::keyClick(dialog->nameField(), Qt::Key_Return);
    EXPECT_EQ(recorder_.beeps, 0);
    EXPECT_TRUE(dialog->isVisible());

    // Quotes reach the database as typed: values are bound, never spliced in.
    Click(dialog->updateNameButton());
    EXPECT_EQ(Row("RELAY1NAME"), std::vector<std::string>{"O'Brien-2"});
    Click(dialog->closeButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session_->display().counters.sent, "1");
}

}  // namespace
}  // namespace varnex::testing
