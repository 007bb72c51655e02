// A session polling an in-process unit on 127.0.0.1, with recorded hooks,
// for the dialogs that show the unit's scripts. The unit's clock stands
// still unless a test moves it; the session polls only when a test asks.
#pragma once

#include <gtest/gtest.h>

#include <QSocketNotifier>
#include <memory>
#include <string>
#include <vector>

#include "protocol/hook_recorder.h"
#include "session/session.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "ui/widgets/dialog_context.h"
#include "ui/ui_test_support.h"
#include "unit/unit_server.h"

namespace varnex {

class ScriptDialogTest : public ::testing::Test {
  protected:
    ScriptDialogTest() {
        QObject::connect(&unitNotifier_, &QSocketNotifier::activated,
                         [this] { unit_.Serve(std::chrono::milliseconds(0)); });
        recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return true;
        };
        session.SetSocketChanged([this](int fd) { return FollowSocket(fd); });
    }
    ~ScriptDialogTest() override {
        session.Shutdown();
        delete clientNotifier_;
    }
    void SetUp() override {
        session.StartSession();
        ASSERT_TRUE(Eventually([this] { return Received() >= 1; }));
    }

    static bool Eventually(const std::function<bool()>& done) { return PumpUntil(done, 3000); }
    int Received() const { return std::stoi(session.display().counters.received); }

    // One poll of the main window's timer 2, answered by the unit.
    void Poll() {
        const int before = Received();
        session.OnTimer(kPollTimer);
        ASSERT_TRUE(Eventually([&] { return Received() > before; }));
    }

    // A dialog as the main window opens it: context, `args`, no owner.
    template <typename Dialog, typename... Args>
    std::unique_ptr<Dialog> Show(Args&&... args) {
        auto dialog = std::make_unique<Dialog>(context, std::forward<Args>(args)..., nullptr);
        dialog->show();
        return dialog;
    }

    // Waits until a table has arrived since the last call and the open
    // dialog's table watch has taken it.
    bool TableShown() {
        const bool shown =
            Eventually([this] { return tableSeen_ && !session.ScriptTableReceived(); });
        tableSeen_ = false;
        return shown;
    }

    // The text of the first return message, once one has come.
    std::string FirstPopup() {
        Eventually([this] { return !recorder.popups.empty(); });
        return recorder.popups.empty() ? "" : recorder.popups[0].second;
    }

    // Puts a script into the unit's slot `index` as if uploaded earlier.
    void StoreScript(std::size_t index, const std::string& codes, const std::string& name) {
        unit::ScriptSlot& slot = unit_.State().scriptSlots[index];
        slot.codes.fill(' ');
        slot.name.fill(' ');
        std::copy(codes.begin(), codes.end(), slot.codes.begin());
        std::copy(name.begin(), name.end(), slot.name.begin());
    }
    std::string UnitScript(std::size_t index) const {
        const unit::ScriptSlot& slot = unit_.State().scriptSlots[index];
        return std::string(slot.codes.begin(), slot.codes.end()) + "|" +
               std::string(slot.name.begin(), slot.name.end());
    }

    static void ClickButton(QWidget* dialog, const char* name) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(name), Qt::LeftButton);
    }

    unit::UnitTime unitNow_{5'000'000};
    unit::UnitServer unit_{unit::MakeUnitState({}, unitNow_), [this] { return unitNow_; },
                           [](const std::string&) {}};
    uint16_t unitPort_ = BindUnit();
    QSocketNotifier unitNotifier_{unit_.Descriptor(), QSocketNotifier::Read};
    testing::HookRecorder recorder;
    std::vector<Message> questions;
    Session session{recorder.hooks,
                    {.lookupStation =
                         [](const std::string& ip) {
                             LoadedStation station;
                             station.address = ip;
                             station.password = "tamble";
                             return std::optional(station);
                         },
                     .stationListText = [] { return std::string("127.0.0.1"); },
                     .link = {.unitPort = unitPort_}}};
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
