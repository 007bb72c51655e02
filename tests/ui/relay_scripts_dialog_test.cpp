#include "ui/relay_scripts_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    void Click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

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
        auto* edit = dialog->findChild<QLineEdit*>("scriptNameEdit");
        edit->clear();
        QTest::keyClicks(edit, name);
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
    ASSERT_EQ(names()->count(), 8);
    EXPECT_EQ(names()->item(0)->text(), "Morning         ");
    EXPECT_EQ(names()->item(1)->text(), "Pump and fan    ");
    EXPECT_EQ(names()->item(7)->text(), QString(16, ' '));
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 1 ON", "Delay 1 Second"}));
    EXPECT_EQ(commands()->count(), 11);
    EXPECT_EQ(commands()->item(10)->text(), "Delay 5 Seconds");
    EXPECT_EQ(dialog->windowTitle(), "Relay Scripts");
}

TEST_F(RelayScriptsDialogTest, ComposingAppendsAndDeletesSteps) {
    ClickRow(names(), 1);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 2 ON", "Relay 3 ON", "Relay 1 OFF"}));
    Compose({"Delay 5 Seconds"});
    EXPECT_EQ(steps()->item(3)->text(), "Delay 5 Seconds");  // at the end, not sorted
    DoubleClickRow(steps(), 1);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 2 ON", "Relay 1 OFF", "Delay 5 Seconds"}));
    commands()->setCurrentRow(4);
    ClickRow(names(), 1);  // discards what was composed
    EXPECT_EQ(steps()->count(), 3);
    EXPECT_TRUE(commands()->selectedItems().isEmpty());
}

TEST_F(RelayScriptsDialogTest, SixteenStepsAndALongNameRoundTrip) {
    ClickRow(names(), 2);
    Compose(kSixteen);
    UploadAs("ABCDEFGHIJKLMNOPQRST");
    ClickRow(names(), 3);
    Compose(kSixteen + QStringList{"Relay 1 ON", "Relay 2 ON", "Relay 3 ON", "Relay 1 OFF"});
    ASSERT_EQ(steps()->count(), 20);
    UploadAs("Twenty");
    EXPECT_EQ(UnitCodes(2), "123456789AB64271");

    Refresh();
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(names()->item(2)->text(), "ABCDEFGHIJKLMNO ");
    ClickRow(names(), 2);
    EXPECT_EQ(Texts(steps()), kSixteen);
    ClickRow(names(), 3);
    EXPECT_EQ(Texts(steps()), kSixteen);
    EXPECT_EQ(names()->item(3)->text(), "Twenty          ");
}

TEST_F(RelayScriptsDialogTest, ANewTableDiscardsWhatWasComposed) {
    StoreScript(0, "B", "Changed");
    ClickRow(names(), 4);
    Compose({"Relay 1 ON", "Relay 2 ON"});
    commands()->setCurrentRow(2);
    Refresh();
    EXPECT_EQ(names()->item(0)->text(), "Changed         ");
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(Texts(steps()), QStringList{"Delay 5 Seconds"});
    EXPECT_TRUE(commands()->selectedItems().isEmpty());
}

TEST_F(RelayScriptsDialogTest, PumpIsStoredWithItsBlanks) {
    ClickRow(names(), 5);
    Compose({"Relay 1 ON", "Delay 2 Seconds"});
    UploadAs("Pump");
    EXPECT_EQ(UnitCodes(5), "18" + std::string(14, ' '));
    EXPECT_EQ(UnitName(5), "Pump" + std::string(12, ' '));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Are you sure you want to Upload this Relay Script?");
    EXPECT_EQ(questions[0].caption, "Upload Script?");
    EXPECT_TRUE(dialog->isVisible());  // an upload leaves the dialog open
}

TEST_F(RelayScriptsDialogTest, EmptyListMessagesDifferInTheirIcon) {
    ClickRow(names(), 7);
    ASSERT_EQ(steps()->count(), 0);
    const std::string sent = session.display().counters.sent;
    Click("executeButton");
    Click("uploadButton");
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, "Empty Script Not Allowed !");
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(recorder.messages[1].text, "Empty Script Not Allowed !");
    EXPECT_EQ(recorder.messages[1].icon, MessageIcon::Stop);
    EXPECT_EQ(recorder.messages[1].caption, "");
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(dialog->naming());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(session.display().counters.sent, sent);
}

TEST_F(RelayScriptsDialogTest, ExecuteRunsTheStoredSlotAndCloses) {
    ClickRow(names(), 1);
    Compose({"Delay 5 Seconds"});  // not uploaded: the unit runs its own copy
    Click("executeButton");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Are you sure you want to Execute this Relay Script?");
    EXPECT_EQ(questions[0].caption, "Execute Script?");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "Relay Script Executed!");
    // "352": relay 2 on, relay 3 on, relay 1 off, all at once.
    EXPECT_EQ(unit_.State().relayOn, (std::array<bool, 3>{false, true, true}));
}

TEST_F(RelayScriptsDialogTest, NoLeavesEverythingAsItWas) {
    answerYes = false;
    ClickRow(names(), 1);
    const std::string sent = session.display().counters.sent;
    Click("executeButton");
    Click("uploadButton");
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->naming());
    EXPECT_EQ(steps()->count(), 3);
    EXPECT_EQ(session.display().counters.sent, sent);
}

TEST_F(RelayScriptsDialogTest, TheNamingPanelTakesTheCommandListsPlace) {
    ClickRow(names(), 1);
    Click("uploadButton");
    ASSERT_TRUE(dialog->naming());
    for (const char* name : {"executeButton", "uploadButton", "refreshButton", "closeButton"}) {
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(commands()->isVisible());
    EXPECT_TRUE(dialog->findChild<QGroupBox*>("namingPanel")->isVisible());
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("scriptNameEdit")->hasFocus());

    // Steps and rows stay usable; "OK" takes them as they are then.
    DoubleClickRow(steps(), 0);
    ClickRow(names(), 6);
    Compose({"Relay 2 OFF"});
    QTest::keyClicks(dialog->findChild<QLineEdit*>("scriptNameEdit"), "Late");
    Click("okButton");
    ASSERT_TRUE(PumpUntil([this] { return UnitCodes(6)[0] == '4'; }, kDialogWaitMs));
    EXPECT_EQ(UnitName(6), "Late" + std::string(12, ' '));

    Click("uploadButton");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("scriptNameEdit")->text(), "Late");  // kept
    Click("cancelButton");
    EXPECT_FALSE(dialog->naming());
    EXPECT_TRUE(commands()->isVisible());
    EXPECT_TRUE(button("closeButton")->isEnabled());
}

TEST_F(RelayScriptsDialogTest, OkRefusesAListEmptiedUnderThePanel) {
    ClickRow(names(), 0);
    Click("uploadButton");
    DoubleClickRow(steps(), 0);
    DoubleClickRow(steps(), 0);
    ASSERT_EQ(steps()->count(), 0);
    Click("okButton");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Empty Script Not Allowed !");
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(dialog->naming());
    EXPECT_EQ(UnitCodes(0), "17" + std::string(14, ' '));
}

TEST_F(RelayScriptsDialogTest, ASessionResetUnderneathLeavesTheListsAlone) {
    session.ResetSession();
    QTest::qWait(20);
    EXPECT_EQ(names()->count(), 8);
    EXPECT_EQ(names()->item(0)->text(), "Morning         ");
    ClickRow(names(), 0);  // the table was emptied with the session
    EXPECT_EQ(steps()->count(), 0);
    Click("closeButton");
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace varnex
