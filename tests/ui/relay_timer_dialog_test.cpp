#include "ui/relay_timer_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "automation/relay_timer.h"
#include "script_dialog_fixture.h"
#include "ui/script_picker.h"

namespace varnex {
namespace {

class RelayTimerDialogTest : public ScriptDialogTest {
  protected:
    void SetUp() override {
        ScriptDialogTest::SetUp();
        StoreScript(0, "1", "Lamp");
        StoreScript(2, "57", "  Water garden");
        dialog = std::make_unique<RelayTimerDialog>(context, nullptr);
        dialog->show();
        ASSERT_TRUE(TableShown());
    }
    void TearDown() override { dialog.reset(); }

    QListWidget* names() { return dialog->picker().names(); }
    QListWidget* steps() { return dialog->picker().steps(); }
    void Click(const char* name) { ClickButton(dialog.get(), name); }
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
        ASSERT_TRUE(PumpUntil([&] { return !view->isVisible(); }, kDialogWaitMs));
    }
    QStringList Readouts() {
        QStringList texts;
        for (std::size_t k = 0; k < kTimerFields.size(); ++k) {
            texts << dialog->readout(k)->text();
        }
        return texts;
    }
    std::unique_ptr<RelayTimerDialog> dialog;
};

TEST_F(RelayTimerDialogTest, OpensAtZeroWithOneShotAndNoScriptAndTakesPickedValues) {
    EXPECT_EQ(dialog->windowTitle(), "Relay Timer");
    EXPECT_EQ(Readouts(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(dialog->field(0)->currentText(), "00");
    EXPECT_EQ(dialog->field(0)->count(), 31);
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("oneShot")->isChecked());
    EXPECT_EQ(names()->count(), 8);
    EXPECT_FALSE(dialog->picker().SelectedRow().has_value());
    EXPECT_EQ(dialog->scriptLabel()->text(), "Choose a Relay Script !");

    // Picked values count, typed ones do not.
    Pick(2, "01");
    Pick(3, "30");
    QLineEdit* edit = dialog->field(0)->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "07");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Readouts(), (QStringList{"00", "00", "01", "30"}));
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
    ASSERT_TRUE(PumpUntil([this] { return unit_.State().timer.running; }, kDialogWaitMs));
    EXPECT_EQ(unit_.State().timer.delaySeconds, 90u);
    EXPECT_EQ(unit_.State().timer.slotByte, 0x40);
    EXPECT_TRUE(unit_.State().timer.continuous);
    ASSERT_TRUE(PumpUntil([this] { return !recorder.popups.empty(); }, kDialogWaitMs));
    EXPECT_EQ(recorder.popups[0].second, "Timer Data Received !");
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
    ASSERT_TRUE(PumpUntil([this] { return !unit_.State().timer.running; }, kDialogWaitMs));
}

}  // namespace
}  // namespace varnex
