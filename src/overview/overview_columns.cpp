#include "overview/overview_columns.h"

#include <cstdio>

#include "text/conversions.h"

namespace varnex::overview {
namespace {

std::optional<std::size_t> VoltmeterOf(Column column) {
    const int n = static_cast<int>(column) - static_cast<int>(Column::Voltage1);
    if (n < 0 || n >= static_cast<int>(wire::kVoltmeterCount)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(n);
}

std::string Fixed(double value, int decimals, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit);
    return text;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

std::string RelaysText(const Readings& readings) {
    std::vector<std::string> words;
    for (const RelayReading& relay : readings.relays) {
        words.emplace_back(relay.unitSaysOn ? "ON" : "OFF");
    }
    return Joined(words, " ");
}

std::string PinsText(const Readings& readings) {
    std::vector<std::string> levels;
    for (const bool high : readings.pinsHigh) {
        levels.emplace_back(high ? "1" : "0");
    }
    return Joined(levels, " ");
}

}  // namespace

std::string ColumnTitle(Column column) {
    if (const auto meter = VoltmeterOf(column)) {
        return "Voltage " + std::to_string(*meter + 1);
    }
    switch (column) {
        case Column::State:
            return "State";
        case Column::Alarms:
            return "Alarms";
        case Column::Loss:
            return "Loss (1 h)";
        case Column::RoundTrip:
            return "Round trip";
        case Column::Address:
            return "Address";
        case Column::Name:
            return "Name";
        case Column::Temperature:
            return "Temperature";
        case Column::Relays:
            // The unit's word: ON is the coil at rest.
            return "Relays (ON: at rest)";
        case Column::Pins:
            return "Pins 1-5";
        case Column::Uptime:
            return "Uptime";
        case Column::Firmware:
            return "Firmware";
        default:
            return "";
    }
}

std::string StateText(const OverviewRow& row, Time now) {
    std::string text;
    switch (StateOf(row)) {
        case RowState::Waiting:
            text = "waiting";
            break;
        case RowState::Up:
            text = "up";
            break;
        case RowState::Silent:
            text = "silent for " +
                   std::to_string(
                       std::chrono::duration_cast<std::chrono::seconds>(now - SilentSince(row))
                           .count()) +
                   " s";
            break;
        case RowState::PasswordRefused:
            text = "refused password";
            break;
        case RowState::Paused:
            return "paused";
    }
    return row.inSession ? text + " (session)" : text;
}

std::string CellText(const OverviewRow& row, Column column, Time now) {
    if (column == Column::State) {
        return StateText(row, now);
    }
    if (column == Column::Alarms) {
        return Joined(row.openAlarms, "; ");
    }
    if (column == Column::Address) {
        return row.ip;
    }
    if (column == Column::Name && !row.comment.empty()) {
        return row.comment;
    }
    if (column == Column::Loss) {
        const auto percent = row.loss.Percent(now);
        return percent ? Fixed(*percent, 1, " %") : "";
    }
    if (column == Column::RoundTrip) {
        return row.lastRoundTrip
                   ? Fixed(std::chrono::duration<double, std::milli>(*row.lastRoundTrip).count(), 1,
                           " ms")
                   : "";
    }
    if (!row.readings) {
        return "";
    }
    const Readings& r = *row.readings;
    if (const auto meter = VoltmeterOf(column)) {
        return Fixed(static_cast<double>(r.voltmeters[*meter].volts), 3, " V");
    }
    switch (column) {
        case Column::Name:
            return r.stationName;
        case Column::Temperature:
            return r.temperature ? Fixed(static_cast<double>(r.temperature->Celsius()), 1, " °C")
                                 : "";
        case Column::Relays:
            return RelaysText(r);
        case Column::Pins:
            return PinsText(r);
        case Column::Uptime:
            return UptimeText(r.uptimeSeconds);
        case Column::Firmware:
            return r.firmwareText;
        default:
            return "";
    }
}

std::optional<double> CellNumber(const OverviewRow& row, Column column, Time now) {
    switch (column) {
        case Column::State:
            return static_cast<double>(StateOf(row));
        case Column::Alarms:
            return static_cast<double>(row.openAlarms.size());
        case Column::Address:
            // 127.1.0.9 before 127.1.0.10.
            if (const auto address = ParseDottedAddress(row.ip)) {
                return static_cast<double>(*address);
            }
            return std::nullopt;
        case Column::Loss:
            return row.loss.Percent(now);
        case Column::RoundTrip:
            if (row.lastRoundTrip) {
                return std::chrono::duration<double>(*row.lastRoundTrip).count();
            }
            return std::nullopt;
        default:
            break;
    }
    if (!row.readings) {
        return std::nullopt;
    }
    const Readings& r = *row.readings;
    if (const auto meter = VoltmeterOf(column)) {
        return static_cast<double>(r.voltmeters[*meter].volts);
    }
    switch (column) {
        case Column::Temperature:
            if (r.temperature) {
                return static_cast<double>(r.temperature->Celsius());
            }
            return std::nullopt;
        case Column::Uptime:
            return r.uptimeSeconds;
        case Column::Firmware:
            return r.firmwareVersion;
        default:
            return std::nullopt;
    }
}

}  // namespace varnex::overview
