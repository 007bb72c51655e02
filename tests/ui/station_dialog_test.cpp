#include "ui/station_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "station_dialog_fixture.h"
#include "ui/ip_address_field.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;

class StationDialogUiTest : public StationDialogTest {
  protected:
    StationDialog& Open(StationDialogMode mode, const std::string& listText = "") {
        dialog_ = std::make_unique<StationDialog>(nullptr, store_, mode, listText);
        dialog_->show();
        dialog_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog_.get(), 2000));
        return *dialog_;
    }
    QColor LabelColour(int index) const {
        return dialog_->fieldLabel(index)->palette().color(QPalette::WindowText);
    }
    void Ok() { QTest::mouseClick(dialog_->okButton(), Qt::LeftButton); }
    std::unique_ptr<StationDialog> dialog_;
};

TEST_F(StationDialogUiTest, AddOpensEmptyWithItsTitlesAndFocusInTheAddress) {
    StationDialog& dialog = Open(StationDialogMode::Add, kSeedLine);
    EXPECT_EQ(dialog.windowTitle(), "Add IP");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Add IP Address to Data Base");
    EXPECT_EQ(QStringList({dialog.fieldLabel(0)->text(), dialog.fieldLabel(1)->text(),
                           dialog.fieldLabel(2)->text(), dialog.okButton()->text(),
                           dialog.cancelButton()->text()}),
              QStringList({"IP Address:", "Password:", "Comment:", "OK", "Cancel"}));
    EXPECT_TRUE(dialog.addressField()->isBlank());
    EXPECT_EQ(dialog.passwordField()->text(), "");
    EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.commentField()->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), dialog.addressField()->octetField(0));
}

TEST_F(StationDialogUiTest, LabelOfTheLastFocusedFieldIsRed) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    const struct {
        QWidget* focus;
        int red;
    } steps[] = {
        {dialog.addressField()->octetField(0), 0},  // where it opens
        {dialog.passwordField(), 1},
        {dialog.commentField(), 2},
        {dialog.okButton(), 2},  // a button keeps the last field's label
        {dialog.addressField()->octetField(2), 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.focus->metaObject()->className());
        step.focus->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(LabelColour(i), i == step.red ? QColor(255, 0, 0) : QColor(0, 0, 0)) << i;
        }
    }
}

// Quotes reach the database as typed: values are bound, never spliced in.
TEST_F(StationDialogUiTest, AddTypedByTheUserStoresThePaddedPasswordAndCloses) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    TypeIntoFocus("192.168.1.5");
    dialog.passwordField()->setFocus();
    TypeIntoFocus("it's\"");
    dialog.commentField()->setFocus();
    TypeIntoFocus("O'Brien \"lab\"; --");
    Ok();

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES",
                                    "192.168.1.5|it's\"*****|O'Brien \"lab\"; --|NO"));
    ASSERT_TRUE(dialog.refilledList());
    EXPECT_THAT(dialog.refilledList()->lines,
                ElementsAre(kSeedLine, "192.168.1.5      O'Brien \"lab\"; --"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(StationDialogUiTest, RefusalsKeepTheDialogOpenAndCancelWritesNothing) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    TypeIntoFocus("10.10.10");  // three numbers only
    Ok();
    dialog.addressField()->setAddress(0x0A0A0A0B);
    dialog.passwordField()->setText("abcdefghijk");
    Ok();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("Invalid IP Address", MessageIcon::Stop),
                                        IsStationMessage("Passwords are 10 characters max.",
                                                         MessageIcon::Stop)));

    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.refilledList());
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(StationDialogUiTest, EditOpensOnTheListedStationAndStoresItUnchanged) {
    StationDialog& dialog = Open(StationDialogMode::Edit, kSeedLine);
    EXPECT_EQ(dialog.windowTitle(), "Edit IP");
    EXPECT_EQ(dialog.addressField()->address(), 0x0A0A0A0Au);
    EXPECT_EQ(dialog.passwordField()->text(), "tamble****");
    EXPECT_EQ(dialog.commentField()->text(), "VNX DEFAULT IP");

    Ok();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES"));
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("IP Address Updated SucSuccessfully",
                                                         MessageIcon::Information)));
    ASSERT_TRUE(dialog.refilledList());
    EXPECT_EQ(dialog.refilledList()->text, kSeedLine);
}

TEST_F(StationDialogUiTest, EntryPointEndsTheRunningSessionFirst) {
    StartSession();
    bool sessionRanWhileOpen = true;
    OnNextModal([&](QWidget* modal) {
        sessionRanWhileOpen = PollRunning();
        auto* dialog = qobject_cast<StationDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->passwordField()->setText("new");
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    const std::optional<StationList> list =
        OpenStationDialog(nullptr, context_, StationDialogMode::Edit, kSeedLine);
    EXPECT_FALSE(sessionRanWhileOpen);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines, ElementsAre(kSeedLine));
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|new*******|VNX DEFAULT IP|YES"));
}

TEST_F(StationDialogUiTest, SetDefaultEndsTheSessionAndMarksTheListedStation) {
    StartSession();
    const std::optional<StationList> list = RunSetDefault(context_, "192.168.7.7");
    EXPECT_FALSE(PollRunning());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "");
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|NO"));
    EXPECT_EQ(recorder_.Lines(),
              std::vector<std::string>{"Default IP Address Set!|  Varnex v1|information|main"});
}

}  // namespace
}  // namespace varnex
