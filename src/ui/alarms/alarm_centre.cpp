#include "ui/alarms/alarm_centre.h"

#include <chrono>

#include "alarms/alarm_notices.h"

namespace varnex {
namespace {

int64_t UtcMs(alarms::WallTime time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

}  // namespace

AlarmCentre::AlarmCentre(alarms::AlarmMonitor& monitor, QDBusConnection bus, QObject* parent)
    : QObject(parent), monitor_(monitor), notifier_(std::move(bus)) {}

void AlarmCentre::Show(const alarms::AlarmMonitor& monitor, const alarms::RoundOutcome& outcome) {
    const bool changed =
        !outcome.changes.empty() || outcome.networkDownBegan || outcome.networkDownEnded;
    if (list_ && list_->isVisible() && changed) {
        list_->Refresh();
    }
    RecordHistory(monitor, outcome);
    const std::vector<alarms::Notice> notices = alarms::RoundNotices(monitor, outcome);
    if (!notices.empty() && notifier_.Available()) {
        for (const alarms::Notice& notice : notices) {
            notifier_.Notify(notice);
        }
    }
}

void AlarmCentre::RecordHistory(const alarms::AlarmMonitor& monitor,
                                const alarms::RoundOutcome& outcome) {
    if (history_ == nullptr) {
        return;
    }
    for (const alarms::AlarmChange& change : outcome.changes) {
        const alarms::Alarm* alarm = monitor.FindAlarm(change.alarmId);
        if (alarm == nullptr) {
            continue;
        }
        if (change.kind == alarms::ChangeKind::Raised) {
            history_->RecordEvent(alarm->ip, UtcMs(alarm->raised), HistoryEvent::AlarmRaised);
        } else if (alarm->cleared) {
            history_->RecordEvent(alarm->ip, UtcMs(*alarm->cleared), HistoryEvent::AlarmCleared);
        }
    }
}

void AlarmCentre::OpenAlarmList() {
    if (!list_) {
        list_ = std::make_unique<AlarmListWindow>(monitor_);
        connect(list_.get(), &AlarmListWindow::acknowledged, this, &AlarmCentre::acknowledged);
    }
    list_->Refresh();
    list_->show();
    list_->raise();
    list_->activateWindow();
}

}  // namespace varnex
