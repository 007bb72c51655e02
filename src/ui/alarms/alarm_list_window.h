// The alarm list: every alarm the monitor keeps, newest first, with the
// times it was raised, cleared and acknowledged; the user acknowledges the
// selected alarms or all of them. It works on its own, whether or not the
// stations overview is open.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "alarms/alarm_monitor.h"
#include "ui/alarms/alarm_table_model.h"

namespace varnex {

class AlarmListWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AlarmListWindow(alarms::AlarmMonitor& monitor, QWidget* parent = nullptr);

    // Shows the monitor's alarms afresh; the selection stays with its alarms.
    void Refresh();

    QTableView* table() const { return table_; }
    const AlarmTableModel& model() const { return model_; }
    QPushButton* acknowledgeButton() const { return acknowledge_; }
    QPushButton* acknowledgeAllButton() const { return acknowledgeAll_; }
    QLabel* summaryLabel() const { return summary_; }

  signals:
    void acknowledged();

  private:
    void Acknowledge(bool all);
    void UpdateButtons();

    alarms::AlarmMonitor& monitor_;
    AlarmTableModel model_;
    QLabel* summary_;
    QLabel* networkDown_;
    QTableView* table_;
    QPushButton* acknowledge_;
    QPushButton* acknowledgeAll_;
};

}  // namespace varnex
