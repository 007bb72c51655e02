#include "ui/relay_scripts_dialog.h"

#include <QGroupBox>
#include <QLineEdit>

#include "script_dialog_fixture.h"
#include "ui/script_picker.h"

namespace varnex {
namespace {

const QStringList kSixteen = {
    "Relay 1 ON",      "Relay 1 OFF",     "Relay 2 ON",      "Relay 2 OFF",
    "Relay 3 ON",      "Relay 3 OFF",     "Delay 1 Second",  "Delay 2 Seconds",
    "Delay 3 Seconds", "Delay 4 Seconds", "Delay 5 Seconds", "Relay 3 OFF",
    "Relay 2 OFF",     "Relay 1 OFF",     "Delay 1 Second",  "Relay 1 ON"};

class RelayScriptsDialogTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "17", "Morning");
        StoreScript(1, "352", "Pump and fan");
        dialog = std::make_unique<RelayScriptsDialog>(context, nullptr);
        dialog->show();
        ASSERT_TRUE(TableShown());
    }
    void TearDown() override { dialog.reset(); }

    QListWidget* names() { return dialog->picker().names(); }
    QListWidget* steps() { return dialog->picker().steps(); }
    QListWidget* commands() { return dialog->findChild<QListWidget*>("commandList"); }
    QLineEdit* nameEdit() { return dialog->findChild<QLineEdit*>("scriptNameEdit"); }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    void Click(const char* name) { ClickButton(dialog.get(), name); }

    // Composes `texts` from the command list by double-clicks.
    void Compose(const QStringList& texts) {
        for (const QString& text : texts) {
            const auto found = commands()->findItems(text, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << text.toStdString();
            DoubleClickRow(commands(), commands()->row(found.front()));
        }
    }
    // Upload under `name` through the naming panel, then wait for the unit.
    void UploadAs(const QString& name) {
        const std::size_t logged = unitLog_.size();
        Click("uploadButton");
        ASSERT_TRUE(dialog->naming());
        nameEdit()->clear();
        QTest::keyClicks(nameEdit(), name);
        Click("okButton");
        EXPECT_FALSE(dialog->naming());
        ASSERT_TRUE(PumpUntil([&] { return unitLog_.size() > logged; }, kDialogWaitMs));
    }
    void Refresh() {
        Click("refreshButton");
        ASSERT_TRUE(TableShown());
    }

    std::unique_ptr<RelayScriptsDialog> dialog;
};

TEST_F(RelayScriptsDialogTest, OpensWithTheUnitsNamesAndSlotOneShown) {
    EXPECT_EQ(dialog->windowTitle(), "Relay Scripts");
    ASSERT_EQ(names()->count(), 8);
    EXPECT_EQ(names()->item(1)->text(), "Pump and fan    ");
    EXPECT_EQ(names()->item(7)->text(), QString(16, ' '));
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 1 ON", "Delay 1 Second"}));
    EXPECT_EQ(commands()->count(), 11);
    EXPECT_EQ(commands()->item(10)->text(), "Delay 5 Seconds");
}

TEST_F(RelayScriptsDialogTest, ComposingAppendsAndDeletesStepsUntilARowOrTableDiscardsThem) {
    ClickRow(names(), 1);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 2 ON", "Relay 3 ON", "Relay 1 OFF"}));
    Compose({"Delay 5 Seconds"});
    DoubleClickRow(steps(), 1);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 2 ON", "Relay 1 OFF", "Delay 5 Seconds"}));
    commands()->setCurrentRow(4);
    ClickRow(names(), 1);
    EXPECT_EQ(steps()->count(), 3);
    EXPECT_TRUE(commands()->selectedItems().isEmpty());
    // The keyboard moves the selection but shows no other slot's steps.
    names()->setFocus();
    QTest::keyClick(names(), Qt::Key_Down);
    EXPECT_EQ(dialog->picker().SelectedRow(), 2);
    EXPECT_EQ(steps()->count(), 3);

    StoreScript(0, "B", "Changed");
    ClickRow(names(), 4);
    Compose({"Relay 1 ON"});
    commands()->setCurrentRow(2);
    Refresh();
    EXPECT_EQ(names()->item(0)->text(), "Changed         ");
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(Texts(steps()), QStringList{"Delay 5 Seconds"});
    EXPECT_TRUE(commands()->selectedItems().isEmpty());
}

// Sixteen steps and fifteen characters of the name are what a slot holds.
TEST_F(RelayScriptsDialogTest, UploadAsksAndStoresAtMostSixteenStepsAndFifteenCharacters) {
    ClickRow(names(), 2);
    Compose(kSixteen + QStringList{"Relay 1 ON", "Relay 2 ON"});
    ASSERT_EQ(steps()->count(), 18);
    UploadAs("ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(UnitCodes(2), "123456789AB64271");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(testing::MessageLine(questions[0]),
              "Are you sure you want to Upload this Relay Script?|Upload Script?|none|dialog");
    EXPECT_TRUE(dialog->isVisible());

    Refresh();
    EXPECT_EQ(names()->item(2)->text(), "ABCDEFGHIJKLMNO ");
    ClickRow(names(), 2);
    EXPECT_EQ(Texts(steps()), kSixteen);
}

TEST_F(RelayScriptsDialogTest, ExecuteRunsTheStoredSlotAndCloses) {
    ClickRow(names(), 1);
    Compose({"Delay 5 Seconds"});  // not uploaded: the unit runs its own copy
    Click("executeButton");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(testing::MessageLine(questions[0]),
              "Are you sure you want to Execute this Relay Script?|Execute Script?|none|dialog");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "Relay Script Executed!");
    // "352": relay 2 on, relay 3 on, relay 1 off, all at once.
    EXPECT_EQ(unit_.State().relayOn, (std::array<bool, 3>{false, true, true}));
}

// Steps and rows stay usable under the panel; "OK" takes them as they are
// then, and refuses a list emptied meanwhile.
TEST_F(RelayScriptsDialogTest, TheNamingPanelTakesTheCommandListsPlace) {
    ClickRow(names(), 0);
    Click("uploadButton");
    ASSERT_TRUE(dialog->naming());
    EXPECT_FALSE(button("uploadButton")->isEnabled());
    EXPECT_FALSE(button("closeButton")->isEnabled());
    EXPECT_FALSE(commands()->isVisible());
    EXPECT_TRUE(dialog->findChild<QGroupBox*>("namingPanel")->isVisible());
    EXPECT_TRUE(nameEdit()->hasFocus());
    DoubleClickRow(steps(), 0);
    DoubleClickRow(steps(), 0);
    Click("okButton");
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{"Empty Script Not Allowed !||stop|dialog"});
    EXPECT_TRUE(dialog->naming());

    ClickRow(names(), 6);
    Compose({"Relay 2 OFF"});
    QTest::keyClicks(nameEdit(), "Late");
    Click("okButton");
    ASSERT_TRUE(PumpUntil([this] { return UnitCodes(6)[0] == '4'; }, kDialogWaitMs));
    EXPECT_EQ(UnitName(6), "Late" + std::string(12, ' '));
    EXPECT_FALSE(dialog->naming());
    EXPECT_TRUE(commands()->isVisible());
    EXPECT_TRUE(button("closeButton")->isEnabled());
}

TEST_F(RelayScriptsDialogTest, ASessionResetUnderneathLeavesTheListsAlone) {
    session.ResetSession();
    QTest::qWait(20);
    EXPECT_EQ(names()->item(0)->text(), "Morning         ");
    ClickRow(names(), 0);  // the table was emptied with the session
    EXPECT_EQ(steps()->count(), 0);
    Click("closeButton");
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex
