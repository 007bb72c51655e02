// A main window started in throw-away settings and data folders, with every
// message, question, launch and return message recorded, and an in-process
// unit on 127.0.0.1 answering through the window's own event loop.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QMenuBar>
#include <QSettings>
#include <QSocketNotifier>
#include <memory>
#include <string>
#include <vector>

#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/qt_platform_hooks.h"
#include "ui/main_window/return_message_dialog.h"
#include "ui/ui_test_support.h"
#include "unit/unit_server.h"

namespace varnex {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(config_.path().empty());
        ASSERT_FALSE(data_.path().empty());
        qputenv("XDG_CONFIG_HOME", config_.path().c_str());
        qputenv("XDG_DATA_HOME", data_.path().c_str());
        // QSettings keeps the first folder it saw for the whole process.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(config_.path()));
    }

    std::string DatabasePath() const { return DefaultDatabaseLocation(); }

    // Writes the seed database and adds a station to it.
    void AddStation(const std::string& ip, const std::string& password, const std::string& comment,
                    const std::vector<std::pair<int, VoltmeterOptions>>& voltmeters = {}) {
        QDir().mkpath(QString::fromStdString(DatabasePath()).section('/', 0, -2));
        WriteSeedDatabaseIfMissing(DatabasePath());
        PlatformHooks quiet;
        quiet.showMessage = [](const Message& m) { ADD_FAILURE() << m.text; };
        StationStore store(quiet);
        store.OpenStationStore(DatabasePath());
        ASSERT_TRUE(InsertStation(store, ip, PasswordAsStored(password), comment));
        for (const auto& [n, options] : voltmeters) {
            ASSERT_TRUE(SetVoltmeterOptions(store, ip, n, options));
        }
        store.CloseStationStore();
    }

    // The unit's clock stands still unless a test moves it.
    unit::UnitServer& StartUnit() {
        unit_ = std::make_unique<unit::UnitServer>(
            unit::MakeUnitState({}, unitNow_), [this] { return unitNow_; },
            [this](const std::string& line) { unitLog_.push_back(line); });
        std::string error;
        EXPECT_TRUE(unit_->Bind("127.0.0.1", 0, error)) << error;
        unitNotifier_ =
            std::make_unique<QSocketNotifier>(unit_->Descriptor(), QSocketNotifier::Read);
        QObject::connect(unitNotifier_.get(), &QSocketNotifier::activated,
                         [this] { unit_->Serve(std::chrono::milliseconds(0)); });
        return *unit_;
    }

    MainWindow& Open(const std::vector<std::string>& argv = {"varnex"}) {
        MainWindowOptions options;
        // Nothing is sent without a unit.
        options.link.unitPort = unitPort_ != 0 ? unitPort_ : unit_ ? unit_->Port() : 9;
        options.link.bindPort = [this](int fd, uint16_t port) {
            return !bindRefused_ && BindAnyInterface(fd, port);
        };
        options.makeHooks = [this](QWidget* mainWindow) {
            PlatformHooks hooks = MakeQtPlatformHooks(mainWindow);
            if (realBoxes_) {
                hooks.showMessage = [this, box = hooks.showMessage](const Message& m) {
                    messages_.push_back(m);
                    box(m);
                };
            } else {
                hooks.showMessage = [this](const Message& m) { messages_.push_back(m); };
            }
            hooks.askYesNo = [this](const Message& m) {
                messages_.push_back(m);
                return false;
            };
            hooks.findProgram = [](const std::string& name) {
                return std::optional<std::string>("/usr/bin/" + name);
            };
            hooks.launch = [this](const std::vector<std::string>& argv) {
                launched_.push_back(argv);
                return true;
            };
            hooks.beep = [] {};
            hooks.showReturnMessage = [this, mainWindow](int code, const std::string& text) {
                returnCodes_.push_back(code);
                ShowReturnMessage(mainWindow, QString::fromStdString(text));
            };
            return hooks;
        };
        window_ = std::make_unique<MainWindow>(options);
        startUpResult_ = window_->StartUp(argv);
        return *window_;
    }

    MainWindowControls& controls() { return window_->controls(); }
    QAction* MenuItem(const QString& text) {
        for (QAction* menu : window_->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == text) {
                    return item;
                }
            }
        }
        return nullptr;
    }
    // One tick of a main-window timer, as its QTimer delivers it.
    void Tick(int id) {
        window_->session().OnTimer(id);
        window_->AfterEvent();
    }
    // The class of the modal dialog `open` opens, which is then closed again.
    static QString DialogOpenedBy(const std::function<void()>& open) {
        const ModalWatchdog watchdog;
        QString opened;
        OnNextModal([&opened](QWidget* dialog) {
            opened = QString::fromLatin1(dialog->metaObject()->className());
            dialog->close();
        });
        open();
        return opened;
    }

    testing::TempFolder config_;
    testing::TempFolder data_;
    bool realBoxes_ = false;  // real message boxes, each with its own event loop
    bool bindRefused_ = false;
    uint16_t unitPort_ = 0;  // the units' port when they are not unit_
    std::vector<Message> messages_;
    std::vector<std::string> unitLog_;  // a line per datagram and per event of the unit
    std::vector<std::vector<std::string>> launched_;
    std::vector<int> returnCodes_;
    unit::UnitTime unitNow_{5'000'000};
    std::unique_ptr<unit::UnitServer> unit_;
    std::unique_ptr<QSocketNotifier> unitNotifier_;
    std::unique_ptr<MainWindow> window_;
    bool startUpResult_ = false;
};

}  // namespace varnex
