#include "stations/station_store.h"

#include <cstdint>

#include "stations/station_message.h"
#include "stations/station_table.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

constexpr std::size_t kStationListAddressWidth = 17;

ColumnBinding Bind(std::size_t column) {
    return {static_cast<std::uint16_t>(column + 1), LoadedCapacity(column)};
}

const char* ConnectFailureText(ConnectFailure failure) {
    switch (failure) {
        case ConnectFailure::Environment:
            return "Environment handle allocation failed";
        case ConnectFailure::Version:
            return "Cannot set desired ODBC version";
        case ConnectFailure::ConnectionHandle:
            return "Connection handle allocation failed";
        case ConnectFailure::Connect:
            break;
    }
    return "Connection attempt failed";
}

}  // namespace

std::string StationListLine(std::string_view address, std::string_view comment) {
    std::string line(address);
    if (line.size() < kStationListAddressWidth) {
        line.resize(kStationListAddressWidth, ' ');
    }
    return line + std::string(comment);
}

void StationStore::OpenStationStore(std::string_view path) {
    const std::optional<std::string> connectionText = DatabaseConnectionText(path);
    const std::optional<ConnectFailure> failure =
        connectionText ? connection_.Connect(*connectionText) : ConnectFailure::Connect;
    if (failure) {
        ShowStationMessage(hooks_, MessageOwner::MainWindow, ConnectFailureText(*failure),
                           MessageIcon::Stop);
    }
}

std::optional<OdbcStatement> StationStore::SelectAllStations(MessageOwner owner) {
    OdbcStatement statement(connection_);
    if (!statement.allocated()) {
        ShowStationMessage(hooks_, owner, "Statement handle allocation failed", MessageIcon::Stop);
        return std::nullopt;
    }
    if (!statement.Execute("select * from main", {})) {
        ShowStationMessage(hooks_, owner, "Execution of SQL statement failed", MessageIcon::Stop);
        return std::nullopt;
    }
    return statement;
}

std::optional<StationList> StationStore::FillStationList(MessageOwner owner) {
    std::optional<OdbcStatement> scan = SelectAllStations(owner);
    if (!scan) {
        return std::nullopt;
    }
    StationList list;
    if (!scan->BindColumns(
            {Bind(kAddressColumn), Bind(kCommentColumn), Bind(kDefaultFlagColumn)})) {
        return list;
    }
    while (scan->Fetch()) {
        list.lines.push_back(StationListLine(scan->Column(0), scan->Column(1)));
        if (scan->Column(2) == "YES") {
            list.text = list.lines.back();
        }
    }
    return list;
}

std::optional<LoadedStation> StationStore::LoadStation(MessageOwner owner, std::string_view ip) {
    std::optional<OdbcStatement> scan = SelectAllStations(owner);
    if (!scan) {
        return std::nullopt;
    }
    std::vector<ColumnBinding> bindings;
    for (std::size_t column = 0; column < kStationColumnCount; ++column) {
        bindings.push_back(Bind(column));
    }
    if (!scan->BindColumns(bindings)) {
        return std::nullopt;
    }
    while (!ip.empty() && scan->Fetch()) {
        if (scan->Column(kAddressColumn) == ip) {
            StationRecord record;
            for (std::size_t column = 0; column < kStationColumnCount; ++column) {
                record[column] = scan->Column(column);
            }
            return ToLoadedStation(record);
        }
    }
    return std::nullopt;
}

std::optional<StationList> StationStore::SetDefaultStation(MessageOwner owner,
                                                           std::string_view ip) {
    bool everyRowSet = true;
    {
        std::optional<OdbcStatement> scan = SelectAllStations(owner);
        if (!scan) {
            return std::nullopt;
        }
        const bool bound = scan->BindColumns({Bind(kAddressColumn)});
        everyRowSet = bound;
        while (bound && scan->Fetch()) {
            // Keyed by the row's own address, so duplicate rows all follow the last pass.
            const std::string address = scan->Column(0);
            everyRowSet =
                SetDefaultFlag(*this, address, !ip.empty() && address == ip) && everyRowSet;
        }
    }
    // Claiming success after a row was left unchanged would hide a stale default.
    if (everyRowSet) {
        ShowStationMessage(hooks_, owner, "Default IP Address Set!", MessageIcon::Information);
    } else {
        ShowStationMessage(hooks_, owner, "Execution of SQL statement failed", MessageIcon::Stop);
    }
    return FillStationList(owner);
}

StatementResult StationStore::RunStatement(std::string_view sql,
                                           const std::vector<std::string>& values) {
    OdbcStatement statement(connection_);
    if (!statement.allocated()) {
        return StatementResult::NotRun;
    }
    return statement.Execute(sql, values) ? StatementResult::Done : StatementResult::Failed;
}

}  // namespace varnex
