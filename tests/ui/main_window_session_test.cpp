#include "main_window_fixture.h"

#include "ui/button_images.h"

namespace varnex {
namespace {

constexpr int kReplyWaitMs = 3000;

VoltmeterOptions Options(const char* jumper, const char* view, const char* label) {
    return {jumper, view, "", label};
}

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
        return unit;
    }

    bool WaitForFirstStatus() {
        return PumpUntil(
            [&] { return controls().firmwareVersion->text() != QStringLiteral("* . *"); },
            kReplyWaitMs);
    }
};

TEST_F(MainWindowSessionTest, AStationOnTheCommandLineStartsASessionAndShowsEveryReading) {
    StartReadingUnit();
    AddStation("127.0.0.1", "tamble", "Simulator",
               {{1, Options("OFF", "STANDARD", "Mains")},
                {2, Options("ON", "GRAPHICAL", "Battery")},
                {4, Options("", "GRAPHICAL", "")},
                {8, Options("", "GRAPHICAL", "")}});
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    EXPECT_EQ(c.stationList->currentText(), QStringLiteral("127.0.0.1        Simulator"));
    EXPECT_FALSE(c.start->isEnabled());
    EXPECT_EQ(StatusPart(1), " Connecting");
    EXPECT_EQ(StatusPart(2), " Sending Password");
    ASSERT_TRUE(WaitForFirstStatus());
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;

    EXPECT_EQ(c.voltmeters[0].caption->text(), QStringLiteral("Mains"));
    EXPECT_EQ(c.voltmeters[2].caption->text(), QStringLiteral("Voltage 3 (0-30)"));
    EXPECT_EQ(c.voltmeters[3].caption->text(), QString());
    // Text view: jumper off doubles voltmeter 1.
    EXPECT_EQ(c.voltmeters[0].value->text(), QStringLiteral("60.0000000"));
    EXPECT_EQ(c.voltmeters[2].value->text(), QStringLiteral("0.0073260"));
    EXPECT_EQ(c.voltmeters[4].value->text(), QStringLiteral("0"));
    EXPECT_EQ(c.voltmeters[5].value->text(), QStringLiteral("0.0109890"));
    EXPECT_EQ(c.voltmeters[6].value->text(), QStringLiteral("0"));
    EXPECT_EQ(c.voltmeters[0].value->palette().color(QPalette::Text), QColor(255, 0, 0));
    // Bar views: range by jumper, label over the bar.
    const struct {
        std::size_t index;
        int maximum;
        int position;
        const char* label;
    } bars[] = {{1, 30, 30, "30.00"}, {3, 30, 30, "30.00"}, {7, 30, 5, "5.00"}};
    for (const auto& bar : bars) {
        const VoltmeterControls& v = c.voltmeters[bar.index];
        EXPECT_FALSE(v.value->isVisibleTo(&*window_)) << bar.index;
        EXPECT_TRUE(v.bar->isVisibleTo(&*window_)) << bar.index;
        EXPECT_EQ(v.bar->maximum(), bar.maximum) << bar.index;
        EXPECT_EQ(v.bar->value(), bar.position) << bar.index;
        EXPECT_EQ(v.barLabel->text(), QString::fromLatin1(bar.label)) << bar.index;
        EXPECT_TRUE(v.barLabel->isVisibleTo(&*window_)) << bar.index;
    }
    EXPECT_EQ(c.voltmeters[1].bar->palette().color(QPalette::Highlight), QColor(0, 255, 0));

    const std::array<const char*, 3> relays = {"ON", "OFF", "ON"};
    const std::array<QColor, 3> relayColours = {QColor(0, 170, 0), QColor(255, 0, 0),
                                                QColor(0, 170, 0)};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(c.relayStates[i]->text(), QString::fromLatin1(relays[i]));
        EXPECT_EQ(c.relayStates[i]->palette().color(QPalette::WindowText), relayColours[i]);
        EXPECT_TRUE(c.relayButtons[i]->isEnabled());
    }
    const std::array<const char*, 5> pins = {"0", "0", "1", "0", "1"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(c.pins[i]->text(), QString::fromLatin1(pins[i]));
        const bool high = pins[i][0] == '1';
        EXPECT_EQ(c.pins[i]->palette().color(QPalette::Text),
                  high ? QColor(Qt::white) : QColor(Qt::black));
        EXPECT_EQ(c.pins[i]->palette().color(QPalette::Base),
                  high ? QColor(255, 0, 0) : QColor(Qt::white));
        EXPECT_TRUE(c.pinButtons[i]->isEnabled());
    }
    EXPECT_EQ(c.celsius->text(), QStringLiteral("21.5"));
    EXPECT_EQ(c.fahrenheit->text(), QStringLiteral(" 70.7"));
    EXPECT_EQ(c.macAddress->text(), QStringLiteral("02:56:4E:58:00:01"));
    EXPECT_EQ(c.stationName->text(), QStringLiteral("Varnex Unit"));
    EXPECT_EQ(c.firmwareVersion->text(), QStringLiteral("1.7.4"));
    EXPECT_TRUE(c.daughterBoardButton->isEnabled());
    EXPECT_TRUE(c.stopTimer->isEnabled());

    // The poll: every tick sends one request, and each is answered.
    Tick(kPollTimer);
    EXPECT_EQ(StatusPart(1), " Connected");
    EXPECT_EQ(StatusPart(2), " MSG: Data Polling Started");
    Tick(kPollTimer);
    EXPECT_EQ(StatusPart(2), " MSG: Data Polling .");
    ASSERT_TRUE(PumpUntil([&] { return c.received->text().toInt() >= 3; }, kReplyWaitMs));
    EXPECT_GE(c.sent->text().toInt(), 3);
    EXPECT_EQ(c.sent->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(c.lost->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    QTest::mouseClick(c.stop, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_EQ(StatusPart(2), " MSG:  Choose IP, then Click on Start");
    EXPECT_TRUE(c.start->isEnabled());
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(c.voltmeters[i].value->text(), QStringLiteral(" "));
        EXPECT_TRUE(c.voltmeters[i].value->isVisibleTo(&*window_));
        EXPECT_FALSE(c.voltmeters[i].bar->isVisibleTo(&*window_));
    }
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(c.relayStates[i]->text(), QStringLiteral("=========="));
        EXPECT_EQ(c.relayStates[i]->palette().color(QPalette::WindowText), QColor(Qt::black));
        EXPECT_FALSE(c.relayButtons[i]->isEnabled());
    }
    for (QLineEdit* pin : c.pins) {
        EXPECT_EQ(pin->text(), QStringLiteral("0"));
    }
    for (QWidget* field :
         {static_cast<QWidget*>(c.celsius), static_cast<QWidget*>(c.fahrenheit),
          static_cast<QWidget*>(c.macAddress), static_cast<QWidget*>(c.stationName)}) {
        EXPECT_EQ(qobject_cast<QLineEdit*>(field)->text(), QStringLiteral(" "));
    }
    EXPECT_EQ(c.sent->text(), QStringLiteral("0"));
    EXPECT_EQ(c.received->text(), QStringLiteral("0"));
    EXPECT_EQ(c.lost->text(), QStringLiteral("0"));
    EXPECT_EQ(c.firmwareVersion->text(), QStringLiteral("* . *"));
    EXPECT_EQ(c.aquireData->colour(), QColor(0, 0, 0));

    // Nothing more goes out after STOP.
    const std::size_t logged = unitLog_.size();
    QTest::qWait(50);
    EXPECT_EQ(unitLog_.size(), logged);
}

TEST_F(MainWindowSessionTest, ARefusedPasswordEndsTheSession) {
    StartUnit();
    AddStation("127.0.0.1", "wrong", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return !messages_.empty(); }, kReplyWaitMs));
    EXPECT_EQ(messages_[0].text, "Bad Password!!");
    EXPECT_EQ(messages_[0].caption, "");
    EXPECT_EQ(messages_[0].icon, MessageIcon::Stop);
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_TRUE(controls().start->isEnabled());
    EXPECT_EQ(controls().firmwareVersion->text(), QStringLiteral("* . *"));
}

TEST_F(MainWindowSessionTest, ASilentUnitShowsConnectedAndCountsEveryRequestButTheLastAsLost) {
    SilentPeer silent;
    unitPort_ = silent.port();
    AddStation("127.0.0.1", "tamble", "Nobody home");
    Open({"varnex", "127.0.0.1"});
    for (int i = 0; i < 3; ++i) {
        Tick(kPollTimer);
    }
    EXPECT_EQ(StatusPart(1), " Connected");
    const int sent = controls().sent->text().toInt();
    EXPECT_GE(sent, 4);
    EXPECT_EQ(controls().received->text(), QStringLiteral("0"));
    EXPECT_EQ(controls().lost->text().toInt(), sent - 1);
    EXPECT_FALSE(controls().relayButtons[0]->isEnabled());
    EXPECT_TRUE(messages_.empty());

    // The indicator pulses from bright green while the session runs.
    const int step = window_->session().display().pulseStep;
    Tick(kPulseTimer);
    EXPECT_EQ(controls().aquireData->colour(),
              QColor(0, 238 - 17 * (step + 1), 0));
}

TEST_F(MainWindowSessionTest, StartUsesTheAddressTypedIntoTheStationList) {
    StartReadingUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open();
    controls().stationList->setEditText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(controls().start, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Connecting");
    ASSERT_TRUE(WaitForFirstStatus());

    controls().stationList->setEditText(QStringLiteral("127.0.0.2"));
    QTest::mouseClick(controls().stop, Qt::LeftButton);
    QTest::mouseClick(controls().start, Qt::LeftButton);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text,
              "SQL general overness, can't find the IP Address in the Database!");
    EXPECT_EQ(messages_[0].caption, "  Varnex v1");
    EXPECT_EQ(StatusPart(1), " Not Connected");
}

TEST_F(MainWindowSessionTest, OpeningTheStationListEndsTheSession) {
    StartReadingUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForFirstStatus());
    controls().stationList->showPopup();
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_EQ(controls().sent->text(), QStringLiteral("0"));
    EXPECT_TRUE(controls().start->isEnabled());
    controls().stationList->hidePopup();
}

TEST_F(MainWindowSessionTest, AutoAddRouteEndsTheSessionFirst) {
    StartReadingUnit();
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForFirstStatus());
    window_->hooks().localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
    QTest::mouseClick(controls().autoAddRoute, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Not Connected");
    ASSERT_EQ(launched_.size(), 1u);
    EXPECT_EQ(launched_[0],
              (std::vector<std::string>{"x-terminal-emulator", "-e", "ip", "route", "add",
                                        "127.0.0.1/32", "dev", "lo", "src", "127.0.0.1"}));
}

TEST_F(MainWindowSessionTest, StopTimerShowsTheReturnMessageAndResetsTheTimerReadout) {
    unit::UnitServer& unit = StartReadingUnit();
    unit::RelayTimer& timer = unit.State().timer;
    timer.running = true;
    timer.delaySeconds = 90061;
    timer.firesAt = unitNow_ + std::chrono::seconds(90061);
    AddStation("127.0.0.1", "tamble", "Simulator");
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    ASSERT_TRUE(
        PumpUntil([&] { return c.timerDays->text() == QStringLiteral("1"); }, kReplyWaitMs));
    EXPECT_EQ(c.timerHours->text(), QStringLiteral("1"));
    EXPECT_EQ(c.timerMinutes->text(), QStringLiteral("1"));
    EXPECT_EQ(c.timerSeconds->text(), QStringLiteral("1"));
    const auto shows = [&](int frame) {
        return c.timerButton->icon().pixmap(24, 24).toImage() ==
               TimerButtonIcon(frame).pixmap(24, 24).toImage();
    };
    EXPECT_TRUE(shows(0));
    Tick(kTimerButtonTimer);
    EXPECT_TRUE(shows(1));

    QTest::mouseClick(c.stopTimer, Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return !returnCodes_.empty(); }, kReplyWaitMs));
    EXPECT_EQ(returnCodes_, std::vector<int>{4});
    const QList<ReturnMessageDialog*> popups = window_->findChildren<ReturnMessageDialog*>();
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0]->text(), QStringLiteral("Timer Stopped Forcefully !"));
    for (QLineEdit* field : {c.timerDays, c.timerHours, c.timerMinutes, c.timerSeconds}) {
        EXPECT_EQ(field->text(), QStringLiteral("0"));
    }
    EXPECT_EQ(c.timerLabel->text(), QStringLiteral("Timer Inactive"));
    EXPECT_EQ(c.timerLabel->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(
        PumpUntil([&] { return window_->findChildren<ReturnMessageDialog*>().isEmpty(); }, 3000));
}

}  // namespace
}  // namespace varnex
