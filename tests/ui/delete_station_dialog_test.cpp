#include "ui/delete_station_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "station_dialog_fixture.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;

// The factory row and 127.0.0.2, which is the default.
class DeleteStationDialogTest : public StationDialogTest {
  protected:
    void SetUp() override {
        StationDialogTest::SetUp();
        ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "bench"));
        ASSERT_TRUE(store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.2"));
        recorder_.messages.clear();
        dialog_ = std::make_unique<DeleteStationDialog>(nullptr, store_);
        dialog_->show();
    }
    void DeleteTyped(const QString& text) {
        dialog_->addressList()->setEditText(text);
        QTest::mouseClick(dialog_->deleteButton(), Qt::LeftButton);
    }
    std::unique_ptr<DeleteStationDialog> dialog_;
};

TEST_F(DeleteStationDialogTest, OpensOnEveryAddressWithTheDefaultInTheField) {
    EXPECT_EQ(dialog_->windowTitle(), "Delete IP");
    EXPECT_FALSE(dialog_->windowIcon().isNull());
    EXPECT_EQ(dialog_->findChild<QGroupBox*>()->title(), "Delete IP Address from Data Base");
    EXPECT_EQ(dialog_->deleteButton()->text(), "DELETE");
    EXPECT_EQ(dialog_->cancelButton()->text(), "Cancel");
    ASSERT_EQ(dialog_->addressList()->count(), 2);
    EXPECT_EQ(dialog_->addressList()->itemText(0), "10.10.10.10");
    EXPECT_EQ(dialog_->addressList()->itemText(1), "127.0.0.2");
    EXPECT_EQ(dialog_->addressList()->currentText(), "127.0.0.2");
    EXPECT_TRUE(dialog_->addressList()->isEditable());
}

TEST_F(DeleteStationDialogTest, FactoryAddressIsRefusedAndCancelDeletesNothing) {
    DeleteTyped("10.10.10.10");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_THAT(messages(),
                ElementsAre(IsStationMessage("Don't Delete the Default IP!", MessageIcon::None)));
    QTest::mouseClick(dialog_->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_FALSE(dialog_->refilledList());
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(DeleteStationDialogTest, DeletingTheDefaultStationLeavesTheListTextEmpty) {
    QTest::mouseClick(dialog_->deleteButton(), Qt::LeftButton);  // the field shows 127.0.0.2
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_THAT(Rows(), ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|NO"));
    ASSERT_TRUE(dialog_->refilledList());
    EXPECT_THAT(dialog_->refilledList()->lines, ElementsAre(kSeedLine));
    EXPECT_EQ(dialog_->refilledList()->text, "");
    EXPECT_THAT(messages(), ElementsAre(IsStationMessage("IP Address Deleted From Database !",
                                                         MessageIcon::None)));
}

TEST_F(DeleteStationDialogTest, EntryPointEndsTheRunningSessionFirst) {
    dialog_.reset();
    StartSession();
    bool sessionRanWhileOpen = true;
    OnNextModal([&](QWidget* modal) {
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
