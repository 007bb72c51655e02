// Desktop notifications of the alarm centre on a private session bus, heard
// by a small notification service that the test starts or lets the bus
// start: one per raised alarm, one for many stations falling silent
// together, one when the network seems down, none for clearing, and none at
// all (dbus-monitor sees every call) while no service is there.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDBusConnectionInterface>
#include <filesystem>
#include <fstream>
#include <memory>

#include "alarms/alarm_monitor.h"
#include "alarms/alarm_test_support.h"
#include "engine/child_process.h"
#include "stations/station_test_support.h"
#include "ui/alarms/alarm_centre.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

using alarms::AlarmMonitor;
using alarms::Time;
using namespace alarm_tests;

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const std::string kServiceFile =
    std::string(BUS_SERVICES_DIR) + "/org.freedesktop.Notifications.service";

QDBusConnectionInterface& Bus() {
    return *QDBusConnection::sessionBus().interface();
}
bool ServiceRegistered() {
    return Bus().isServiceRegistered(kService).value();
}

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

class AlarmNotificationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_FALSE(ServiceRegistered());
        monitor_.SetWatches(WatchedStations(4, 10, 12), At(0));
    }
    void TearDown() override {
        listener_.reset();
        PumpUntil([] { return !ServiceRegistered(); }, 5000);
    }

    void StartListener() {
        listener_ = std::make_unique<testing::ChildProcess>(
            std::vector<std::string>{NOTIFICATION_LISTENER, heard_}, folder_.File("listener.log"));
        ASSERT_TRUE(PumpUntil(ServiceRegistered, 5000)) << listener_->Log();
    }

    void Answer(int station, int seconds, double volts) {
        Readings readings;
        readings.voltmeters[0].volts = volts;
        monitor_.Observe({Address(station), At(seconds), false, readings});
    }
    void Round(int seconds) {
        centre_.Show(monitor_, monitor_.Evaluate(At(seconds), std::chrono::system_clock::now()));
    }

    // Every notification heard, once `count` have come and a short while
    // has passed for any more.
    std::vector<std::string> Heard(std::size_t count) {
        PumpUntil([&] { return Lines(heard_).size() >= count; }, 5000);
        QTest::qWait(300);
        return Lines(heard_);
    }

    testing::TempFolder folder_;
    std::string heard_ = folder_.File("heard.txt");
    AlarmMonitor monitor_;
    AlarmCentre centre_{monitor_};
    std::unique_ptr<testing::ChildProcess> listener_;
};

TEST_F(AlarmNotificationsTest, OneForEachAlarmOneForManySilentStationsAndOneForTheNetwork) {
    StartListener();
    for (int n = 1; n <= 4; ++n) {
        Answer(n, 1, n <= 2 ? 12.5 : 11.0);
    }
    Round(2);  // two stations over the limit
    Answer(1, 11, 11.0);
    Round(12);  // three stop answering together, one's voltage is back
    Round(23);  // and then the last one
    Answer(2, 24, 11.0);
    Round(25);  // one answers: the silence the network notice covered is told, no clearing
    EXPECT_EQ(Heard(5), (std::vector<std::string>{
                            "Alarm: 127.0.0.1|Voltmeter 1 above 12.00 V: 12.50 V",
                            "Alarm: 127.0.0.2|Voltmeter 1 above 12.00 V: 12.50 V",
                            "3 stations stopped answering|127.0.0.2, 127.0.0.3, 127.0.0.4",
                            "All watched stations are silent|This computer's network may be down.",
                            "Alarm: 127.0.0.1|Silent for 14 s (limit 10 s)",
                        }));
}

TEST_F(AlarmNotificationsTest, NothingIsSentWithoutANotificationServiceButTheListKeepsTheAlarms) {
    const std::string calls = folder_.File("monitor.log");
    testing::ChildProcess monitor(
        {DBUS_MONITOR, "--session", "interface='" + kService.toStdString() + "'"}, calls);
    // A monitor gives up its own name once it watches.
    ASSERT_TRUE(
        PumpUntil([&] { return monitor.Log().find("NameLost") != std::string::npos; }, 5000))
        << monitor.Log();

    Answer(1, 1, 13.0);
    Round(2);
    QTest::qWait(300);
    EXPECT_EQ(monitor.Log().find("member=Notify"), std::string::npos) << monitor.Log();
    centre_.OpenAlarmList();
    ASSERT_EQ(centre_.alarmList()->model().rowCount(), 1);
    EXPECT_EQ(centre_.alarmList()->model().index(0, AlarmTableModel::Description).data(),
              "Voltmeter 1 above 12.00 V: 13.00 V");

    // The same watch sees the call once a service is there.
    StartListener();
    Answer(2, 3, 13.0);
    Round(4);
    EXPECT_EQ(Heard(1),
              std::vector<std::string>{"Alarm: 127.0.0.2|Voltmeter 1 above 12.00 V: 13.00 V"});
    EXPECT_NE(monitor.Log().find("member=Notify"), std::string::npos) << monitor.Log();
}

TEST_F(AlarmNotificationsTest, AServiceTheBusStartsOnDemandIsUsed) {
    {
        std::ofstream(kServiceFile) << "[D-BUS Service]\nName=" << kService.toStdString()
                                    << "\nExec=" << NOTIFICATION_LISTENER << " " << heard_ << "\n";
    }
    Bus().call(QStringLiteral("ReloadConfig"));
    ASSERT_TRUE(
        PumpUntil([] { return Bus().activatableServiceNames().value().contains(kService); }, 5000));
    ASSERT_FALSE(ServiceRegistered());

    Answer(3, 1, 12.5);
    Round(2);
    EXPECT_EQ(Heard(1),
              std::vector<std::string>{"Alarm: 127.0.0.3|Voltmeter 1 above 12.00 V: 12.50 V"});

    std::filesystem::remove(kServiceFile);
    Bus().call(QStringLiteral("ReloadConfig"));
    if (const QDBusReply<uint> pid = Bus().servicePid(kService); pid.isValid()) {
        kill(static_cast<pid_t>(pid.value()), SIGTERM);
    }
}

}  // namespace
}  // namespace varnex
