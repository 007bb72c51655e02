// A main window started in throw-away settings and data folders, with every
// message, question, launch and return message recorded, and an in-process
// unit on 127.0.0.1 answering through the window's own event loop.
#pragma once

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QSettings>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_writers.h"
#include "ui/main_window.h"
#include "ui/qt_platform_hooks.h"
#include "ui/return_message_dialog.h"
#include "ui_test_support.h"
#include "unit/unit_server.h"

namespace varnex {

// A datagram socket on 127.0.0.1 that never answers: a unit that is silent.
class SilentPeer {
  public:
    SilentPeer() : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~SilentPeer() { close(fd_); }
    uint16_t port() const { return port_; }

  private:
    int fd_;
    uint16_t port_ = 0;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid());
        ASSERT_TRUE(data_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        qputenv("XDG_DATA_HOME", data_.path().toUtf8());
        // QSettings keeps the first folder it saw for the whole process.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
    }

    void TearDown() override {
        window_.reset();
        delete unitNotifier_;
        unit_.reset();
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

    void RemoveDefault() {
        PlatformHooks quiet;
        StationStore store(quiet);
        store.OpenStationStore(DatabasePath());
        ASSERT_TRUE(SetDefaultFlag(store, "10.10.10.10", false));
        store.CloseStationStore();
    }

    // The unit's clock stands still unless a test moves it.
    unit::UnitServer& StartUnit(const unit::UnitSetup& setup = {}) {
        unit_ = std::make_unique<unit::UnitServer>(
            unit::MakeUnitState(setup, unitNow_), [this] { return unitNow_; },
            [this](const std::string& line) { unitLog_.push_back(line); });
        std::string error;
        EXPECT_TRUE(unit_->Bind("127.0.0.1", 0, error)) << error;
        unitPort_ = unit_->Port();
        unitNotifier_ = new QSocketNotifier(unit_->Descriptor(), QSocketNotifier::Read);
        QObject::connect(unitNotifier_, &QSocketNotifier::activated,
                         [this] { unit_->Serve(std::chrono::milliseconds(0)); });
        return *unit_;
    }

    MainWindow& Open(const std::vector<std::string>& argv = {"varnex"}) {
        MainWindowOptions options;
        options.link.unitPort = unitPort_;
        options.makeHooks = [this](QWidget* mainWindow) {
            PlatformHooks hooks = MakeQtPlatformHooks(mainWindow);
            hooks.showMessage = [this](const Message& m) { messages_.push_back(m); };
            hooks.askYesNo = [this](const Message& m) {
                messages_.push_back(m);
                return false;
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
    std::string StatusPart(std::size_t part) {
        return controls().statusParts[part]->text().toStdString();
    }
    // One tick of a main-window timer, as its QTimer delivers it.
    void Tick(int id) {
        window_->session().OnTimer(id);
        window_->AfterEvent();
    }

    QTemporaryDir config_;
    QTemporaryDir data_;
    std::vector<Message> messages_;
    std::vector<std::vector<std::string>> launched_;
    std::vector<int> returnCodes_;
    std::vector<std::string> unitLog_;
    unit::UnitTime unitNow_{5'000'000};
    std::unique_ptr<unit::UnitServer> unit_;
    QSocketNotifier* unitNotifier_ = nullptr;
    uint16_t unitPort_ = 9;  // nothing is sent in tests that start no unit
    std::unique_ptr<MainWindow> window_;
    bool startUpResult_ = false;
};

}  // namespace varnex
