#include "stations/station_writers.h"

#include <vector>

#include "stations/station_message.h"
#include "stations/station_table.h"

namespace varnex {
namespace {

constexpr std::size_t kPaddedPasswordLength = 10;

enum class Failure { Shown, Silent };

bool Write(StationStore& store, const std::string& sql, const std::vector<std::string>& values,
           ExpectedRows rows, MessageIcon failureIcon, Failure failure = Failure::Shown) {
    const StatementResult result = store.RunStatement(sql, values, rows);
    if (result == StatementResult::Done || failure == Failure::Silent) {
        return result == StatementResult::Done;
    }
    const auto tell = [&store](const char* text, MessageIcon icon) {
        ShowStationMessage(store.hooks(), MessageOwner::ActiveDialog, text, icon);
    };
    switch (result) {
        // A writer that cannot even start would otherwise drop the user's input unseen.
        case StatementResult::NotRun:
            tell("Statement handle allocation failed", MessageIcon::Stop);
            break;
        // The row was deleted meanwhile, or the address was never stored.
        case StatementResult::NoRow:
            tell(kStationNotFoundText, MessageIcon::Stop);
            break;
        default:
            tell("Execution of SQL statement failed", failureIcon);
            break;
    }
    return false;
}

std::string UpdateStatement(const std::vector<std::size_t>& columns) {
    std::string sql = "UPDATE main SET ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + QuotedColumn(columns[i]) + "=?";
    }
    return sql + " WHERE " + QuotedColumn(kAddressColumn) + "=?";
}

// The table has no unique key: a hand-edited file may hold an address
// twice, and one station's change must never reach a second row.
bool UpdateRow(StationStore& store, std::string_view ip, const std::vector<std::size_t>& columns,
               std::vector<std::string> values, MessageIcon failureIcon,
               ExpectedRows rows = ExpectedRows::One, Failure failure = Failure::Shown) {
    values.emplace_back(ip);
    return Write(store, UpdateStatement(columns), values, rows, failureIcon, failure);
}

bool InRange(int number, std::size_t count) {
    return number >= 1 && static_cast<std::size_t>(number) <= count;
}

}  // namespace

std::string PasswordAsStored(std::string_view typed) {
    std::string stored(typed);
    if (!stored.empty() && stored.size() < kPaddedPasswordLength) {
        stored.resize(kPaddedPasswordLength, '*');
    }
    return stored;
}

bool InsertStation(StationStore& store, std::string_view ip, std::string_view password,
                   std::string_view comment) {
    const StationRecord record = NewStationRecord(ip, password, comment, "NO");
    return Write(store, InsertStationStatement(), {record.begin(), record.end()}, ExpectedRows::Any,
                 MessageIcon::None);
}

bool UpdateStation(StationStore& store, std::string_view ip, std::string_view password,
                   std::string_view comment) {
    return UpdateRow(store, ip, {kAddressColumn, kPasswordColumn, kCommentColumn},
                     {std::string(ip), std::string(password), std::string(comment)},
                     MessageIcon::Exclamation);
}

bool DeleteStation(StationStore& store, std::string_view ip) {
    return Write(store, "DELETE FROM main WHERE " + QuotedColumn(kAddressColumn) + "=?",
                 {std::string(ip)}, ExpectedRows::One, MessageIcon::Stop);
}

bool SetDefaultFlag(StationStore& store, std::string_view ip, bool isDefault) {
    // Clearing the flag may meet any number of rows; setting it, exactly one.
    return UpdateRow(store, ip, {kDefaultFlagColumn}, {isDefault ? "YES" : "NO"}, MessageIcon::None,
                     isDefault ? ExpectedRows::One : ExpectedRows::Any, Failure::Silent);
}

bool SetRelayName(StationStore& store, std::string_view ip, int relay, std::string_view name) {
    return InRange(relay, kRelayColumns) &&
           UpdateRow(store, ip, {kFirstRelayNameColumn + relay - 1}, {std::string(name)},
                     MessageIcon::None);
}

bool SetRelayNotes(StationStore& store, std::string_view ip, int relay, std::string_view notes) {
    return InRange(relay, kRelayColumns) &&
           UpdateRow(store, ip, {kFirstRelayNotesColumn + relay - 1}, {std::string(notes)},
                     MessageIcon::None);
}

bool SetVoltmeterOptions(StationStore& store, std::string_view ip, int voltmeter,
                         const VoltmeterOptions& options) {
    if (!InRange(voltmeter, kVoltmeterColumns)) {
        return false;
    }
    const std::size_t index = static_cast<std::size_t>(voltmeter) - 1;
    std::vector<std::size_t> columns;
    std::vector<std::string> values;
    // Only voltmeters 1 and 2 have a range jumper.
    if (index < 2) {
        columns.push_back(index == 0 ? kJumper6Column : kJumper7Column);
        values.push_back(options.jumper);
    }
    columns.insert(columns.end(), {kFirstViewColumn + index, kFirstNotesColumn + index,
                                   kFirstLabelColumn + index});
    values.insert(values.end(), {options.view, options.notes, options.label});
    return UpdateRow(store, ip, columns, std::move(values), MessageIcon::None);
}

bool SetStationPassword(StationStore& store, std::string_view ip, std::string_view password) {
    return UpdateRow(store, ip, {kPasswordColumn}, {std::string(password)}, MessageIcon::Stop);
}

}  // namespace varnex
