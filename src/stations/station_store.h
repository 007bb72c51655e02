// The one database connection, and the reads the main window and the station
// dialogs make through it. Every failure is shown at once through the hooks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform_hooks.h"
#include "stations/loaded_station.h"
#include "stations/odbc_connection.h"

namespace varnex {

// The station list's content in table order, and the text its editable
// field shows: the line of the station whose flag is "YES", or empty.
struct StationList {
    std::vector<std::string> lines;
    std::string text;
};

// The address padded with blanks to 17 characters, then the comment.
std::string StationListLine(std::string_view address, std::string_view comment);

// NotRun: no statement could be allocated. NoRow and SeveralRows: a change
// that had to touch exactly one row did not, and was undone.
enum class StatementResult { Done, NotRun, Failed, NoRow, SeveralRows };

// How many rows a change must touch to count as done.
enum class ExpectedRows { Any, One };

class StationStore {
  public:
    // `hooks` must outlive the store.
    explicit StationStore(const PlatformHooks& hooks) : hooks_(hooks) {}

    // Connects to the database file at `path`; failures are shown and leave
    // the store closed, so that every later operation fails at its first step.
    void OpenStationStore(std::string_view path);
    void CloseStationStore() { connection_.Disconnect(); }
    bool IsOpen() const { return connection_.connected(); }

    // nullopt after a failure (shown); the list on screen is then left as it was.
    std::optional<StationList> FillStationList(MessageOwner owner);
    // The row whose address equals `ip` exactly, with every value cut to its
    // `LoadedStation` capacity and a null read as empty; nullopt when none.
    std::optional<LoadedStation> LoadStation(MessageOwner owner, std::string_view ip);
    // Every row in table order (only the first whose address is `ip`, when
    // `ip` is not empty), cut and read as LoadStation does.
    std::optional<std::vector<LoadedStation>> LoadStations(MessageOwner owner,
                                                           std::string_view ip = {});
    // Marks `ip` "YES" and every other row "NO", all or none, then answers
    // the refilled list. An address in no row, or in several, changes nothing.
    std::optional<StationList> SetDefaultStation(MessageOwner owner, std::string_view ip);

    // One statement that returns no rows; each '?' in `sql` is bound to the
    // next of `values`, so values never change the statement.
    StatementResult RunStatement(std::string_view sql, const std::vector<std::string>& values,
                                 ExpectedRows rows = ExpectedRows::Any);
    // The rows a query answers, its first `columns` columns each as text of
    // at most `capacity` characters (a null reads as empty); nullopt when
    // the query cannot run. Shows nothing: the caller knows what was asked.
    std::optional<std::vector<std::vector<std::string>>> SelectRows(std::string_view sql,
                                                                    std::size_t columns,
                                                                    std::size_t capacity);
    // Runs `steps` as one transaction, kept only when they answer true.
    bool RunTogether(const std::function<bool()>& steps);

    const PlatformHooks& hooks() const { return hooks_; }

  private:
    // Allocates a statement and runs "select * from main" on it, showing the
    // failure; nullopt when the scan cannot start.
    std::optional<OdbcStatement> SelectAllStations(MessageOwner owner);
    StatementResult Execute(std::string_view sql, const std::vector<std::string>& values,
                            ExpectedRows rows);

    const PlatformHooks& hooks_;
    OdbcConnection connection_;
    bool inTransaction_ = false;
};

}  // namespace varnex
