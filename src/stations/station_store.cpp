#include "stations/station_store.h"

#include <algorithm>
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

std::optional<std::vector<LoadedStation>> StationStore::LoadStations(MessageOwner owner,
                                                                     std::string_view ip) {
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
    std::vector<LoadedStation> stations;
    while (scan->Fetch()) {
        if (!ip.empty() && scan->Column(kAddressColumn) != ip) {
            continue;
        }
        StationRecord record;
        for (std::size_t column = 0; column < kStationColumnCount; ++column) {
            record[column] = scan->Column(column);
        }
        stations.push_back(ToLoadedStation(record));
        if (!ip.empty()) {
            break;
        }
    }
    return stations;
}

std::optional<LoadedStation> StationStore::LoadStation(MessageOwner owner, std::string_view ip) {
    if (ip.empty()) {
        return std::nullopt;
    }
    std::optional<std::vector<LoadedStation>> found = LoadStations(owner, ip);
    if (!found || found->empty()) {
        return std::nullopt;
    }
    return found->front();
}

std::optional<StationList> StationStore::SetDefaultStation(MessageOwner owner,
                                                           std::string_view ip) {
    std::vector<std::string> addresses;
    {
        std::optional<OdbcStatement> scan = SelectAllStations(owner);
        if (!scan) {
            return std::nullopt;
        }
        const bool bound = scan->BindColumns({Bind(kAddressColumn)});
        while (bound && scan->Fetch()) {
            addresses.push_back(scan->Column(0));
        }
    }
    // Marking no row would clear every station's flag and leave no default.
    if (ip.empty() || std::find(addresses.begin(), addresses.end(), ip) == addresses.end()) {
        ShowStationMessage(hooks_, owner, kStationNotFoundText, MessageIcon::Stop);
        return std::nullopt;
    }
    // All or nothing: a half-done pass would leave a stale default or none.
    const bool set = RunTogether([&] {
        for (const std::string& address : addresses) {
            if (!SetDefaultFlag(*this, address, address == ip)) {
                return false;
            }
        }
        return true;
    });
    if (set) {
        ShowStationMessage(hooks_, owner, "Default IP Address Set!", MessageIcon::Information);
    } else {
        ShowStationMessage(hooks_, owner, "Execution of SQL statement failed", MessageIcon::Stop);
    }
    return FillStationList(owner);
}

std::optional<std::vector<std::vector<std::string>>> StationStore::SelectRows(
    std::string_view sql, std::size_t columns, std::size_t capacity) {
    OdbcStatement statement(connection_);
    if (!statement.Execute(sql, {})) {
        return std::nullopt;
    }
    std::vector<ColumnBinding> bindings;
    for (std::size_t column = 0; column < columns; ++column) {
        bindings.push_back({static_cast<std::uint16_t>(column + 1), capacity});
    }
    if (!statement.BindColumns(bindings)) {
        return std::nullopt;
    }
    std::vector<std::vector<std::string>> rows;
    while (statement.Fetch()) {
        std::vector<std::string>& row = rows.emplace_back();
        for (std::size_t column = 0; column < columns; ++column) {
            row.push_back(statement.Column(column));
        }
    }
    return rows;
}

bool StationStore::RunTogether(const std::function<bool()>& steps) {
    if (inTransaction_) {
        return steps();
    }
    if (!connection_.BeginTransaction()) {
        return false;
    }
    inTransaction_ = true;
    const bool done = steps();
    inTransaction_ = false;
    return connection_.EndTransaction(done) && done;
}

StatementResult StationStore::RunStatement(std::string_view sql,
                                           const std::vector<std::string>& values,
                                           ExpectedRows rows) {
    if (rows == ExpectedRows::Any) {
        return Execute(sql, values, rows);
    }
    // A change is undone unless it touched exactly its one row.
    StatementResult result = StatementResult::NotRun;
    const bool kept = RunTogether([&] {
        result = Execute(sql, values, rows);
        return result == StatementResult::Done;
    });
    return kept || result != StatementResult::Done ? result : StatementResult::Failed;
}

StatementResult StationStore::Execute(std::string_view sql, const std::vector<std::string>& values,
                                      ExpectedRows rows) {
    OdbcStatement statement(connection_);
    if (!statement.allocated()) {
        return StatementResult::NotRun;
    }
    if (!statement.Execute(sql, values)) {
        return StatementResult::Failed;
    }
    if (rows == ExpectedRows::Any) {
        return StatementResult::Done;
    }
    const std::optional<std::int64_t> changed = statement.RowsChanged();
    if (!changed) {
        return StatementResult::Failed;
    }
    return *changed == 1   ? StatementResult::Done
           : *changed == 0 ? StatementResult::NoRow
                           : StatementResult::SeveralRows;
}

}  // namespace varnex
