#include "ui/overview/overview_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <chrono>

#include "overview/overview_columns.h"

namespace varnex {
namespace {

using overview::Column;
using overview::RowState;

bool ShowsOldReadings(const overview::OverviewRow& row) {
    const RowState state = overview::StateOf(row);
    return state == RowState::Silent || state == RowState::PasswordRefused ||
           state == RowState::Paused;
}

}  // namespace

OverviewModel::OverviewModel(overview::FleetOverview& overview, QObject* parent)
    : QAbstractTableModel(parent), overview_(overview) {
    rows_ = static_cast<int>(overview_.Rows().size());
}

int OverviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int OverviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : overview::kColumnCount;
}

QVariant OverviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) {
        return {};
    }
    const overview::OverviewRow& row = overview_.Rows()[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<Column>(index.column());
    const auto now = std::chrono::steady_clock::now();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(overview::CellText(row, column, now));
        case kSortRole:
            if (const auto number = overview::CellNumber(row, column, now)) {
                return *number;
            }
            return QString::fromStdString(overview::CellText(row, column, now));
        case kFilterRole:
            return QString::fromStdString(row.ip + '\n' + row.comment + '\n' +
                                          overview::CellText(row, Column::Name, now) + '\n' +
                                          overview::StateText(row, now) + '\n' +
                                          overview::CellText(row, Column::Alarms, now));
        case kAddressRole:
            return QString::fromStdString(row.ip);
        case Qt::BackgroundRole:
            if (!row.openAlarms.empty()) {
                return QBrush(QColor(255, 205, 205));
            }
            return {};
        case Qt::ForegroundRole:
            if (!row.openAlarms.empty() && column == Column::Alarms) {
                return QBrush(QColor(160, 0, 0));
            }
            if (ShowsOldReadings(row) && column != Column::State) {
                return QBrush(QColor(128, 128, 128));
            }
            return {};
        case Qt::FontRole:
            if (ShowsOldReadings(row) && column != Column::State) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        case Qt::TextAlignmentRole:
            if (column >= Column::Loss && column != Column::Address && column != Column::Name &&
                column != Column::Relays && column != Column::Pins) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return {};
        default:
            return {};
    }
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < overview::kColumnCount) {
        return QString::fromStdString(overview::ColumnTitle(static_cast<Column>(section)));
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void OverviewModel::Reset() {
    beginResetModel();
    rows_ = static_cast<int>(overview_.Rows().size());
    endResetModel();
}

void OverviewModel::RowsChanged(const std::vector<std::size_t>& rows) {
    if (rows_ == 0 || rows.empty()) {
        return;
    }
    const int last = overview::kColumnCount - 1;
    // Adjacent rows go out as one range: a whole fleet changing is a few signals, not a thousand.
    std::vector<std::size_t> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) {
            ++j;
        }
        emit dataChanged(index(static_cast<int>(sorted[i]), 0),
                         index(static_cast<int>(sorted[j]), last));
        i = j + 1;
    }
}

void OverviewModel::StatesAged() {
    const auto& rows = overview_.Rows();
    const bool aging = std::any_of(rows.begin(), rows.end(), [](const overview::OverviewRow& r) {
        return overview::StateOf(r) == RowState::Silent;
    });
    if (aging && rows_ > 0) {
        const int state = static_cast<int>(Column::State);
        emit dataChanged(index(0, state), index(rows_ - 1, state), {Qt::DisplayRole});
    }
}

int OverviewModel::RowOf(const std::string& ip) const {
    const auto& rows = overview_.Rows();
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&ip](const overview::OverviewRow& r) { return r.ip == ip; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

}  // namespace varnex
