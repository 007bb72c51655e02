#include "ui/qt_platform_hooks.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QSettings>

#include "stations/station_test_support.h"
#include "ui_test_support.h"

namespace varnex {
namespace {

// Answers the next modal message box with `button` after noting what it showed.
struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
};

void AnswerNextBox(BoxSeen& seen, QMessageBox::StandardButton button) {
    OnNextModal([&seen, button](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget()};
            box->button(button)->click();
        }
    });
}

TEST(QtPlatformHooks, MessageBoxShowsTextIconAndCaptionOverTheMainWindow) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    const ModalWatchdog watchdog;
    BoxSeen seen;
    AnswerNextBox(seen, QMessageBox::Ok);
    hooks.showMessage({MessageOwner::MainWindow, "Error Creating WinSock !!\r\nIt's Over !!", "",
                       MessageIcon::Stop});
    EXPECT_EQ(seen.text, QStringLiteral("Error Creating WinSock !!\nIt's Over !!"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.parent, &mainWindow);

    AnswerNextBox(seen, QMessageBox::Ok);
    hooks.showMessage({MessageOwner::ActiveDialog, "Default IP Address Set!", "  Varnex v1",
                       MessageIcon::Information});
    EXPECT_EQ(seen.title, QStringLiteral("  Varnex v1"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.parent, &mainWindow);  // no dialog is open
}

TEST(QtPlatformHooks, YesNoQuestionAnswersTheButtonPressed) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    const Message question{MessageOwner::MainWindow, "Change it ?\r\nAre You Sure ?", "",
                           MessageIcon::Question};
    const ModalWatchdog watchdog;
    BoxSeen seen;
    AnswerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(hooks.askYesNo(question));
    EXPECT_EQ(seen.text, QStringLiteral("Change it ?\nAre You Sure ?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    AnswerNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(hooks.askYesNo(question));
}

TEST(QtPlatformHooks, SettingsLiveInTheUsersIniFile) {
    const testing::TempFolder config;
    ASSERT_FALSE(config.path().empty());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(config.path()));
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    EXPECT_EQ(hooks.readSetting("Options/Database/Location"), std::nullopt);
    EXPECT_TRUE(hooks.writeSetting("Options/Database/Location", "/data/it's \"here\".MDB"));
    EXPECT_EQ(hooks.readSetting("Options/Database/Location"), "/data/it's \"here\".MDB");
    const std::string content = testing::ReadBytes(config.File("Korvath/VNXv1.ini"));
    EXPECT_NE(content.find("[Options]"), std::string::npos) << content;
    EXPECT_NE(content.find("Database\\Location="), std::string::npos) << content;
}

TEST(QtPlatformHooks, LaunchRefusesWhatCannotStart) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    EXPECT_FALSE(hooks.launch({}));
    EXPECT_FALSE(hooks.launch({"/nonexistent/varnex-no-such-program", "127.0.0.1"}));
}

}  // namespace
}  // namespace varnex
