// The hooks as the windows give them: message boxes, questions, the settings
// file, launching, and the return-message popup.
#include "ui/widgets/qt_platform_hooks.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QKeyEvent>
#include <QPointer>
#include <QSettings>

#include "stations/station_test_support.h"
#include "ui/main_window/return_message_dialog.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    bool operator==(const BoxSeen&) const = default;
};
void PrintTo(const BoxSeen& box, std::ostream* out) {
    *out << box.title.toStdString() << '|' << box.text.toStdString() << '|' << box.icon;
}

// What the message box that `ask` opens showed; it is answered with `button`.
BoxSeen AnswerBox(QMessageBox::StandardButton button, const std::function<void()>& ask) {
    const ModalWatchdog watchdog;
    BoxSeen seen;
    OnNextModal([&seen, button](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->parentWidget()};
            box->button(button)->click();
        }
    });
    ask();
    return seen;
}

TEST(QtPlatformHooks, MessagesAndQuestionsShowTextIconAndCaptionOverTheMainWindow) {
    QWidget mainWindow;
    const PlatformHooks hooks = MakeQtPlatformHooks(&mainWindow);
    const auto show = [&](const Message& m) {
        return AnswerBox(QMessageBox::Ok, [&] { hooks.showMessage(m); });
    };
    EXPECT_EQ(show({MessageOwner::MainWindow, "Error Creating WinSock !!\r\nIt's Over !!", "",
                    MessageIcon::Stop}),
              (BoxSeen{"", "Error Creating WinSock !!\nIt's Over !!", QMessageBox::Critical,
                       &mainWindow}));
    // No dialog is open, so the main window owns it.
    EXPECT_EQ(
        show({MessageOwner::ActiveDialog, "Default IP Address Set!", "  Varnex v1",
              MessageIcon::Information}),
        (BoxSeen{"  Varnex v1", "Default IP Address Set!", QMessageBox::Information, &mainWindow}));

    const Message question{MessageOwner::MainWindow, "Change it ?\r\nAre You Sure ?", "",
                           MessageIcon::Question};
    for (const auto& [button, answer] :
         {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
        bool answered = !answer;
        EXPECT_EQ(AnswerBox(button, [&] { answered = hooks.askYesNo(question); }),
                  (BoxSeen{"", "Change it ?\nAre You Sure ?", QMessageBox::Question, &mainWindow}));
        EXPECT_EQ(answered, answer);
    }
}

TEST(QtPlatformHooks, SettingsLiveInTheUsersIniFileAndLaunchRefusesWhatCannotStart) {
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

    EXPECT_FALSE(hooks.launch({}));
    EXPECT_FALSE(hooks.launch({"/nonexistent/varnex-no-such-program", "127.0.0.1"}));
}

// A started program is known to run until it ends, and ends with the client
// at the latest. It is a harmless `sleep`, never a network tool.
TEST(QtPlatformHooks, LaunchedProgramsAreTrackedAndEndWithTheirWindow) {
    const testing::TempFolder folder;
    const std::string pidFile = folder.File("pid");
    const std::vector<std::string> argv = {"sh", "-c", "echo $$ > \"$1\"; exec sleep 30", "sh",
                                           pidFile};
    auto mainWindow = std::make_unique<QWidget>();
    const PlatformHooks hooks = MakeQtPlatformHooks(mainWindow.get());
    EXPECT_TRUE(hooks.findProgram("sh").has_value());
    EXPECT_FALSE(hooks.findProgram("varnex-no-such-program").has_value());
    EXPECT_FALSE(hooks.stillRunning(argv));
    ASSERT_TRUE(hooks.launch(argv));
    EXPECT_TRUE(hooks.stillRunning(argv));
    ASSERT_TRUE(PumpUntil([&] { return !testing::ReadBytes(pidFile).empty(); }, 3000));
    const pid_t pid = static_cast<pid_t>(std::stoi(testing::ReadBytes(pidFile)));
    ASSERT_EQ(kill(pid, 0), 0);
    mainWindow.reset();
    EXPECT_EQ(kill(pid, 0), -1) << "the program outlived the client";
    EXPECT_FALSE(hooks.stillRunning(argv));
}

TEST(ReturnMessageDialog, RedArialTextThatEnterAndEscapeDoNotCloseButTheSecondDoes) {
    QWidget owner;
    QPointer<ReturnMessageDialog> popup =
        ShowReturnMessage(&owner, QStringLiteral("Timer Data Received !"));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(popup->isModal());
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    const auto* label = popup->findChild<QLabel*>("IDC_STC");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(
        Shown({popup, label}) << popup->text(),
        (QStringList{"VNXv1 RETURN MESSAGE", "Timer Data Received !", "Timer Data Received !"}));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font().pointSize(), 28);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);

    for (const int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(popup, &press);
    }
    popup->close();
    ASSERT_FALSE(popup.isNull());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(PumpUntil([&] { return popup.isNull(); }, 3000));
}

TEST(ReturnMessageDialog, ABurstKeepsAtMostThreeOpenAndTheNewestShowsTheLatest) {
    QWidget owner;
    const QStringList texts = {"Relay Script Executed!", "Timer Data Received !",
                               "I/O Data Received !", "RDB Command Success !",
                               "SNMP Access Changed !"};
    for (const QString& text : texts) {
        ShowReturnMessage(&owner, text);
    }
    QStringList open;
    for (const ReturnMessageDialog* popup : owner.findChildren<ReturnMessageDialog*>()) {
        open << popup->text();
    }
    EXPECT_EQ(open, (QStringList{texts[0], texts[1], texts[4]}));
    EXPECT_TRUE(
        PumpUntil([&] { return owner.findChildren<ReturnMessageDialog*>().isEmpty(); }, 4000));
}

}  // namespace
}  // namespace varnex
