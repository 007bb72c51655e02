// The whole window against the in-process unit on 127.0.0.1: what each
// reading looks like once rendered, what every way of ending a session
// leaves on screen, and which dialog each control opens.
#include "ui/main_window/main_window_fixture.h"

#include <algorithm>
#include <optional>

#include "session/network_commands.h"
#include "ui/main_window/button_images.h"
#include "unit/unit_console.h"

namespace varnex {
namespace {

using Role = QPalette::ColorRole;

class MainWindowSessionTest : public MainWindowTest {
  protected:
    // A unit with fixed readings and the station 127.0.0.1 to talk to it.
    unit::UnitServer& StartReadingUnit() {
        unit::UnitServer& unit = StartUnit();
        unit::UnitState& s = unit.State();
        const std::array<uint16_t, 8> raws = {4095, 4095, 1, 4095, 0, 9, 8, 4095};
        for (std::size_t i = 0; i < raws.size(); ++i) {
            s.voltmeters[i].raw = s.voltmeters[i].centre = raws[i];
            s.voltmeters[i].held = true;
        }
        s.relayOn = {true, false, true};
        s.pins = {false, false, true, false, true};
        AddStation("127.0.0.1", "tamble", "Simulator",
                   {{1, {"OFF", "STANDARD", "", "Mains"}},
                    {2, {"ON", "GRAPHICAL", "", "Battery"}},
                    {4, {"", "GRAPHICAL", "", ""}},
                    {8, {"", "GRAPHICAL", "", ""}}});
        return unit;
    }
    bool WaitForFirstStatus() {
        return PumpUntil([&] { return controls().firmwareVersion->text() != "* . *"; }, 3000);
    }
    QString StatusPart(std::size_t part) { return controls().statusParts[part]->text(); }
    static std::vector<QColor> Colours(std::initializer_list<std::pair<QWidget*, Role>> parts) {
        std::vector<QColor> colours;
        for (const auto& [widget, role] : parts) {
            colours.push_back(widget->palette().color(role));
        }
        return colours;
    }
};

TEST_F(MainWindowSessionTest, AStationOnTheCommandLineStartsASessionAndShowsEveryReading) {
    StartReadingUnit();
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    EXPECT_EQ(Shown({c.stationList, c.statusParts[1], c.statusParts[2]}),
              (QStringList{"127.0.0.1        Simulator", " Connecting", " Sending Password"}));
    EXPECT_FALSE(c.start->isEnabled());
    ASSERT_TRUE(WaitForFirstStatus());
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;

    // Voltmeter 1 in text view, doubled without its jumper; 2 as a bar.
    const VoltmeterControls& bar = c.voltmeters[1];
    EXPECT_EQ(
        Shown({c.voltmeters[0].caption, c.voltmeters[0].value, c.voltmeters[2].caption,
               c.voltmeters[2].value, c.voltmeters[3].caption, bar.barLabel,
               c.voltmeters[7].barLabel}),
        (QStringList{"Mains", "60.0000000", "Voltage 3 (0-30)", "0.0073260", "", "30.00", "5.00"}));
    EXPECT_FALSE(bar.value->isVisibleTo(&*window_));
    EXPECT_TRUE(bar.bar->isVisibleTo(&*window_));
    EXPECT_TRUE(bar.barLabel->isVisibleTo(&*window_));
    EXPECT_EQ(bar.bar->maximum(), 30);
    EXPECT_EQ(bar.bar->value(), 30);
    EXPECT_EQ(Shown({c.relayStates[0], c.relayStates[1], c.pins[1], c.pins[2], c.celsius,
                     c.fahrenheit, c.macAddress, c.stationName, c.firmwareVersion}),
              (QStringList{"ON", "OFF", "0", "1", "21.5", " 70.7", "02:56:4E:58:00:01",
                           "Varnex Unit", "1.7.4"}));
    const QColor red(255, 0, 0);
    EXPECT_EQ(Colours({{c.voltmeters[0].value, Role::Text},
                       {bar.bar, Role::Highlight},
                       {c.relayStates[0], Role::WindowText},
                       {c.relayStates[1], Role::WindowText},
                       {c.pins[1], Role::Base},
                       {c.pins[2], Role::Text},
                       {c.pins[2], Role::Base}}),
              (std::vector<QColor>{red, QColor(0, 255, 0), QColor(0, 170, 0), red, Qt::white,
                                   Qt::white, red}));
    EXPECT_TRUE(c.relayButtons[1]->isEnabled());
    EXPECT_TRUE(c.pinButtons[4]->isEnabled());
    EXPECT_TRUE(c.daughterBoardButton->isEnabled());

    // The poll: every tick sends one request, and each is answered.
    Tick(kPollTimer);
    EXPECT_EQ(QStringList({StatusPart(1), StatusPart(2)}),
              QStringList({" Connected", " MSG: Data Polling Started"}));
    Tick(kPollTimer);
    EXPECT_EQ(StatusPart(2), " MSG: Data Polling .");
    ASSERT_TRUE(PumpUntil([&] { return c.received->text().toInt() >= 3; }, 3000));
    EXPECT_GE(c.sent->text().toInt(), 3);
    EXPECT_EQ(Colours({{c.sent, Role::WindowText}, {c.lost, Role::WindowText}}),
              (std::vector<QColor>{QColor(0, 0, 255), red}));
    Tick(kPulseTimer);
    const QColor pulse = c.aquireData->colour();
    EXPECT_GT(pulse.green(), 0);  // the indicator pulses green
    EXPECT_EQ(pulse.red() + pulse.blue(), 0);

    QTest::mouseClick(c.stop, Qt::LeftButton);
    EXPECT_EQ(Shown({c.statusParts[1], c.statusParts[2], bar.value, c.relayStates[0], c.pins[2],
                     c.celsius, c.sent, c.firmwareVersion}),
              (QStringList{" Not Connected", " MSG:  Choose IP, then Click on Start", " ",
                           "==========", "0", " ", "0", "* . *"}));
    EXPECT_TRUE(c.start->isEnabled());
    EXPECT_TRUE(bar.value->isVisibleTo(&*window_));
    EXPECT_FALSE(bar.bar->isVisibleTo(&*window_));
    EXPECT_EQ(c.relayStates[0]->palette().color(Role::WindowText), QColor(Qt::black));
    EXPECT_FALSE(c.relayButtons[0]->isEnabled());
    EXPECT_EQ(c.aquireData->colour(), QColor(0, 0, 0));
}

TEST_F(MainWindowSessionTest, ARefusedPasswordEndsTheSession) {
    StartUnit();
    AddStation("127.0.0.1", "wrong", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return !messages_.empty(); }, 3000));
    EXPECT_EQ(testing::MessageLines(messages_),
              std::vector<std::string>{"Bad Password!!||stop|main"});
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_TRUE(controls().start->isEnabled());
}

TEST_F(MainWindowSessionTest, StartUsesTheAddressTypedIntoTheStationList) {
    StartReadingUnit();
    Open();
    controls().stationList->setEditText("127.0.0.1");
    QTest::mouseClick(controls().start, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Connecting");
    ASSERT_TRUE(WaitForFirstStatus());

    controls().stationList->setEditText("127.0.0.2");
    QTest::mouseClick(controls().stop, Qt::LeftButton);
    QTest::mouseClick(controls().start, Qt::LeftButton);
    EXPECT_EQ(testing::MessageLines(messages_),
              std::vector<std::string>{"SQL general overness, can't find the IP Address in the "
                                       "Database!|  Varnex v1|stop|main"});
    EXPECT_EQ(StatusPart(1), " Not Connected");
}

TEST_F(MainWindowSessionTest, OpeningTheListAndAutoAddRouteEachEndTheSession) {
    StartReadingUnit();
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForFirstStatus());
    controls().stationList->showPopup();
    EXPECT_EQ(Shown({controls().statusParts[1], controls().sent}),
              (QStringList{" Not Connected", "0"}));
    EXPECT_TRUE(controls().start->isEnabled());
    controls().stationList->hidePopup();

    QTest::mouseClick(controls().start, Qt::LeftButton);
    ASSERT_EQ(StatusPart(1), " Connecting");
    window_->hooks().localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
    QTest::mouseClick(controls().autoAddRoute, Qt::LeftButton);
    EXPECT_EQ(Shown({controls().statusParts[1], controls().statusParts[2]}),
              (QStringList{" Not Connected", " MSG: Session ended: adding a route"}));
    EXPECT_TRUE(launched_.empty()) << "a loopback station needs no route";
    EXPECT_EQ(messages_.back().text, kLoopbackRouteText);
}

// What the window shows while a box or dialog that follows the end of a
// session is open: its own event loop must find the session's timers
// stopped, the window Idle, and nothing going to the unit.
struct AfterReset {
    QStringList runningTimers;
    QString state;
    QString sent;
    bool indicatorDark = false;
    std::size_t datagramsWhileOpen = 0;
    bool operator==(const AfterReset&) const = default;
};

void PrintTo(const AfterReset& a, std::ostream* out) {
    *out << "timers " << a.runningTimers.join(',').toStdString() << ", state \""
         << a.state.toStdString() << "\", sent " << a.sent.toStdString() << ", dark "
         << a.indicatorDark << ", datagrams " << a.datagramsWhileOpen;
}

class SessionResetTest : public MainWindowSessionTest {
  protected:
    // Datagrams the unit has received; what is still queued for it (sent
    // before the reset) is taken in first.
    std::size_t UnitDatagrams() {
        unit_->Serve(std::chrono::milliseconds(0));
        return static_cast<std::size_t>(std::count_if(
            unitLog_.begin(), unitLog_.end(),
            [](const std::string& line) { return line.find(" from ") != std::string::npos; }));
    }
    AfterReset Now() {
        AfterReset now;
        for (const int id : {kPollTimer, kPulseTimer, kTimerButtonTimer}) {
            if (window_->findChild<QTimer*>(QStringLiteral("timer%1").arg(id))->isActive()) {
                now.runningTimers << QString::number(id);
            }
        }
        now.state = StatusPart(1);
        now.sent = controls().sent->text();
        now.indicatorDark = controls().aquireData->colour() == QColor(Qt::black);
        return now;
    }
    // Runs `act`; when a modal window opens (at once or when a reply comes),
    // notes what the window shows, keeps it open for 300 ms, then closes it.
    // Without one, the same is noted right after `act`.
    AfterReset During(const std::function<void()>& act, bool opensModal = true) {
        std::optional<AfterReset> seen;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || seen) {
                return;
            }
            seen = Now();
            const std::size_t before = UnitDatagrams();
            QTest::qWait(300);
            seen->datagramsWhileOpen = UnitDatagrams() - before;
            modal->close();
        });
        watch.start();
        const ModalWatchdog watchdog;
        act();
        if (opensModal) {
            EXPECT_TRUE(PumpUntil([&] { return seen.has_value(); }, 3000)) << "no box or dialog";
        }
        if (!opensModal) {
            seen = Now();
            const std::size_t before = UnitDatagrams();
            QTest::qWait(300);
            seen->datagramsWhileOpen = UnitDatagrams() - before;
        }
        return seen.value_or(AfterReset{});
    }
};

TEST_F(SessionResetTest, EveryWayOfEndingASessionStopsItsTimersBeforeAnythingElseRuns) {
    unit::UnitServer& unit = StartReadingUnit();
    unit.State().timer.running = true;  // the timer button animates too
    unit.State().timer.delaySeconds = 90061;
    unit.State().timer.firesAt = unitNow_ + std::chrono::seconds(90061);
    AddStation("127.0.0.2", "tamble", "Bench");
    realBoxes_ = true;
    Open();
    window_->hooks().localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
    MainWindowControls& c = controls();
    const auto click = [](QAbstractButton* button) {
        return [button] { QTest::mouseClick(button, Qt::LeftButton); };
    };
    const auto password = [&unit](const char* text) {
        return [&unit, text] { unit.State().password = unit::PasswordField(text); };
    };
    const std::pair<const char*, std::function<void()>> withoutModal[] = {
        {"STOP", click(c.stop)},
        {"station list opened", [&] {
             c.stationList->showPopup();
             c.stationList->hidePopup();
         }},
        // The choice waits for its own timer, which the reset must not drop.
        {"another station chosen with the keyboard", [&] {
             const int bench = c.stationList->findText("127.0.0.2", Qt::MatchStartsWith);
             c.stationList->setCurrentIndex(bench);
             emit c.stationList->activated(bench);
             PumpUntil([&] { return c.autoPing->text() == "Auto Ping  127.0.0.2"; }, 1000);
         }},
    };
    const std::pair<const char*, std::function<void()>> paths[] = {
        {"Add IP", click(c.addIp)},
        {"Edit IP", click(c.editIp)},
        {"Delete IP", click(c.deleteIp)},
        {"Set Default", click(c.setDefault)},
        {"Auto Add Route", click(c.autoAddRoute)},
        {"password refused while polling", password("changed")},
        {"transport failure while polling", [&] {
             bindRefused_ = true;
             RunConsoleLine(unit, "drop 1");
             for (int poll = 0; poll < 3; ++poll) {  // Lost moves, so a send binds
                 Tick(kPollTimer);
             }
         }},
    };
    const auto startPolling = [&] {
        unit.State().password = unit::PasswordField("tamble");
        bindRefused_ = false;
        RunConsoleLine(unit, "drop 0");
        c.stationList->setEditText(QStringLiteral("127.0.0.1        Simulator"));
        QTest::mouseClick(c.start, Qt::LeftButton);
        return PumpUntil([&] { return Now().runningTimers.size() == 3; }, 3000);
    };
    const AfterReset idle{{}, " Not Connected", "0", true, 0};
    for (const auto& [path, act] : withoutModal) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(startPolling());
        EXPECT_EQ(During(act, false), idle);
    }
    EXPECT_EQ(Shown({c.autoPing, c.statusParts[2]}),
              (QStringList{"Auto Ping  127.0.0.2", " MSG: Session ended: another station chosen"}));
    for (const auto& [path, act] : paths) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(startPolling());
        EXPECT_EQ(During(act), idle);
    }
    // A refusal of the very first request ends the session the same way.
    bindRefused_ = false;
    RunConsoleLine(unit, "drop 0");
    unit.State().password = unit::PasswordField("changed");
    EXPECT_EQ(During(click(c.start)), idle);
    EXPECT_EQ(messages_.back().text, "Bad Password!!");
}

// The simulator stops answering: the window says so and greys the last
// readings; it comes back with the first answer.
TEST_F(MainWindowSessionTest, ASilentUnitGreysTheLastReadingsUntilItAnswersAgain) {
    unit::UnitServer& unit = StartReadingUnit();
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForFirstStatus());
    MainWindowControls& c = controls();
    const QStringList readings = Shown({c.voltmeters[0].value, c.stationName});
    RunConsoleLine(unit, "drop 1");
    for (int poll = 0; poll < 3; ++poll) {
        Tick(kPollTimer);
        QTest::qWait(20);
    }
    ASSERT_TRUE(StatusPart(2).startsWith(" MSG: No reply for ")) << StatusPart(2).toStdString();
    EXPECT_EQ(Shown({c.voltmeters[0].value, c.stationName}), readings);
    EXPECT_EQ(c.readingsGroup->title(), "ADC INPUTS - last values, no reply");
    EXPECT_TRUE(c.voltmeters[0].value->font().italic());
    EXPECT_EQ(c.voltmeters[0].value->palette().color(QPalette::Text), QColor(128, 128, 128));
    Tick(kPulseTimer);
    EXPECT_EQ(c.aquireData->colour(), QColor(Qt::black));
    EXPECT_TRUE(messages_.empty());
    Shoot(*window_, "main-window-silent");

    RunConsoleLine(unit, "drop 0");
    Tick(kPollTimer);
    ASSERT_TRUE(PumpUntil([&] { return c.readingsGroup->title() == "ADC INPUTS"; }, 3000));
    EXPECT_TRUE(StatusPart(2).startsWith(" MSG: Data Polling")) << StatusPart(2).toStdString();
    EXPECT_FALSE(c.voltmeters[0].value->font().italic());
    EXPECT_EQ(c.voltmeters[0].value->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST_F(MainWindowSessionTest, StopTimerShowsTheReturnMessageAndResetsTheTimerReadout) {
    unit::RelayTimer& timer = StartReadingUnit().State().timer;
    timer.running = true;
    timer.delaySeconds = 90061;
    timer.firesAt = unitNow_ + std::chrono::seconds(90061);
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    const auto readout = [&] {
        return Shown({c.timerDays, c.timerHours, c.timerMinutes, c.timerSeconds, c.timerLabel});
    };
    ASSERT_TRUE(PumpUntil(
        [&] {
            return readout().mid(0, 4) == QStringList{"1", "1", "1", "1"};
        },
        3000));
    const auto shows = [&](int frame) {
        return c.timerButton->icon().pixmap(24, 24).toImage() ==
               TimerButtonIcon(frame).pixmap(24, 24).toImage();
    };
    EXPECT_TRUE(shows(0));
    Tick(kTimerButtonTimer);
    EXPECT_TRUE(shows(1));

    QTest::mouseClick(c.stopTimer, Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return !returnCodes_.empty(); }, 3000));
    EXPECT_EQ(returnCodes_, std::vector<int>{4});
    const QList<ReturnMessageDialog*> popups = window_->findChildren<ReturnMessageDialog*>();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0]->text(), "Timer Stopped Forcefully !");
    EXPECT_EQ(readout(), (QStringList{"0", "0", "0", "0", "Timer Inactive"}));
}

TEST_F(MainWindowSessionTest, EveryFeatureControlOpensItsDialog) {
    StartUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return controls().uptime->isEnabled(); }, 3000));
    MainWindowControls& c = controls();
    // "Add IP" comes last: it ends the session that enables the others.
    const std::vector<std::pair<QAbstractButton*, QString>> cases = {
        {c.daughterBoardButton, "varnex::BoardChooserDialog"},
        {c.voltmeters[7].options, "varnex::VoltmeterOptionsDialog"},
        {c.relayButtons[2], "varnex::RelayControlDialog"},
        {c.pinButtons[4], "varnex::IoControlDialog"},
        {c.runMake, "varnex::RelayScriptsDialog"},
        {c.timerButton, "varnex::RelayTimerDialog"},
        {c.temperatureButton, "varnex::TemperatureControlDialog"},
        {c.changeMacAddress, "varnex::ChangeMacDialog"},
        {c.changeIpAddress, "varnex::ChangeRemoteIpDialog"},
        {c.setStationName, "varnex::StationNameDialog"},
        {c.securitySettings, "varnex::SecuritySettingsDialog"},
        {c.uptime, "varnex::UptimeDialog"},
        {c.about, "varnex::AboutBox"},
        {c.addIp, "varnex::StationDialog"},
    };
    for (const auto& [button, dialog] : cases) {
        SCOPED_TRACE(dialog.toStdString());
        ASSERT_TRUE(button->isEnabled());
        EXPECT_EQ(DialogOpenedBy([button = button] { QTest::mouseClick(button, Qt::LeftButton); }),
                  dialog);
    }
}

}  // namespace
}  // namespace varnex
