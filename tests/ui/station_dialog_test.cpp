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

// Types like a user: each key goes to whichever control has the focus.
void Type(const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) {
        QTest::keyClick(QApplication::focusWidget(), *key);
    }
}

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
    std::unique_ptr<StationDialog> dialog_;
};

TEST_F(StationDialogUiTest, AddOpensEmptyWithItsTitlesAndFocusInTheAddress) {
    StationDialog& dialog = Open(StationDialogMode::Add, kSeedLine);
    EXPECT_EQ(dialog.windowTitle(), "Add IP");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Add IP Address to Data Base");
    EXPECT_EQ(dialog.fieldLabel(0)->text(), "IP Address:");
    EXPECT_EQ(dialog.fieldLabel(1)->text(), "Password:");
    EXPECT_EQ(dialog.fieldLabel(2)->text(), "Comment:");
    EXPECT_EQ(dialog.okButton()->text(), "OK");
    EXPECT_EQ(dialog.cancelButton()->text(), "Cancel");
    EXPECT_TRUE(dialog.addressField()->isBlank());
    EXPECT_EQ(dialog.passwordField()->text(), "");
    EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.commentField()->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), dialog.addressField()->octetField(0));
    EXPECT_EQ(LabelColour(0), QColor(255, 0, 0));
    EXPECT_EQ(LabelColour(1), QColor(0, 0, 0));
}

TEST_F(StationDialogUiTest, LabelOfTheLastFocusedFieldIsRed) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    const struct {
        QWidget* focus;
        int red;
    } steps[] = {
        {dialog.passwordField(), 1},
        {dialog.commentField(), 2},
        {dialog.okButton(), 2},  // a button keeps the last field's label
        {dialog.addressField()->octetField(2), 0},
    };
    for (const auto& step : steps) {
        step.focus->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(LabelColour(i), i == step.red ? QColor(255, 0, 0) : QColor(0, 0, 0))
                << "label " << i << " with the focus on " << step.focus->metaObject()->className();
        }
    }
}

TEST_F(StationDialogUiTest, AddTypedByTheUserStoresThePaddedPasswordAndCloses) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    Type("192.168.1.5");
    dialog.passwordField()->setFocus();
    Type("abc");
    dialog.commentField()->setFocus();
    Type("Pump house");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES",
                                    "192.168.1.5|abc*******|Pump house|NO"));
    ASSERT_TRUE(dialog.refilledList());
    EXPECT_THAT(dialog.refilledList()->lines,
                ElementsAre(kSeedLine, "192.168.1.5      Pump house"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(StationDialogUiTest, AddRefusalsKeepTheDialogOpen) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    Type("10.10.10");  // three numbers only
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    dialog.addressField()->setAddress(0x0A0A0A0A);  // stored, and no password yet
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    dialog.addressField()->setAddress(0x0A0A0A0B);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    dialog.passwordField()->setText("abcdefghijk");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_THAT(
        messages(),
        ElementsAre(
            IsStationMessage("Invalid IP Address", MessageIcon::Stop),
            IsStationMessage("This IP Address already exists in the database!", MessageIcon::Stop),
            IsStationMessage("Bad Password!!", MessageIcon::Stop),
            IsStationMessage("Passwords are 10 characters max.", MessageIcon::Stop)));
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(StationDialogUiTest, EditOpensOnTheListedStationAndStoresItUnchanged) {
    StationDialog& dialog = Open(StationDialogMode::Edit, kSeedLine);
    EXPECT_EQ(dialog.windowTitle(), "Edit IP");
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Add IP Address to Data Base");
    EXPECT_EQ(dialog.addressField()->address(), 0x0A0A0A0Au);
    EXPECT_EQ(dialog.passwordField()->text(), "tamble****");
    EXPECT_EQ(dialog.commentField()->text(), "VNX DEFAULT IP");

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES"));
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("IP Address Updated SucSuccessfully",
                                                         MessageIcon::Information)));
    ASSERT_TRUE(dialog.refilledList());
    EXPECT_EQ(dialog.refilledList()->text, kSeedLine);
}

TEST_F(StationDialogUiTest, EditOfAnUnknownStationOpensEmptyAndIsRefused) {
    StationDialog& dialog = Open(StationDialogMode::Edit, "192.168.9.9");
    EXPECT_TRUE(dialog.addressField()->isBlank());
    EXPECT_EQ(dialog.passwordField()->text(), "");
    dialog.addressField()->setAddress(0xC0A80909);
    dialog.passwordField()->setText("abc");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("This IP Address is not in the database!",
                                                         MessageIcon::Stop)));
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(StationDialogUiTest, QuotesTypedInPasswordAndCommentAreStoredExactly) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    dialog.addressField()->setAddress(0x7F000002);
    dialog.passwordField()->setFocus();
    Type("it's\"");
    dialog.commentField()->setFocus();
    Type("O'Brien \"lab\"; --");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_THAT(testing::Sqlite(path_,
                                "SELECT PASSWORD || '|' || COMMENT FROM main "
                                "WHERE IPADDRESS = '127.0.0.2'"),
                ElementsAre("it's\"*****|O'Brien \"lab\"; --"));
}

TEST_F(StationDialogUiTest, CancelWritesNothing) {
    StationDialog& dialog = Open(StationDialogMode::Add);
    dialog.addressField()->setAddress(0x7F000002);
    dialog.passwordField()->setText("abc");
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.refilledList());
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_TRUE(messages().empty());
}

TEST_F(StationDialogUiTest, EntryPointEndsTheRunningSessionFirst) {
    StartSession();
    bool sessionRanWhileOpen = true;
    WhenModalOpens([&](QWidget* modal) {
        sessionRanWhileOpen = PollRunning();
        auto* dialog = qobject_cast<StationDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Edit IP");
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
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Default IP Address Set!");
    EXPECT_EQ(messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages()[0].caption, "  Varnex v1");
}

}  // namespace
}  // namespace varnex
