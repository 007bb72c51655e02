#include "ui/widgets/qt_platform_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <map>
#include <memory>

#include "session/network_commands.h"
#include "ui/main_window/return_message_dialog.h"

namespace varnex {

namespace {

constexpr int kStartWaitMs = 2000;

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(kSettingsOrganisation),
                                       QString::fromLatin1(kSettingsApplication));
}

QWidget* OwnerOf(const Message& message, QWidget* mainWindow) {
    if (message.owner == MessageOwner::ActiveDialog) {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            return dialog;
        }
    }
    return mainWindow;
}

int RunMessageBox(const Message& message, QWidget* mainWindow,
                  QMessageBox::StandardButtons buttons) {
    QMessageBox box(ToQtIcon(message.icon), QString::fromStdString(message.caption),
                    ToQtText(message.text), buttons, OwnerOf(message, mainWindow));
    return box.exec();
}

}  // namespace

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString ToQtText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

PlatformHooks MakeQtPlatformHooks(QWidget* mainWindow) {
    PlatformHooks hooks;
    const QPointer<QWidget> owner(mainWindow);
    hooks.showMessage = [owner](const Message& message) {
        RunMessageBox(message, owner, QMessageBox::Ok);
    };
    hooks.askYesNo = [owner](const Message& message) {
        return RunMessageBox(message, owner, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    hooks.showReturnMessage = [owner](int, const std::string& text) {
        if (owner) {
            ShowReturnMessage(owner, QString::fromStdString(text));
        }
    };
    // The processes started stay children of the main window: each shows
    // its own terminal window, and whatever still runs ends with the client.
    auto started = std::make_shared<std::map<std::vector<std::string>, QPointer<QProcess>>>();
    hooks.launch = [owner, started](const std::vector<std::string>& argv) {
        if (argv.empty() || !owner) {
            return false;
        }
        QStringList arguments;
        for (std::size_t i = 1; i < argv.size(); ++i) {
            arguments << QString::fromStdString(argv[i]);
        }
        auto* process = new QProcess(owner);
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        process->start(QString::fromStdString(argv[0]), arguments);
        if (!process->waitForStarted(kStartWaitMs)) {
            delete process;
            return false;
        }
        (*started)[argv] = process;
        return true;
    };
    hooks.stillRunning = [started](const std::vector<std::string>& argv) {
        const auto found = started->find(argv);
        return found != started->end() && found->second &&
               found->second->state() != QProcess::NotRunning;
    };
    hooks.findProgram = [](const std::string& name) -> std::optional<std::string> {
        const QString path = QStandardPaths::findExecutable(QString::fromStdString(name));
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return QFileInfo(path).canonicalFilePath().toStdString();
    };
    hooks.tickCount = [] {
        QElapsedTimer clock;
        clock.start();
        return static_cast<uint32_t>(clock.msecsSinceReference());
    };
    hooks.beep = [] { QApplication::beep(); };
    hooks.localAddress = [] { return FirstLocalAddress(); };
    hooks.readSetting = [](const std::string& key) -> std::optional<std::string> {
        const QVariant value = OpenSettingsStore()->value(QString::fromStdString(key));
        if (!value.isValid()) {
            return std::nullopt;
        }
        return value.toString().toStdString();
    };
    hooks.writeSetting = [](const std::string& key, const std::string& value) {
        const std::unique_ptr<QSettings> store = OpenSettingsStore();
        store->setValue(QString::fromStdString(key), QString::fromStdString(value));
        store->sync();
        return store->status() == QSettings::NoError;
    };
    return hooks;
}

}  // namespace varnex
