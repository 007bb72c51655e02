#include "main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QTimer>
#include <functional>
#include <set>

namespace varnex {
namespace {

const std::string kSeedLine = "10.10.10.10      VNX DEFAULT IP";
const std::string kNotFound = "SQL general overness, can't find the IP Address in the Database!";

void ExpectIdle(MainWindowTest& t, MainWindowControls& c) {
    (void)t;
    EXPECT_EQ(c.statusParts[0]->text(), QStringLiteral("STATUS:"));
    EXPECT_EQ(c.statusParts[1]->text(), QStringLiteral(" Not Connected"));
    EXPECT_EQ(c.statusParts[2]->text(), QStringLiteral(" MSG:  Choose IP, then Click on Start"));
    EXPECT_TRUE(c.start->isEnabled());
    EXPECT_FALSE(c.relayButtons[0]->isEnabled());
    EXPECT_FALSE(c.uptime->isEnabled());
    EXPECT_EQ(c.sent->text(), QStringLiteral("0"));
    EXPECT_EQ(c.firmwareVersion->text(), QStringLiteral("* . *"));
    EXPECT_EQ(c.timerLabel->text(), QStringLiteral("Timer Inactive"));
    for (const VoltmeterControls& v : c.voltmeters) {
        EXPECT_EQ(v.value->text(), QStringLiteral(" "));
        EXPECT_FALSE(v.bar->isVisibleTo(v.bar->parentWidget()));
    }
}

TEST_F(MainWindowTest, FirstStartWritesTheKeyAndTheSeedAndShowsTheSeedStation) {
    MainWindow& window = Open();
    EXPECT_TRUE(startUpResult_);
    EXPECT_TRUE(messages_.empty());
    const QString expected = data_.path() + QStringLiteral("/Korvath/VNXv1/VNXv1.MDB");
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Korvath"),
                       QStringLiteral("VNXv1"));
    EXPECT_EQ(settings.value(QStringLiteral("Options/Database/Location")).toString(), expected);
    EXPECT_TRUE(QFileInfo::exists(expected));

    MainWindowControls& c = window.controls();
    EXPECT_EQ(c.stationList->currentText().toStdString(), kSeedLine);
    EXPECT_EQ(c.stationList->count(), 1);
    for (const VoltmeterControls& v : c.voltmeters) {
        EXPECT_EQ(v.caption->text(), QString());
    }
    ExpectIdle(*this, c);
    EXPECT_EQ(c.autoPing->text(), QStringLiteral("Auto Ping  10.10.10.10"));
    EXPECT_EQ(c.relayNames[0]->text(), QStringLiteral("Relay 1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Varnex"));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(c.clientVersion->text(), QStringLiteral("1.8.6"));
}

TEST_F(MainWindowTest, AnExistingDatabaseFileIsLeftExactlyAsItWas) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    QFile file(QString::fromStdString(DatabasePath()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    Open();
    window_->close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

struct CommandLineCase {
    std::vector<std::string> argv;
    std::string message;
    std::string caption;
    bool keepsRunning;
};

TEST_F(MainWindowTest, CommandLineCasesShowTheirMessageAndStayIdle) {
    const std::string longPath = "/" + std::string(120, 'p') + "/varnex";
    const std::vector<CommandLineCase> cases = {
        {{"varnex", "192.168.100.1000"}, "Invalid IP Address", "", true},
        {{"varnex", "192.168.100.100"}, kNotFound, "  Varnex v1", true},
        {{"varnex", "\"10.10.10.10"}, "Shazbot! Non matching quotation marks !", "", true},
        {{longPath, "10.10.10.10"}, "The command line length is too long!", "", false},
    };
    for (const CommandLineCase& c : cases) {
        messages_.clear();
        Open(c.argv);
        ASSERT_EQ(messages_.size(), 1u) << c.argv.back();
        EXPECT_EQ(messages_[0].text, c.message);
        EXPECT_EQ(messages_[0].caption, c.caption);
        EXPECT_EQ(messages_[0].icon, MessageIcon::Stop);
        EXPECT_EQ(startUpResult_, c.keepsRunning);
        ExpectIdle(*this, controls());
        EXPECT_TRUE(launched_.empty());
    }
}

TEST_F(MainWindowTest, NoArgumentAndNoDefaultStationSaysSoAtStartUp) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    RemoveDefault();
    Open();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, kNotFound);
    EXPECT_EQ(messages_[0].caption, "  Varnex v1");
    EXPECT_EQ(controls().stationList->currentText(), QString());
    ExpectIdle(*this, controls());
}

TEST_F(MainWindowTest, ChoosingAStationChangesAutoPingWithoutStartingASession) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open();
    StationListBox* list = controls().stationList;
    ASSERT_EQ(list->count(), 2);
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_TRUE(PumpUntil(
        [&] { return controls().autoPing->text() == QStringLiteral("Auto Ping  127.0.0.1"); },
        2000));
    ExpectIdle(*this, controls());

    QTest::mouseClick(controls().autoPing, Qt::LeftButton);
    ASSERT_EQ(launched_.size(), 1u);
    EXPECT_EQ(launched_[0],
              (std::vector<std::string>{"x-terminal-emulator", "-e", "ping", "127.0.0.1"}));
}

TEST_F(MainWindowTest, SetDefaultMakesTheListedStationTheDefault) {
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open();
    controls().stationList->setEditText(QStringLiteral("127.0.0.1        Simulator"));
    QTest::mouseClick(controls().setDefault, Qt::LeftButton);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back().text, "Default IP Address Set!");
    window_.reset();
    messages_.clear();
    Open();
    EXPECT_EQ(controls().stationList->currentText(), QStringLiteral("127.0.0.1        Simulator"));
}

TEST_F(MainWindowTest, CreditsRotateInTheLastStatusBarPart) {
    Open();
    EXPECT_EQ(StatusPart(3), kStartUpCreditLine);
    Tick(kCreditsTimer);
    EXPECT_EQ(StatusPart(3), "               Varnex v1");
    std::set<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        Tick(kCreditsTimer);
        seen.insert(StatusPart(3));
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    MainWindow& window = Open();
    window.show();
    QTest::mouseClick(controls().exit, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace varnex

namespace varnex {
namespace {

// The menu's items in order: menu title, then its item texts.
std::vector<std::vector<QString>> MenuTexts(QMainWindow& window) {
    std::vector<std::vector<QString>> menus;
    for (QAction* menu : window.menuBar()->actions()) {
        std::vector<QString> texts = {menu->text()};
        for (QAction* item : menu->menu()->actions()) {
            texts.push_back(item->text());
        }
        menus.push_back(texts);
    }
    return menus;
}

QAction* MenuItem(QMainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == text) {
                return item;
            }
        }
    }
    return nullptr;
}

TEST_F(MainWindowTest, MenuHoldsFileOptionsAndHelp) {
    MainWindow& window = Open();
    const std::vector<std::vector<QString>> expected = {
        {"&File", "E&xit"}, {"&Options", "DataBase"}, {"&Help", "&About"}};
    EXPECT_EQ(MenuTexts(window), expected);
}

TEST_F(MainWindowTest, AboutButtonAndMenuItemOpenTheAboutBox) {
    MainWindow& window = Open();
    window.show();
    const std::vector<std::function<void()>> openers = {
        [&] { QTest::mouseClick(controls().about, Qt::LeftButton); },
        [&] { MenuItem(window, "&About")->trigger(); },
    };
    for (const auto& open : openers) {
        QString title;
        const ModalWatchdog watchdog;
        QTimer::singleShot(0, [&title] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                title = box->windowTitle();
                box->close();
            }
        });
        open();
        EXPECT_EQ(title, QStringLiteral("About VNXv1"));
    }
}

TEST_F(MainWindowTest, FileExitClosesTheWindow) {
    MainWindow& window = Open();
    window.show();
    MenuItem(window, "E&xit")->trigger();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace varnex
