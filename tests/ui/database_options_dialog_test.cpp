#include "ui/database_options_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "station_dialog_fixture.h"
#include "stations/database_location.h"

namespace varnex {
namespace {

class DatabaseOptionsDialogTest : public StationDialogTest {
  protected:
    void SetUp() override {
        StationDialogTest::SetUp();
        recorder_.hooks.writeSetting = [this](const std::string& key, const std::string& value) {
            settings_[key] = value;
            return true;
        };
    }
    DatabaseOptionsDialog& Open() {
        dialog_ = std::make_unique<DatabaseOptionsDialog>(
            nullptr, recorder_.hooks, memory_,
            [this](QWidget*, const FileOpenRequest& request) -> std::optional<QString> {
                requests_.push_back(request);
                return nextChoice_;
            });
        dialog_->show();
        return *dialog_;
    }

    std::map<std::string, std::string> settings_;
    DatabaseLocationMemory memory_{"/data/VNXv1.MDB", ""};
    std::vector<FileOpenRequest> requests_;
    std::optional<QString> nextChoice_;
    std::unique_ptr<DatabaseOptionsDialog> dialog_;
};

TEST_F(DatabaseOptionsDialogTest, OpensOnThePathInMemory) {
    DatabaseOptionsDialog& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), "DataBase Options");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Set Location of the VNXv1 Data Base");
    EXPECT_EQ(QStringList({dialog.browseButton()->text(), dialog.okButton()->text(),
                           dialog.cancelButton()->text()}),
              QStringList({"....", "OK", "Cancel"}));
    EXPECT_EQ(dialog.pathField()->text(), "/data/VNXv1.MDB");
}

TEST_F(DatabaseOptionsDialogTest, BrowseAsksForAnExistingFileAndRemembersTheChoice) {
    Open();
    nextChoice_ = QString("/picked/other.MDB");
    QTest::mouseClick(dialog_->browseButton(), Qt::LeftButton);
    EXPECT_EQ(dialog_->pathField()->text(), "/picked/other.MDB");
    nextChoice_.reset();  // cancelled: the field keeps its text
    QTest::mouseClick(dialog_->browseButton(), Qt::LeftButton);
    EXPECT_EQ(dialog_->pathField()->text(), "/picked/other.MDB");

    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_EQ(requests_[0].title, "Find the VNXv1.MDB file");
    EXPECT_EQ(requests_[0].filters, QStringList({"All Files (*)", "Text Files (*.txt)"}));
    EXPECT_EQ(requests_[0].startFile, "");
    EXPECT_EQ(requests_[1].startFile, "/picked/other.MDB");

    // Cancel keeps the path and the key, yet the next dialog of the run starts on the pick.
    QTest::mouseClick(dialog_->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(memory_.path, "/data/VNXv1.MDB");
    EXPECT_TRUE(settings_.empty());
    Open();
    QTest::mouseClick(dialog_->browseButton(), Qt::LeftButton);
    EXPECT_EQ(requests_.back().startFile, "/picked/other.MDB");
}

TEST_F(DatabaseOptionsDialogTest, OkStoresTheKeyAndMakesNoFile) {
    const std::string newPath = folder_.File("elsewhere.MDB");
    Open();
    dialog_->pathField()->setText(QString::fromStdString(newPath));
    QTest::mouseClick(dialog_->okButton(), Qt::LeftButton);

    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(memory_.path, newPath);
    EXPECT_EQ(settings_.at(std::string(kDatabaseLocationKey)), newPath);
    EXPECT_FALSE(std::filesystem::exists(newPath));
    EXPECT_TRUE(messages().empty());
}

TEST_F(DatabaseOptionsDialogTest, EntryPointLeavesTheSessionRunning) {
    StartSession();
    OnNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<DatabaseOptionsDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    OpenDatabaseOptionsDialog(nullptr, context_, memory_);
    EXPECT_TRUE(PollRunning());
}

}  // namespace
}  // namespace varnex
