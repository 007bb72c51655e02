// The database location chosen in "DataBase Options" against a real main
// window: the run keeps its database, the next start uses the new file.
#include "main_window_fixture.h"  // first: it must precede every Qt header

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include "ui/database_options_dialog.h"

namespace varnex {
namespace {

const char* const kSeedLine = "10.10.10.10      VNX DEFAULT IP";

QString StoredLocation() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Korvath"),
                       QStringLiteral("VNXv1"));
    return settings.value(QStringLiteral("Options/Database/Location")).toString();
}

class DatabaseLocationRestartTest : public MainWindowTest {
  protected:
    // Opens the dialog over the running window, types `path` and presses `button`.
    void ChooseLocation(const QString& path, bool ok) {
        DatabaseLocationMemory memory{DatabasePath(), ""};
        DatabaseOptionsDialog dialog(window_.get(), window_->hooks(), memory);
        dialog.show();
        EXPECT_EQ(dialog.pathField()->text().toStdString(), DatabasePath());
        dialog.pathField()->setText(path);
        QTest::mouseClick(ok ? dialog.okButton() : dialog.cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(memory.path, (ok ? path.toStdString() : DatabasePath()));
    }
    std::size_t StationsInTheRunningDatabase() {
        const std::optional<StationList> list =
            window_->stations().FillStationList(MessageOwner::MainWindow);
        return list ? list->lines.size() : 0;
    }
};

TEST_F(DatabaseLocationRestartTest, OkTakesEffectAtTheNextStartWhichSeedsTheNewFile) {
    AddStation("127.0.0.2", "bench", "Bench unit");
    Open();
    ASSERT_EQ(controls().stationList->count(), 2);
    const QString newPath = data_.path() + QStringLiteral("/elsewhere.MDB");

    ChooseLocation(newPath, true);
    EXPECT_EQ(StoredLocation(), newPath);
    EXPECT_EQ(StationsInTheRunningDatabase(), 2u);
    EXPECT_FALSE(QFileInfo::exists(newPath));

    window_.reset();
    Open();
    EXPECT_TRUE(QFileInfo::exists(newPath));
    EXPECT_EQ(controls().stationList->count(), 1);
    EXPECT_EQ(controls().stationList->currentText().toStdString(), kSeedLine);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(DatabaseLocationRestartTest, CancelKeepsTheStoredLocation) {
    AddStation("127.0.0.2", "bench", "Bench unit");
    Open();
    const QString before = StoredLocation();
    ChooseLocation(data_.path() + QStringLiteral("/elsewhere.MDB"), false);
    EXPECT_EQ(StoredLocation(), before);

    window_.reset();
    Open();
    EXPECT_EQ(controls().stationList->count(), 2);
}

}  // namespace
}  // namespace varnex
