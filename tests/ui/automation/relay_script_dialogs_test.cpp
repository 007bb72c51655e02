// The dialogs that list the unit's relay scripts: composing, uploading and
// running them, and setting the relay timer to run one.
#include <QAbstractItemView>

#include "ui/automation/script_dialog_fixture.h"
#include "ui/automation/relay_scripts_dialog.h"
#include "ui/automation/relay_timer_dialog.h"
#include "ui/automation/script_picker.h"

namespace varnex {
namespace {

template <typename Dialog>
class ScriptListTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "17", "Morning");
        StoreScript(1, "352", "Pump and fan");
        StoreScript(2, "57", "  Water garden");
        dialog = Show<Dialog>();
        ASSERT_TRUE(TableShown());
    }
    QListWidget* names() { return dialog->picker().names(); }
    QListWidget* steps() { return dialog->picker().steps(); }
    void Click(const char* name) { ClickButton(dialog.get(), name); }

    std::unique_ptr<Dialog> dialog;
};

const QStringList kCommands = {"Relay 1 ON",      "Relay 1 OFF",     "Relay 2 ON",
                               "Relay 2 OFF",     "Relay 3 ON",      "Relay 3 OFF",
                               "Delay 1 Second",  "Delay 2 Seconds", "Delay 3 Seconds",
                               "Delay 4 Seconds", "Delay 5 Seconds"};
const QStringList kSixteen = kCommands + QStringList{"Relay 3 OFF", "Relay 2 OFF", "Relay 1 OFF",
                                                     "Delay 1 Second", "Relay 1 ON"};

class RelayScriptsDialogTest : public ScriptListTest<RelayScriptsDialog> {
  protected:
    QListWidget* commands() { return dialog->findChild<QListWidget*>("commandList"); }
    QLineEdit* nameEdit() { return dialog->findChild<QLineEdit*>("scriptNameEdit"); }
    bool Enabled(const char* button) {
        return dialog->findChild<QPushButton*>(button)->isEnabled();
    }

    // Composes `texts` from the command list by double-clicks.
    void Compose(const QStringList& texts) {
        for (const QString& text : texts) {
            const auto found = commands()->findItems(text, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << text.toStdString();
            DoubleClickRow(commands(), commands()->row(found.front()));
        }
    }
    void Refresh() {
        Click("refreshButton");
        ASSERT_TRUE(TableShown());
    }
};

TEST_F(RelayScriptsDialogTest, OpensWithTheUnitsNamesAndSlotOneShown) {
    EXPECT_EQ(dialog->windowTitle(), "Relay Scripts");
    EXPECT_EQ(Texts(names()),
              QStringList({"Morning         ", "Pump and fan    ", "  Water garden  "}) +
                  QStringList(5, QString(16, ' ')));
    EXPECT_EQ(dialog->picker().SelectedRow(), 0);
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 1 ON", "Delay 1 Second"}));
    EXPECT_EQ(Texts(commands()), kCommands);
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

// Sixteen steps and fifteen characters of the name are what a slot holds;
// the dialog takes no more than that, and says so.
TEST_F(RelayScriptsDialogTest, UploadAsksAndStoresAtMostSixteenStepsAndFifteenCharacters) {
    int beeps = 0;
    recorder.hooks.beep = [&beeps] { ++beeps; };
    ClickRow(names(), 3);
    Compose(kSixteen + QStringList{"Relay 1 ON", "Relay 2 ON"});
    EXPECT_EQ(Texts(steps()), kSixteen);
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>(2, "A script has at most 16 steps.||exclamation|dialog"));
    Click("uploadButton");
    ASSERT_TRUE(dialog->naming());
    QTest::keyClicks(nameEdit(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(nameEdit()->text(), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(beeps, 5);
    Click("okButton");
    EXPECT_FALSE(dialog->naming());
    ASSERT_TRUE(Eventually([this] { return UnitScript(3)[0] == '1'; }));
    EXPECT_EQ(UnitScript(3), "123456789AB64271|ABCDEFGHIJKLMNO ");
    EXPECT_EQ(testing::MessageLines(questions),
              std::vector<std::string>{"Are you sure you want to Upload this Relay "
                                       "Script?|Upload Script?|none|dialog"});
    EXPECT_TRUE(dialog->isVisible());

    Refresh();
    EXPECT_EQ(names()->item(3)->text(), "ABCDEFGHIJKLMNO ");
    ClickRow(names(), 3);
    EXPECT_EQ(Texts(steps()), kSixteen);
}

TEST_F(RelayScriptsDialogTest, ExecuteRunsTheStoredSlotAndCloses) {
    ClickRow(names(), 1);
    Compose({"Delay 5 Seconds"});  // not uploaded: the unit runs its own copy
    Click("executeButton");
    EXPECT_EQ(testing::MessageLines(questions),
              std::vector<std::string>{"Are you sure you want to Execute this Relay "
                                       "Script?|Execute Script?|none|dialog"});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FirstPopup(), "Relay Script Executed!");
    // "352": relay 2 on, relay 3 on, relay 1 off, all at once.
    EXPECT_EQ(unit_.State().relayOn, (std::array<bool, 3>{false, true, true}));
}

// Steps and rows stay usable under the panel; "OK" takes them as they are
// then, and refuses a list emptied meanwhile.
TEST_F(RelayScriptsDialogTest, TheNamingPanelTakesTheCommandListsPlace) {
    ClickRow(names(), 0);
    Click("uploadButton");
    ASSERT_TRUE(dialog->naming());
    EXPECT_FALSE(Enabled("uploadButton"));
    EXPECT_FALSE(Enabled("closeButton"));
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
    ASSERT_TRUE(Eventually([this] { return UnitScript(6)[0] == '4'; }));
    EXPECT_EQ(UnitScript(6), "4               |Late            ");
    EXPECT_FALSE(dialog->naming());
    EXPECT_TRUE(commands()->isVisible());
    EXPECT_TRUE(Enabled("closeButton"));
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

class RelayTimerDialogTest : public ScriptListTest<RelayTimerDialog> {
  protected:
    // Picks `value` from field k's drop-down list, as a user does.
    void Pick(std::size_t k, const QString& value) {
        QComboBox* combo = dialog->field(k);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const int row = combo->findText(value);
        ASSERT_GE(row, 0);
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        ASSERT_TRUE(Eventually([&] { return !view->isVisible(); }));
    }
    QStringList Readouts() {
        return Shown(
            {dialog->readout(0), dialog->readout(1), dialog->readout(2), dialog->readout(3)});
    }
};

TEST_F(RelayTimerDialogTest, OpensAtZeroWithOneShotAndNoScriptAndTakesPickedValues) {
    EXPECT_EQ(
        Shown({dialog.get(), dialog->field(0), dialog->scriptLabel()}) + Readouts(),
        (QStringList{"Relay Timer", "00", "Choose a Relay Script !", "00", "00", "00", "00"}));
    EXPECT_EQ(dialog->field(0)->count(), 31);
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("oneShot")->isChecked());
    EXPECT_EQ(names()->count(), 8);
    EXPECT_FALSE(dialog->picker().SelectedRow().has_value());

    // Picked and typed values count alike; a value the field does not hold
    // cannot be typed, so the box never shows another value than the delay's.
    int beeps = 0;
    recorder.hooks.beep = [&beeps] { ++beeps; };
    Pick(2, "01");
    Pick(3, "30");
    const std::pair<std::size_t, const char*> typed[] = {{0, "07"}, {1, "9"}, {3, "75"}};
    for (const auto& [k, keys] : typed) {
        QLineEdit* edit = dialog->field(k)->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, keys);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    EXPECT_EQ(Shown({dialog->field(3)}), QStringList{"7"});
    EXPECT_EQ(Readouts(), (QStringList{"07", "09", "01", "07"}));
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(RelayTimerDialogTest, ClickingANameShowsItTrimmedOnTheRight) {
    ClickRow(names(), 2);
    EXPECT_EQ(dialog->scriptLabel()->text(), "  Water garden");
    EXPECT_EQ(Texts(steps()), (QStringList{"Relay 3 ON", "Delay 1 Second"}));

    // A new table keeps the label but leaves no row chosen.
    Click("refreshButton");
    ASSERT_TRUE(TableShown());
    EXPECT_EQ(dialog->scriptLabel()->text(), "  Water garden");
    EXPECT_FALSE(dialog->picker().SelectedRow().has_value());
    EXPECT_EQ(steps()->count(), 0);
}

TEST_F(RelayTimerDialogTest, SetTimerAsksThenTheUnitRunsTheChosenSlotContinuously) {
    Pick(2, "01");
    Pick(3, "30");
    ClickRow(names(), 2);
    QTest::mouseClick(dialog->findChild<QRadioButton*>("continuous"), Qt::LeftButton);
    Click("setTimerButton");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Are you sure you want to Set a Timer?");
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(Eventually([this] { return unit_.State().timer.running; }));
    EXPECT_EQ(unit_.State().timer.delaySeconds, 90u);
    EXPECT_EQ(unit_.State().timer.slotByte, 0x40);
    EXPECT_TRUE(unit_.State().timer.continuous);
    EXPECT_EQ(FirstPopup(), "Timer Data Received !");
}

TEST_F(RelayTimerDialogTest, ASessionResetUnderneathIsTolerated) {
    ClickRow(names(), 2);
    session.ResetSession();
    QTest::qWait(20);
    EXPECT_EQ(dialog->scriptLabel()->text(), "  Water garden");
    ClickRow(names(), 2);  // the table went with the session
    EXPECT_EQ(steps()->count(), 0);
    Click("setTimerButton");
    EXPECT_EQ(testing::MessageLines(recorder.messages),
              std::vector<std::string>{"Empty Relay Script !||exclamation|dialog"});
    Click("cancelButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(RelayTimerDialogTest, StopTimerSendsAtOnceAndCloses) {
    unit_.State().timer = {true, false, 600, 0x00, unitNow_ + std::chrono::seconds(600)};
    Click("stopTimerButton");
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(Eventually([this] { return !unit_.State().timer.running; }));
}

}  // namespace
}  // namespace varnex
