#include "stations/station_table.h"

namespace varnex {
namespace {

std::string Numbered(std::string_view prefix, std::size_t n, std::string_view suffix) {
    return std::string(prefix) + std::to_string(n) + std::string(suffix);
}

std::array<StationColumn, kStationColumnCount> BuildColumns() {
    std::array<StationColumn, kStationColumnCount> columns;
    columns[kAddressColumn] = {"IPADDRESS", 15, false, std::nullopt};
    columns[kPasswordColumn] = {"PASSWORD", 35, false, std::nullopt};
    columns[kCommentColumn] = {"COMMENT", 50, true, std::nullopt};
    columns[kDefaultFlagColumn] = {"DEFAULT", 10, true, "NO"};
    columns[kJumper6Column] = {"JP6", 10, true, "ON"};
    columns[kJumper7Column] = {"JP7", 10, true, "ON"};
    static constexpr std::array<std::string_view, kVoltmeterColumns> kRanges = {
        "0-30-60", "0-30-60", "0-30", "0-30", "0-30", "0-5", "0-5", "0-5"};
    for (std::size_t i = 0; i < kVoltmeterColumns; ++i) {
        const std::size_t n = i + 1;
        // Voltmeter 1's view column is narrower than the others'.
        columns[kFirstViewColumn + i] = {Numbered("VM", n, "VIEW"), i == 0 ? 10u : 50u, true,
                                         "STANDARD"};
        columns[kFirstNotesColumn + i] = {
            Numbered("VM", n, "NOTES"), 0, true,
            Numbered("Enter notes about how Voltmeter ", n, " is hooked up...")};
        columns[kFirstLabelColumn + i] = {
            Numbered("VM", n, "LABEL"), 50, true,
            Numbered("Voltage ", n, " (") + std::string(kRanges[i]) + ")"};
    }
    for (std::size_t i = 0; i < kRelayColumns; ++i) {
        const std::size_t n = i + 1;
        columns[kFirstRelayNotesColumn + i] = {
            Numbered("RELAY", n, "NOTES"), 0, true,
            Numbered("Enter notes about how Relay ", n, " is hooked up...")};
        columns[kFirstRelayNameColumn + i] = {Numbered("RELAY", n, "NAME"), 50, true,
                                              Numbered("Relay ", n, "")};
    }
    return columns;
}

std::string SqlLiteral(std::string_view text) {
    std::string literal = "'";
    for (char c : text) {
        literal += c;
        if (c == '\'') {
            literal += '\'';
        }
    }
    return literal + "'";
}

std::string ColumnDefinition(std::size_t column) {
    const StationColumn& definition = StationColumns()[column];
    const std::string name = QuotedColumn(column);
    std::string text = name + " TEXT";
    if (definition.defaultValue) {
        text += " DEFAULT " + SqlLiteral(*definition.defaultValue);
    }
    std::string rule;
    if (!definition.emptyAllowed) {
        rule = name + " <> ''";
    }
    if (definition.maxLength != 0) {
        rule += (rule.empty() ? "" : " AND ") + std::string("length(") + name +
                ") <= " + std::to_string(definition.maxLength);
    }
    if (!rule.empty()) {
        text += " CHECK(" + rule + ")";
    }
    return text;
}

}  // namespace

const std::array<StationColumn, kStationColumnCount>& StationColumns() {
    static const std::array<StationColumn, kStationColumnCount> columns = BuildColumns();
    return columns;
}

std::string QuotedColumn(std::size_t column) {
    return "\"" + StationColumns()[column].name + "\"";
}

std::string CreateStationTableStatement() {
    std::string statement = "CREATE TABLE main (";
    for (std::size_t column = 0; column < kStationColumnCount; ++column) {
        statement += (column == 0 ? "" : ", ") + ColumnDefinition(column);
    }
    return statement + ")";
}

std::string InsertStationStatement() {
    std::string statement = "INSERT INTO main VALUES (";
    for (std::size_t column = 0; column < kStationColumnCount; ++column) {
        statement += column == 0 ? "?" : ",?";
    }
    return statement + ")";
}

StationRecord NewStationRecord(std::string_view address, std::string_view password,
                               std::string_view comment, std::string_view defaultFlag) {
    StationRecord record;
    for (std::size_t column = 0; column < kStationColumnCount; ++column) {
        record[column] = StationColumns()[column].defaultValue.value_or("");
    }
    record[kAddressColumn] = address;
    record[kPasswordColumn] = password;
    record[kCommentColumn] = comment;
    record[kDefaultFlagColumn] = defaultFlag;
    return record;
}

std::size_t LoadedCapacity(std::size_t column) {
    using Limits = LoadedStationLimits;
    if (column >= kFirstRelayNameColumn) {
        return Limits::relayName;
    }
    if (column >= kFirstRelayNotesColumn) {
        return Limits::relayNotes;
    }
    if (column >= kFirstLabelColumn) {
        return Limits::label;
    }
    if (column >= kFirstNotesColumn) {
        return Limits::notes;
    }
    if (column >= kFirstViewColumn) {
        return Limits::view;
    }
    switch (column) {
        case kAddressColumn:
            return Limits::address;
        case kPasswordColumn:
            return Limits::password;
        case kCommentColumn:
            return Limits::comment;
        case kDefaultFlagColumn:
            return Limits::defaultFlag;
        default:
            return Limits::jumper;
    }
}

LoadedStation ToLoadedStation(const StationRecord& record) {
    LoadedStation station;
    station.address = record[kAddressColumn];
    station.password = record[kPasswordColumn];
    station.comment = record[kCommentColumn];
    station.defaultFlag = record[kDefaultFlagColumn];
    station.jumper6 = record[kJumper6Column];
    station.jumper7 = record[kJumper7Column];
    for (std::size_t i = 0; i < kVoltmeterColumns; ++i) {
        station.views[i] = record[kFirstViewColumn + i];
        station.notes[i] = record[kFirstNotesColumn + i];
        station.labels[i] = record[kFirstLabelColumn + i];
    }
    for (std::size_t i = 0; i < kRelayColumns; ++i) {
        station.relayNotes[i] = record[kFirstRelayNotesColumn + i];
        station.relayNames[i] = record[kFirstRelayNameColumn + i];
    }
    return station;
}

}  // namespace varnex
