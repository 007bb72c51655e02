#include "ui/delete_station_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "station_dialog_fixture.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;

class DeleteStationDialogTest : public StationDialogTest {
  protected:
    void AddDefaultStation() {
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
        ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2"));
        recorder_.messages.clear();
    }
    DeleteStationDialog& Open() {
        dialog_ = std::make_unique<DeleteStationDialog>(nullptr, store_);
        dialog_->show();
        return *dialog_;
    }
    void DeleteTyped(const QString& text) {
        dialog_->addressList()->setEditText(text);
        QTest::mouseClick(dialog_->deleteButton(), Qt::LeftButton);
    }
    std::unique_ptr<DeleteStationDialog> dialog_;
};

TEST_F(DeleteStationDialogTest, OpensOnEveryAddressWithTheDefaultInTheField) {
    AddDefaultStation();
    DeleteStationDialog& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), "Delete IP");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Delete IP Address from Data Base");
    EXPECT_EQ(dialog.deleteButton()->text(), "DELETE");
    EXPECT_EQ(dialog.cancelButton()->text(), "Cancel");
    ASSERT_EQ(dialog.addressList()->count(), 2);
    EXPECT_EQ(dialog.addressList()->itemText(0), "10.10.10.10");
    EXPECT_EQ(dialog.addressList()->itemText(1), "127.0.0.2");
    EXPECT_EQ(dialog.addressList()->currentText(), "127.0.0.2");
    EXPECT_TRUE(dialog.addressList()->isEditable());
}

TEST_F(DeleteStationDialogTest, FactoryAddressIsRefusedEvenWhenAnotherIsDefault) {
    AddDefaultStation();
    Open();
    DeleteTyped("10.10.10.10");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_THAT(messages(),
                ElementsAre(IsStationMessage("Don't Delete the Default IP!", MessageIcon::None)));
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(DeleteStationDialogTest, DeletingTheDefaultStationLeavesTheListTextEmpty) {
    AddDefaultStation();
    Open();
    QTest::mouseClick(dialog_->deleteButton(), Qt::LeftButton);  // the field shows 127.0.0.2
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|NO"));
    ASSERT_TRUE(dialog_->refilledList());
    EXPECT_THAT(dialog_->refilledList()->lines, ElementsAre(kSeedLine));
    EXPECT_EQ(dialog_->refilledList()->text, "");
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("IP Address Deleted From Database !",
                                                         MessageIcon::None)));
}

TEST_F(DeleteStationDialogTest, UnknownAddressIsStillReportedDeleted) {
    Open();
    DeleteTyped("192.168.50.50");
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("IP Address Deleted From Database !",
                                                         MessageIcon::None)));
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(DeleteStationDialogTest, CancelDeletesNothing) {
    AddDefaultStation();
    Open();
    QTest::mouseClick(dialog_->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_FALSE(dialog_->refilledList());
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DeleteStationDialogTest, EntryPointEndsTheRunningSessionFirst) {
    AddDefaultStation();
    StartSession();
    bool sessionRanWhileOpen = true;
    WhenModalOpens([&](QWidget* modal) {
        sessionRanWhileOpen = PollRunning();
        auto* dialog = qobject_cast<DeleteStationDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->deleteButton(), Qt::LeftButton);
    });
    const std::optional<StationList> list = OpenDeleteStationDialog(nullptr, context_);
    EXPECT_FALSE(sessionRanWhileOpen);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines, ElementsAre(kSeedLine));
}

}  // namespace
}  // namespace varnex
