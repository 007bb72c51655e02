// The whole window against the in-process unit on 127.0.0.1: what each
// reading looks like once rendered, and what every way of ending a session
// leaves on screen.
#include "main_window_fixture.h"

#include "ui/button_images.h"

namespace varnex {
namespace {

constexpr int kReplyWaitMs = 3000;

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
        return PumpUntil(
            [&] { return controls().firmwareVersion->text() != QStringLiteral("* . *"); },
            kReplyWaitMs);
    }
    static QColor Colour(QWidget* widget, QPalette::ColorRole role = QPalette::WindowText) {
        return widget->palette().color(role);
    }
    // The texts of labels and fields alike.
    static QStringList Shown(std::initializer_list<QWidget*> widgets) {
        QStringList texts;
        for (QWidget* widget : widgets) {
            texts << widget->property("text").toString();
        }
        return texts;
    }
};

TEST_F(MainWindowSessionTest, AStationOnTheCommandLineStartsASessionAndShowsEveryReading) {
    StartReadingUnit();
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    EXPECT_EQ(c.stationList->currentText(), QStringLiteral("127.0.0.1        Simulator"));
    EXPECT_FALSE(c.start->isEnabled());
    EXPECT_EQ(StatusPart(1), " Connecting");
    EXPECT_EQ(StatusPart(2), " Sending Password");
    ASSERT_TRUE(WaitForFirstStatus());
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;

    // Voltmeter 1 in text view, doubled without its jumper; 2 as a bar.
    EXPECT_EQ(Shown({c.voltmeters[0].caption, c.voltmeters[0].value, c.voltmeters[2].caption,
                     c.voltmeters[2].value, c.voltmeters[3].caption}),
              (QStringList{"Mains", "60.0000000", "Voltage 3 (0-30)", "0.0073260", ""}));
    EXPECT_EQ(Colour(c.voltmeters[0].value, QPalette::Text), QColor(255, 0, 0));
    const VoltmeterControls& bar = c.voltmeters[1];
    EXPECT_FALSE(bar.value->isVisibleTo(&*window_));
    EXPECT_TRUE(bar.bar->isVisibleTo(&*window_));
    EXPECT_TRUE(bar.barLabel->isVisibleTo(&*window_));
    EXPECT_EQ(bar.bar->maximum(), 30);
    EXPECT_EQ(bar.bar->value(), 30);
    EXPECT_EQ(bar.barLabel->text(), QStringLiteral("30.00"));
    EXPECT_EQ(Colour(bar.bar, QPalette::Highlight), QColor(0, 255, 0));
    EXPECT_EQ(c.voltmeters[7].barLabel->text(), QStringLiteral("5.00"));

    EXPECT_EQ(Shown({c.relayStates[0], c.relayStates[1], c.pins[1], c.pins[2], c.celsius,
                     c.fahrenheit, c.macAddress, c.stationName, c.firmwareVersion}),
              (QStringList{"ON", "OFF", "0", "1", "21.5", " 70.7", "02:56:4E:58:00:01",
                           "Varnex Unit", "1.7.4"}));
    EXPECT_EQ(Colour(c.relayStates[0]), QColor(0, 170, 0));
    EXPECT_EQ(Colour(c.relayStates[1]), QColor(255, 0, 0));
    EXPECT_EQ(Colour(c.pins[1], QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(Colour(c.pins[2], QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(Colour(c.pins[2], QPalette::Base), QColor(255, 0, 0));
    EXPECT_TRUE(c.relayButtons[1]->isEnabled());
    EXPECT_TRUE(c.pinButtons[4]->isEnabled());
    EXPECT_TRUE(c.daughterBoardButton->isEnabled());

    // The poll: every tick sends one request, and each is answered.
    Tick(kPollTimer);
    EXPECT_EQ(StatusPart(1), " Connected");
    EXPECT_EQ(StatusPart(2), " MSG: Data Polling Started");
    Tick(kPollTimer);
    EXPECT_EQ(StatusPart(2), " MSG: Data Polling .");
    ASSERT_TRUE(PumpUntil([&] { return c.received->text().toInt() >= 3; }, kReplyWaitMs));
    EXPECT_GE(c.sent->text().toInt(), 3);
    EXPECT_EQ(Colour(c.sent), QColor(0, 0, 255));
    EXPECT_EQ(Colour(c.lost), QColor(255, 0, 0));
    Tick(kPulseTimer);
    const QColor pulse = c.aquireData->colour();
    EXPECT_GT(pulse.green(), 0);  // the indicator pulses green
    EXPECT_EQ(pulse.red() + pulse.blue(), 0);

    QTest::mouseClick(c.stop, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_EQ(StatusPart(2), " MSG:  Choose IP, then Click on Start");
    EXPECT_TRUE(c.start->isEnabled());
    EXPECT_EQ(Shown({bar.value, c.relayStates[0], c.pins[2], c.celsius, c.sent, c.firmwareVersion}),
              (QStringList{" ", "==========", "0", " ", "0", "* . *"}));
    EXPECT_TRUE(bar.value->isVisibleTo(&*window_));
    EXPECT_FALSE(bar.bar->isVisibleTo(&*window_));
    EXPECT_EQ(Colour(c.relayStates[0]), QColor(Qt::black));
    EXPECT_FALSE(c.relayButtons[0]->isEnabled());
    EXPECT_EQ(c.aquireData->colour(), QColor(0, 0, 0));
}

TEST_F(MainWindowSessionTest, ARefusedPasswordEndsTheSession) {
    StartUnit();
    AddStation("127.0.0.1", "wrong", "Simulator");
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(PumpUntil([&] { return !messages_.empty(); }, kReplyWaitMs));
    EXPECT_EQ(testing::MessageLines(messages_),
              std::vector<std::string>{"Bad Password!!||stop|main"});
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_TRUE(controls().start->isEnabled());
}

TEST_F(MainWindowSessionTest, StartUsesTheAddressTypedIntoTheStationList) {
    StartReadingUnit();
    Open();
    controls().stationList->setEditText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(controls().start, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Connecting");
    ASSERT_TRUE(WaitForFirstStatus());

    controls().stationList->setEditText(QStringLiteral("127.0.0.2"));
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
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_EQ(controls().sent->text(), QStringLiteral("0"));
    EXPECT_TRUE(controls().start->isEnabled());
    controls().stationList->hidePopup();

    QTest::mouseClick(controls().start, Qt::LeftButton);
    ASSERT_EQ(StatusPart(1), " Connecting");
    window_->hooks().localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
    QTest::mouseClick(controls().autoAddRoute, Qt::LeftButton);
    EXPECT_EQ(StatusPart(1), " Not Connected");
    EXPECT_EQ(
        launched_,
        (std::vector<std::vector<std::string>>{{"x-terminal-emulator", "-e", "ip", "route", "add",
                                                "127.0.0.1/32", "dev", "lo", "src", "127.0.0.1"}}));
}

TEST_F(MainWindowSessionTest, StopTimerShowsTheReturnMessageAndResetsTheTimerReadout) {
    unit::RelayTimer& timer = StartReadingUnit().State().timer;
    timer.running = true;
    timer.delaySeconds = 90061;
    timer.firesAt = unitNow_ + std::chrono::seconds(90061);
    Open({"varnex", "127.0.0.1"});
    MainWindowControls& c = controls();
    const auto readout = [&] {
        return Shown({c.timerDays, c.timerHours, c.timerMinutes, c.timerSeconds});
    };
    ASSERT_TRUE(PumpUntil(
        [&] {
            return readout() == QStringList{"1", "1", "1", "1"};
        },
        kReplyWaitMs));
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
    EXPECT_EQ(readout(), (QStringList{"0", "0", "0", "0"}));
    EXPECT_EQ(c.timerLabel->text(), QStringLiteral("Timer Inactive"));
}

}  // namespace
}  // namespace varnex
