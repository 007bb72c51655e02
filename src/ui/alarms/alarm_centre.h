// Shows what each round of the alarm monitor found: the alarm list (when
// open), desktop notifications where a notification service runs, and the
// raising and clearing of alarms as history events of their stations.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <memory>

#include "alarms/alarm_monitor.h"
#include "history/history_writer.h"
#include "ui/alarms/alarm_list_window.h"
#include "ui/alarms/desktop_notifier.h"

namespace varnex {

class AlarmCentre : public QObject {
    Q_OBJECT
  public:
    // `monitor` is the one whose rounds Show is given; the alarm list reads
    // it and acknowledges in it. Notifications go over `bus`.
    explicit AlarmCentre(alarms::AlarmMonitor& monitor,
                         QDBusConnection bus = QDBusConnection::sessionBus(),
                         QObject* parent = nullptr);

    // Where raising and clearing are recorded; none when null.
    void SetHistoryWriter(HistoryWriter* writer) { history_ = writer; }

    void Show(const alarms::AlarmMonitor& monitor, const alarms::RoundOutcome& outcome);
    // Opens the alarm list, or brings it to the front.
    void OpenAlarmList();
    // Null until the alarm list was first opened.
    AlarmListWindow* alarmList() const { return list_.get(); }

  signals:
    // The user acknowledged alarms in the alarm list.
    void acknowledged();

  private:
    void RecordHistory(const alarms::AlarmMonitor& monitor, const alarms::RoundOutcome& outcome);

    alarms::AlarmMonitor& monitor_;
    DesktopNotifier notifier_;
    HistoryWriter* history_ = nullptr;
    std::unique_ptr<AlarmListWindow> list_;
};

}  // namespace varnex
