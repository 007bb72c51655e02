// The alarm list as a table: station, alarm, times raised, cleared and
// acknowledged in local time, newest first; open alarms are coloured, those
// not yet acknowledged more strongly.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

#include "alarms/alarm.h"

namespace varnex {

class AlarmTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Station, Description, Raised, Cleared, Acknowledged, ColumnCount };

    static const QColor kOpenColour;
    static const QColor kAcknowledgedColour;

    using QAbstractTableModel::QAbstractTableModel;

    void SetAlarms(std::vector<alarms::Alarm> alarms);
    const std::vector<alarms::Alarm>& alarms() const { return alarms_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<alarms::Alarm> alarms_;
};

}  // namespace varnex
