#include "ui/alarms/alarm_table_model.h"

#include <QDateTime>
#include <QFont>
#include <chrono>

namespace varnex {
namespace {

QString LocalText(const std::optional<alarms::WallTime>& time) {
    if (!time) {
        return {};
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time->time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

const QColor AlarmTableModel::kOpenColour(255, 200, 200);
const QColor AlarmTableModel::kAcknowledgedColour(255, 236, 179);

void AlarmTableModel::SetAlarms(std::vector<alarms::Alarm> alarms) {
    beginResetModel();
    alarms_ = std::move(alarms);
    endResetModel();
}

int AlarmTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(alarms_.size());
}

int AlarmTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AlarmTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const alarms::Alarm& alarm = alarms_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case Station:
                    return QString::fromStdString(alarm.ip);
                case Description:
                    return QString::fromStdString(alarms::AlarmDescription(alarm));
                case Raised:
                    return LocalText(alarm.raised);
                case Cleared:
                    return alarm.Open() ? QStringLiteral("open") : LocalText(alarm.cleared);
                case Acknowledged:
                    return LocalText(alarm.acknowledged);
            }
            return {};
        case Qt::BackgroundRole:
            if (alarm.Open()) {
                return alarm.acknowledged ? kAcknowledgedColour : kOpenColour;
            }
            return {};
        case Qt::FontRole:
            if (alarm.Open() && !alarm.acknowledged) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ToolTipRole:
            return QString::fromStdString(alarms::AlarmText(alarm));
    }
    return {};
}

QVariant AlarmTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kTitles[ColumnCount] = {"Station", "Alarm", "Raised", "Cleared",
                                                     "Acknowledged"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section])
                                                 : QVariant();
}

}  // namespace varnex
