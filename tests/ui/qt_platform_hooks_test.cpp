#include "ui/qt_platform_hooks.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    QTimer::singleShot(0, [&seen, button] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
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
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    EXPECT_EQ(hooks.readSetting("Options/Database/Location"), std::nullopt);
    EXPECT_TRUE(hooks.writeSetting("Options/Database/Location", "/data/it's \"here\".MDB"));
    EXPECT_EQ(hooks.readSetting("Options/Database/Location"), "/data/it's \"here\".MDB");
    QFile ini(config.filePath(QStringLiteral("Korvath/VNXv1.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray content = ini.readAll();
    EXPECT_TRUE(content.contains("[Options]")) << content.toStdString();
    EXPECT_TRUE(content.contains("Database\\Location=")) << content.toStdString();
}

TEST(QtPlatformHooks, LaunchRefusesWhatCannotStart) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    EXPECT_FALSE(hooks.launch({}));
    EXPECT_FALSE(hooks.launch({"/nonexistent/varnex-no-such-program", "127.0.0.1"}));
}

TEST(QtPlatformHooks, TickCountAdvancesWithTime) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    const uint32_t first = hooks.tickCount();
    QTest::qWait(20);
    EXPECT_GE(hooks.tickCount() - first, 15u);
}

}  // namespace
}  // namespace varnex
