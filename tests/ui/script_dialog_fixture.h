// A session polling an in-process unit on 127.0.0.1, with recorded hooks,
// for the dialogs that show the unit's scripts. The unit's clock stands
// still unless a test moves it; the session polls only when a test asks.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "protocol/hook_recorder.h"
#include "session/session.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "ui/dialog_context.h"
#include "ui_test_support.h"
#include "unit/unit_server.h"

namespace varnex {

inline constexpr int kDialogWaitMs = 3000;

class ScriptDialogTest : public ::testing::Test {
  protected:
    ScriptDialogTest() {
        unitNotifier_ =
            std::make_unique<QSocketNotifier>(unit_.Descriptor(), QSocketNotifier::Read);
        QObject::connect(unitNotifier_.get(), &QSocketNotifier::activated,
                         [this] { unit_.Serve(std::chrono::milliseconds(0)); });
        recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return answerYes;
        };
        session.SetSocketChanged([this](int fd) { return FollowSocket(fd); });
    }

    ~ScriptDialogTest() override {
        session.Shutdown();
        delete clientNotifier_;
    }

    void SetUp() override {
        session.StartSession();
        ASSERT_TRUE(PumpUntil([this] { return Received() >= 1; }, kDialogWaitMs));
    }

    int Received() const { return std::stoi(session.display().counters.received); }

    // One poll of the main window's timer 2, answered by the unit.
    void Poll() {
        const int before = Received();
        session.OnTimer(kPollTimer);
        ASSERT_TRUE(PumpUntil([&] { return Received() > before; }, kDialogWaitMs));
    }

    // Waits until a table has arrived since the last call and the open
    // dialog's table watch has taken it.
    bool TableShown() {
        const bool shown = PumpUntil(
            [this] { return tableSeen_ && !session.ScriptTableReceived(); }, kDialogWaitMs);
        tableSeen_ = false;
        return shown;
    }

    // Puts a script into the unit's slot `index` as if uploaded earlier.
    void StoreScript(std::size_t index, const std::string& codes, const std::string& name) {
        unit::ScriptSlot& slot = unit_.State().scriptSlots[index];
        slot.codes.fill(' ');
        slot.name.fill(' ');
        std::copy(codes.begin(), codes.end(), slot.codes.begin());
        std::copy(name.begin(), name.end(), slot.name.begin());
    }
    std::string UnitCodes(std::size_t index) const {
        const auto& codes = unit_.State().scriptSlots[index].codes;
        return std::string(codes.begin(), codes.end());
    }
    std::string UnitName(std::size_t index) const {
        const auto& name = unit_.State().scriptSlots[index].name;
        return std::string(name.begin(), name.end());
    }

    // The push button of `dialog` with that object name.
    static void ClickButton(QWidget* dialog, const char* name) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
    }

    unit::UnitTime unitNow_{5'000'000};
    std::vector<std::string> unitLog_;
    unit::UnitServer unit_{unit::MakeUnitState({}, unitNow_), [this] { return unitNow_; },
                           [this](const std::string& line) { unitLog_.push_back(line); }};
    uint16_t unitPort_ = BindUnit();
    std::unique_ptr<QSocketNotifier> unitNotifier_;
    testing::HookRecorder recorder;
    std::vector<Message> questions;
    bool answerYes = true;
    Session session{recorder.hooks, SessionSeams{
                                        [](const std::string& ip) {
                                            LoadedStation station;
                                            station.address = ip;
                                            station.password = "tamble";
                                            return ip == "127.0.0.1"
                                                       ? std::optional<LoadedStation>(station)
                                                       : std::nullopt;
                                        },
                                        [] { return std::string("127.0.0.1"); },
                                        [] { return 2026; },
                                        LinkOptions{unitPort_},
                                    }};
    StationStore stations{recorder.hooks};
    DialogContext context{session, stations, recorder.hooks};
    bool tableSeen_ = false;

  private:
    uint16_t BindUnit() {
        std::string error;
        EXPECT_TRUE(unit_.Bind("127.0.0.1", 0, error)) << error;
        return unit_.Port();
    }

    bool FollowSocket(int fd) {
        if (clientNotifier_ != nullptr) {
            // The change may happen inside the old notifier's own signal.
            clientNotifier_->setEnabled(false);
            clientNotifier_->deleteLater();
            clientNotifier_ = nullptr;
        }
        if (fd < 0) {
            return true;
        }
        clientNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(clientNotifier_, &QSocketNotifier::activated, [this] {
            session.OnSocketNotification();
            tableSeen_ = tableSeen_ || session.ScriptTableReceived();
        });
        return clientNotifier_->isValid();
    }

    QSocketNotifier* clientNotifier_ = nullptr;
};

}  // namespace varnex
