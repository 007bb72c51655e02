// The password page against the unit simulator on 127.0.0.1: the unit still
// takes the client after a password change.

#include "settings/settings_fixture.h"
#include "unit/unit_server.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/security_settings_dialog.h"
#include "ui_test_support.h"

namespace varnex::testing {
namespace {

class SettingsDialogsUnitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(unit_.Bind(kUnitAddress, 0, error)) << error;
        ASSERT_EQ(WriteSeedDatabaseIfMissing(database_), SeedOutcome::Written);
        stations_.OpenStationStore(database_);
        ASSERT_TRUE(InsertStation(stations_, kUnitAddress, PasswordAsStored("tamble"), "sim"));
        SessionSeams seams;
        seams.lookupStation = [this](const std::string& ip) {
            return stations_.LoadStation(MessageOwner::MainWindow, ip);
        };
        seams.stationListText = [] { return std::string(kUnitAddress); };
        seams.link.unitPort = unit_.Port();
        session_ = std::make_unique<Session>(recorder_.hooks, seams);
        StartAndReadStatus();
    }

    // The unit answers what it was sent; the session reads the answer.
    void Exchange() {
        unit_.Serve(std::chrono::milliseconds(kWaitMs));
        ASSERT_TRUE(WaitReadable(session_->link().socketDescriptor()));
        session_->OnSocketNotification(0);
    }

    void StartAndReadStatus() {
        session_->StartSession();
        Exchange();
    }

    DialogContext Context() { return {*session_, stations_, recorder_.hooks}; }

    TempFolder folder_;
    std::string database_ = folder_.File("VNXv1.MDB");
    SettingsRecorder recorder_;
    unit::UnitTime now_{1'000'000};
    unit::UnitServer unit_{unit::MakeUnitState({}, now_), [this] { return now_; }, {}};
    StationStore stations_{recorder_.hooks};
    std::unique_ptr<Session> session_;
};

TEST_F(SettingsDialogsUnitTest, AfterAPasswordChangeTheNextStartIsAccepted) {
    DialogContext context = Context();
    SecuritySettingsDialog dialog(nullptr, context);
    dialog.show();
    QTest::keyClicks(dialog.passwordField(), "Rotor7");
    QTest::keyClicks(dialog.retypeField(), "Rotor7");
    ClickNearLeft(dialog.passwordOk());
    unit_.Serve(std::chrono::milliseconds(kWaitMs));
    EXPECT_FALSE(dialog.isVisible());

    StartAndReadStatus();
    EXPECT_EQ(session_->station().password, "Rotor7****");
    EXPECT_EQ(session_->display().statusBar[1], " Connecting");
    EXPECT_TRUE(recorder_.messages.empty());  // no "Bad Password!!"
    EXPECT_EQ(session_->display().relayStates[0], "OFF");
}

}  // namespace
}  // namespace varnex::testing
