// The overview's rows as a table model: the core's cell texts, the numbers
// they sort by, and the looks of a row in alarm or without fresh readings.
// It shows the core's rows as they are; the window decides when to tell
// the views (batches).
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "overview/fleet_overview.h"

namespace varnex {

class OverviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The number a cell sorts by, or its text where it has none.
    static constexpr int kSortRole = Qt::UserRole;
    // The texts the filter field is matched against.
    static constexpr int kFilterRole = Qt::UserRole + 1;
    // The row's address.
    static constexpr int kAddressRole = Qt::UserRole + 2;

    explicit OverviewModel(overview::FleetOverview& overview, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows changed as a whole (stations added or removed).
    void Reset();
    // Tells the views of these rows.
    void RowsChanged(const std::vector<std::size_t>& rows);
    // A silent row's age moves on: tells the views of the state column
    // when any row shows an age.
    void StatesAged();
    int RowOf(const std::string& ip) const;

  private:
    overview::FleetOverview& overview_;
    int rows_ = 0;
};

}  // namespace varnex
