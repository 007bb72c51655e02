// The alarm list: newest first, open alarms highlighted (less once
// acknowledged), acknowledging the selection or everything, the selection
// staying with its alarms as the list grows, the network-down notice, and
// raising and clearing kept as history events.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "alarms/alarm_test_support.h"
#include "history/history_fixture.h"
#include "ui/alarms/alarm_centre.h"
#include "ui/ui_test_support.h"

namespace varnex {
namespace {

using alarms::AlarmMonitor;
using alarms::Time;
using alarms::WallTime;
using namespace alarm_tests;

WallTime WallAt(int64_t ms) {
    return WallTime{} + std::chrono::milliseconds(ms);
}

// A connection that never connected: no notification leaves a test.
QDBusConnection NoBus() {
    return QDBusConnection(QStringLiteral("varnex-tests-no-bus"));
}

class AlarmListTest : public testing::HistoryTest {
  protected:
    void SetUp() override {
        monitor_.SetWatches(WatchedStations(3, 30, 12), At(0));
    }
    void Answer(int station, int seconds, double volts) {
        Readings readings;
        readings.voltmeters[0].volts = volts;
        monitor_.Observe({Address(station), At(seconds), false, readings});
    }
    void Round(int seconds) {
        centre_.Show(monitor_, monitor_.Evaluate(At(seconds), WallAt(nowMs_ + seconds * 1000)));
    }
    AlarmListWindow& List() { return *centre_.alarmList(); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List().model().rowCount(); ++row) {
            texts << List().model().index(row, column).data().toString();
        }
        return texts;
    }
    // "open", "acknowledged" or "" (cleared) by the colour of each row.
    QStringList Highlights() {
        QStringList kinds;
        for (int row = 0; row < List().model().rowCount(); ++row) {
            const QVariant colour = List().model().index(row, 1).data(Qt::BackgroundRole);
            kinds << (!colour.isValid()                                        ? ""
                      : colour.value<QColor>() == AlarmTableModel::kOpenColour ? "open"
                                                                               : "acknowledged");
        }
        return kinds;
    }

    AlarmMonitor monitor_;
    AlarmCentre centre_{monitor_, NoBus()};
};

TEST_F(AlarmListTest, AcknowledgingMarksRowsAndTheHighlightFollowsOpenAndCleared) {
    for (int n = 1; n <= 3; ++n) {
        Answer(n, 1, 12.5);
    }
    Round(1);
    Answer(3, 2, 11.0);
    Round(2);
    centre_.OpenAlarmList();
    QSignalSpy acknowledged(&centre_, &AlarmCentre::acknowledged);

    EXPECT_EQ(Column(AlarmTableModel::Station),
              (QStringList{"127.0.0.3", "127.0.0.2", "127.0.0.1"}));
    EXPECT_EQ(Column(AlarmTableModel::Cleared).mid(1), (QStringList{"open", "open"}));
    EXPECT_EQ(Column(AlarmTableModel::Acknowledged), (QStringList{"", "", ""}));
    EXPECT_EQ(Highlights(), (QStringList{"", "open", "open"}));
    EXPECT_EQ(List().summaryLabel()->text(), "2 open alarms, 2 not acknowledged");
    EXPECT_FALSE(List().acknowledgeButton()->isEnabled());
    EXPECT_TRUE(List().acknowledgeAllButton()->isEnabled());

    List().table()->selectRow(1);
    ASSERT_TRUE(List().acknowledgeButton()->isEnabled());
    QTest::mouseClick(List().acknowledgeButton(), Qt::LeftButton);
    EXPECT_EQ(acknowledged.count(), 1);
    EXPECT_EQ(Highlights(), (QStringList{"", "acknowledged", "open"}));
    EXPECT_NE(Column(AlarmTableModel::Acknowledged)[1], "");
    EXPECT_EQ(List().summaryLabel()->text(), "2 open alarms, 1 not acknowledged");
    EXPECT_FALSE(List().acknowledgeButton()->isEnabled());  // the selection is acknowledged

    // A new alarm on top and one cleared: the selection stays with its alarm.
    Answer(1, 3, 11.0);
    Answer(3, 3, 13.0);
    Round(3);
    EXPECT_EQ(Column(AlarmTableModel::Station),
              (QStringList{"127.0.0.3", "127.0.0.3", "127.0.0.2", "127.0.0.1"}));
    EXPECT_EQ(Highlights(), (QStringList{"open", "", "acknowledged", ""}));
    const QModelIndexList selected = List().table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 2);
    Shoot(List(), "alarm_list");

    QTest::mouseClick(List().acknowledgeAllButton(), Qt::LeftButton);
    EXPECT_EQ(Highlights(), (QStringList{"acknowledged", "", "acknowledged", ""}));
    EXPECT_FALSE(Column(AlarmTableModel::Acknowledged).contains(""));
    EXPECT_FALSE(List().acknowledgeAllButton()->isEnabled());
    EXPECT_EQ(acknowledged.count(), 2);
}

TEST_F(AlarmListTest, TheListSaysWhenTheWholeNetworkSeemsDown) {
    centre_.OpenAlarmList();
    const auto noticeShown = [this] {
        for (QLabel* label : List().findChildren<QLabel*>()) {
            if (label->text().startsWith("All watched stations are silent")) {
                return label->isVisible();
            }
        }
        return false;
    };
    EXPECT_FALSE(noticeShown());
    Round(31);
    EXPECT_TRUE(monitor_.NetworkDown());
    EXPECT_TRUE(noticeShown());
    EXPECT_EQ(List().summaryLabel()->text(), "No open alarms");
    Shoot(List(), "alarm_list_network_down");
    Answer(2, 32, 11.0);
    Round(33);
    EXPECT_FALSE(noticeShown());
    EXPECT_EQ(List().summaryLabel()->text(), "2 open alarms, 2 not acknowledged");
}

TEST_F(AlarmListTest, RaisingAndClearingAreHistoryEventsOfTheirStation) {
    auto writer = OpenWriter();
    centre_.SetHistoryWriter(writer.get());
    Answer(2, 1, 12.5);
    Round(1);
    Answer(2, 5, 11.5);
    Round(5);
    centre_.SetHistoryWriter(nullptr);
    Answer(2, 6, 12.5);
    Round(6);  // no writer: nothing recorded, nothing fails
    writer->Flush();
    EXPECT_EQ(Reader().Events(Address(2), 0, INT64_MAX / 2),
              (std::vector<StoredEvent>{{nowMs_ + 1000, HistoryEvent::AlarmRaised},
                                        {nowMs_ + 5000, HistoryEvent::AlarmCleared}}));
    EXPECT_TRUE(Reader().Events(Address(1), 0, INT64_MAX / 2).empty());
}

}  // namespace
}  // namespace varnex
