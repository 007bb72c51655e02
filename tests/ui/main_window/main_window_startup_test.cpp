// The main window from start-up to exit without a unit: settings and seed
// database, the command line, the station list, the menu and the database
// location chosen for the next start.
#include "ui/main_window/main_window_fixture.h"  // first: it must precede every Qt header

#include <QFileInfo>

#include "stations/station_watch.h"
#include "ui/settings/voltmeter_options_dialog.h"
#include "ui/stations/database_options_dialog.h"

namespace varnex {
namespace {

const QString kSeedLine = "10.10.10.10      VNX DEFAULT IP";
const std::string kNotFound = "SQL general overness, can't find the IP Address in the Database!";

void ExpectIdle(MainWindowControls& c) {
    EXPECT_EQ(
        Shown({c.statusParts[1], c.statusParts[2], c.firmwareVersion, c.voltmeters[0].value}),
        (QStringList{" Not Connected", " MSG:  Choose IP, then Click on Start", "* . *", " "}));
    EXPECT_TRUE(c.start->isEnabled());
    EXPECT_FALSE(c.relayButtons[0]->isEnabled());
}

QString StoredDatabaseLocation() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Korvath", "VNXv1")
        .value("Options/Database/Location")
        .toString();
}

TEST_F(MainWindowTest, FirstStartWritesTheKeyAndTheSeedAndShowsTheSeedStation) {
    MainWindow& window = Open();
    EXPECT_TRUE(startUpResult_);
    EXPECT_TRUE(messages_.empty());
    const QString expected = QString::fromStdString(data_.File("Korvath/VNXv1/VNXv1.MDB"));
    EXPECT_EQ(StoredDatabaseLocation(), expected);
    EXPECT_TRUE(QFileInfo::exists(expected));

    MainWindowControls& c = window.controls();
    EXPECT_EQ(c.stationList->count(), 1);
    ExpectIdle(c);
    EXPECT_EQ(Shown({&window, c.stationList, c.statusParts[0], c.autoPing, c.relayNames[0],
                     c.clientVersion, c.statusParts[3]}),
              (QStringList{"Varnex", kSeedLine, "STATUS:", "Auto Ping  10.10.10.10", "Relay 1",
                           "1.8.6", kStartUpCreditLine}));
    Tick(kCreditsTimer);
    EXPECT_EQ(c.statusParts[3]->text(), "               Varnex v1");
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    window.show();
    // Right edges at 50, 140 and 360 pixels.
    EXPECT_EQ((std::vector{c.statusParts[0]->width(), c.statusParts[1]->width(),
                           c.statusParts[2]->width()}),
              (std::vector{50, 90, 220}));
    QTest::mouseClick(c.exit, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, AnExistingDatabaseFileIsLeftExactlyAsItWas) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    const std::string before = testing::ReadBytes(DatabasePath());
    Open();
    window_->close();
    EXPECT_EQ(testing::ReadBytes(DatabasePath()), before);
}

TEST_F(MainWindowTest, CommandLineCasesShowTheirMessageAndStayIdle) {
    const struct {
        std::vector<std::string> argv;
        std::string message;
        bool keepsRunning;
    } cases[] = {
        {{"varnex", "192.168.100.1000"}, "Invalid IP Address||stop|main", true},
        {{"/" + std::string(120, 'p') + "/varnex", "10.10.10.10"},
         "The command line length is too long!||stop|main",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv.back());
        messages_.clear();
        Open(c.argv);
        EXPECT_EQ(testing::MessageLines(messages_), std::vector<std::string>{c.message});
        EXPECT_EQ(startUpResult_, c.keepsRunning);
        ExpectIdle(controls());
        EXPECT_TRUE(launched_.empty());
    }
}

TEST_F(MainWindowTest, NoArgumentAndNoDefaultStationSaysSoAtStartUp) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    testing::Sqlite(DatabasePath(), "UPDATE main SET \"DEFAULT\"='NO'");
    Open();
    EXPECT_EQ(testing::MessageLines(messages_),
              std::vector<std::string>{kNotFound + "|  Varnex v1|stop|main"});
    EXPECT_EQ(controls().stationList->currentText(), QString());
    ExpectIdle(controls());
}

TEST_F(MainWindowTest, ChoosingAStationChangesAutoPingWithoutStartingASession) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open();
    StationListBox* list = controls().stationList;
    ASSERT_EQ(list->count(), 2);
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_TRUE(
        PumpUntil([&] { return controls().autoPing->text() == "Auto Ping  127.0.0.1"; }, 2000));
    ExpectIdle(controls());

    QTest::mouseClick(controls().autoPing, Qt::LeftButton);
    ASSERT_EQ(launched_.size(), 1u);
    EXPECT_EQ(
        (std::vector<std::string>{launched_[0][0], launched_[0].end()[-2], launched_[0].back()}),
        (std::vector<std::string>{"x-terminal-emulator", "ping", "127.0.0.1"}));
}

TEST_F(MainWindowTest, SetDefaultMakesTheListedStationTheDefault) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open();
    controls().stationList->setEditText("127.0.0.1        Simulator");
    QTest::mouseClick(controls().setDefault, Qt::LeftButton);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back().text, "Default IP Address Set!");
    window_.reset();
    messages_.clear();
    Open();
    EXPECT_EQ(controls().stationList->currentText(), "127.0.0.1        Simulator");
}

// Takes effect at the next start, which seeds the new file; the run keeps
// the database it opened.
TEST_F(MainWindowTest, ADatabaseLocationChosenInOptionsIsUsedFromTheNextStart) {
    AddStation("127.0.0.2", "bench", "Bench unit");
    Open();
    const QString newPath = QString::fromStdString(data_.File("elsewhere.MDB"));
    {
        DatabaseLocationMemory memory{DatabasePath(), ""};
        DatabaseOptionsDialog dialog(window_.get(), window_->hooks(), memory);
        dialog.show();
        EXPECT_EQ(dialog.pathField()->text().toStdString(), DatabasePath());
        dialog.pathField()->setText(newPath);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    }
    EXPECT_EQ(StoredDatabaseLocation(), newPath);
    EXPECT_EQ(window_->stations().FillStationList(MessageOwner::MainWindow).value().lines.size(),
              2u);
    EXPECT_FALSE(QFileInfo::exists(newPath));

    window_.reset();
    Open();
    EXPECT_TRUE(QFileInfo::exists(newPath));
    EXPECT_EQ(controls().stationList->count(), 1);
    EXPECT_EQ(controls().stationList->currentText(), kSeedLine);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, MenuHoldsFileOptionsAndHelpAndItsItemsOpenTheirDialogsOrExit) {
    MainWindow& window = Open();
    std::vector<std::vector<QString>> menus;
    for (QAction* menu : window.menuBar()->actions()) {
        menus.push_back({menu->text()});
        for (QAction* item : menu->menu()->actions()) {
            menus.back().push_back(item->text());
        }
    }
    EXPECT_EQ(menus, (std::vector<std::vector<QString>>{
                         {"&File", "E&xit"},
                         {"&Options", "DataBase", "History...", "History Retention...",
                          "Stations Overview", "Alarm List..."},
                         {"&Help", "&About"}}));
    window.show();
    EXPECT_EQ(DialogOpenedBy([&] { MenuItem("DataBase")->trigger(); }),
              "varnex::DatabaseOptionsDialog");
    EXPECT_EQ(DialogOpenedBy([&] { MenuItem("&About")->trigger(); }), "varnex::AboutBox");
    EXPECT_EQ(DialogOpenedBy([&] { MenuItem("History Retention...")->trigger(); }), "QInputDialog");
    MenuItem("Stations Overview")->trigger();
    auto* overview = window.findChild<QWidget*>("OverviewWindow");
    ASSERT_NE(overview, nullptr);
    EXPECT_TRUE(overview->isVisible());
    MenuItem("Alarm List...")->trigger();
    ASSERT_NE(window.alarmCentre().alarmList(), nullptr);
    EXPECT_TRUE(window.alarmCentre().alarmList()->isVisible());
    window.alarmCentre().alarmList()->close();
    MenuItem("History...")->trigger();
    auto* history = window.findChild<QWidget*>("HistoryWindow");
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->isVisible());
    QTest::mouseClick(window.controls().history, Qt::LeftButton);
    EXPECT_EQ(window.findChildren<QWidget*>("HistoryWindow").size(), 1);  // raised, not another
    MenuItem("E&xit")->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, AJumperThatNarrowsTheRangeBelowTheAlarmLimitsSaysSo) {
    const struct {
        const char* name;
        double upper;
        bool install;
        bool warned;
    } cases[] = {
        {"40 V fits 0-60 V but not 0-30 V", 40.0, true, true},
        {"25 V fits both ranges", 25.0, true, false},
        {"the jumper stays out", 40.0, false, false},
    };
    AddStation("127.0.0.1", "tamble", "Simulator", {{1, {"OFF", "STANDARD", "Battery", "Mains"}}});
    Open();
    window_->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetVoltmeterOptions(window_->stations(), "127.0.0.1", 1,
                                        {"OFF", "STANDARD", "Battery", "Mains"}));
        StationWatch watch = NewStationWatch();
        watch.voltmeters[0].upper = c.upper;
        ASSERT_TRUE(SaveStationWatch(window_->stations(), "127.0.0.1", watch));
        ASSERT_TRUE(window_->session().LoadStation("127.0.0.1"));
        messages_.clear();
        OnNextModal([&c](QWidget* dialog) {
            auto* options = qobject_cast<VoltmeterOptionsDialog*>(dialog);
            ASSERT_NE(options, nullptr);
            (c.install ? options->installedChoice() : options->notInstalledChoice())->click();
            options->okButton()->click();
        });
        const ModalWatchdog watchdog;
        QTest::mouseClick(controls().voltmeters[0].options, Qt::LeftButton);
        const bool warned = std::any_of(messages_.begin(), messages_.end(), [](const Message& m) {
            return m.text.find("Change the limits in Alarm Settings.") != std::string::npos;
        });
        EXPECT_EQ(warned, c.warned);
    }
}

}  // namespace
}  // namespace varnex
