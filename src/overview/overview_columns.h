// The overview's columns: their titles, each cell's text, and the number a
// cell sorts by, so that "9.5 V" comes before "12.0 V".
#pragma once

#include <array>
#include <optional>
#include <string>

#include "overview/overview_row.h"

namespace varnex::overview {

enum class Column {
    State,
    Alarms,
    Loss,
    RoundTrip,
    Address,
    Name,
    Temperature,
    Voltage1,
    Voltage2,
    Voltage3,
    Voltage4,
    Voltage5,
    Voltage6,
    Voltage7,
    Voltage8,
    Relays,
    Pins,
    Uptime,
    Firmware,
};
inline constexpr int kColumnCount = static_cast<int>(Column::Firmware) + 1;

std::string ColumnTitle(Column column);
std::string StateText(const OverviewRow& row, Time now);
std::string CellText(const OverviewRow& row, Column column, Time now);
// nullopt for a column sorted by its text, or a cell that is empty.
std::optional<double> CellNumber(const OverviewRow& row, Column column, Time now);

}  // namespace varnex::overview
