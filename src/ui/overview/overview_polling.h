// Drives the overview's poller on the UI thread: a socket notifier on its
// descriptor, switched on only from NextRead() so replies are taken in
// batches, and one single-shot timer for the next deadline. No lock and no
// second thread: every poll, reply and round is an event of the one loop.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "overview/fleet_overview.h"

namespace varnex {

class OverviewPolling : public QObject {
    Q_OBJECT
  public:
    OverviewPolling(alarms::AlarmMonitor& monitor, const overview::OverviewOptions& options,
                    QObject* parent = nullptr);

    overview::FleetOverview& overview() { return overview_; }
    // Call after anything that changes the schedule (stations, interval, pause).
    void Reschedule();

  signals:
    // Some rows changed; take them with overview().TakeChangedRows().
    void rowsChanged();
    void roundEvaluated(const varnex::alarms::RoundOutcome& outcome);

  private:
    void OnReadable();
    void OnTimer();

    overview::FleetOverview overview_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_;
};

}  // namespace varnex
