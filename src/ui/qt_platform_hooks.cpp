#include "ui/qt_platform_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <memory>

#include "session/network_commands.h"
#include "ui/return_message_dialog.h"

namespace varnex {

namespace {

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
    hooks.launch = [](const std::vector<std::string>& argv) {
        if (argv.empty()) {
            return false;
        }
        QStringList arguments;
        for (std::size_t i = 1; i < argv.size(); ++i) {
            arguments << QString::fromStdString(argv[i]);
        }
        return QProcess::startDetached(QString::fromStdString(argv[0]), arguments);
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
