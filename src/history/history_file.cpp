#include "history/history_file.h"

#include <filesystem>
#include <system_error>

#include "history/rollup.h"

namespace varnex {
namespace {

// 'VNXH': marks the file as a history file.
constexpr const char* kApplicationId = "1448007752";
constexpr const char* kBusyTimeoutMs = "5000";

std::string RollupValueColumns() {
    std::string columns;
    for (const char* kind : {"range", "sum"}) {
        for (std::size_t n = 1; n <= kRollupValueCount; ++n) {
            columns += std::string(", ") + kind + std::to_string(n) + " INTEGER NOT NULL";
        }
    }
    return columns;
}

// Rows are found by station and the rollups' row ranges, never keyed by
// time: a clock that steps back writes earlier times after later ones.
bool CreateTables(SqliteConnection& db) {
    const std::string sql =
        "BEGIN;"
        "PRAGMA application_id=" +
        std::string(kApplicationId) +
        ";"
        "PRAGMA user_version=1;"
        "CREATE TABLE station(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE);"
        "CREATE TABLE reading(station INTEGER NOT NULL, time_ms INTEGER NOT NULL,"
        " volts_a INTEGER NOT NULL, volts_b INTEGER NOT NULL, state INTEGER NOT NULL,"
        " uptime INTEGER NOT NULL);"
        "CREATE TABLE rollup(station INTEGER NOT NULL, level INTEGER NOT NULL,"
        " start_ms INTEGER NOT NULL, first_row INTEGER NOT NULL, last_row INTEGER NOT NULL,"
        " count INTEGER NOT NULL, temperature_count INTEGER NOT NULL,"
        " last_state INTEGER NOT NULL" +
        RollupValueColumns() +
        ");"
        "CREATE INDEX rollup_range ON rollup(station, level, start_ms);"
        "CREATE TABLE event(station INTEGER NOT NULL, time_ms INTEGER NOT NULL,"
        " kind INTEGER NOT NULL);"
        "CREATE INDEX event_range ON event(station, time_ms);"
        "COMMIT;";
    return db.Exec(sql.c_str());
}

HistoryFileError Refused(const std::string& path, const std::string& why, bool foreign = false) {
    return {"The history file " + path + " " + why, foreign};
}

}  // namespace

std::string HistoryPathBeside(const std::string& databasePath) {
    return (std::filesystem::path(databasePath).parent_path() / kHistoryFileName).string();
}

std::variant<OpenedHistory, HistoryFileError> OpenHistoryFile(const std::string& path,
                                                              HistoryAccess access) {
    const bool write = access == HistoryAccess::Write;
    std::string error;
    std::optional<SqliteConnection> db = SqliteConnection::Open(
        path, write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY, error);
    if (!db) {
        return Refused(path, "cannot be opened: " + error);
    }
    db->Exec((std::string("PRAGMA busy_timeout=") + kBusyTimeoutMs).c_str());
    // Reads only the header and the schema: a foreign file is left as it is.
    const std::optional<std::string> tables = db->QueryText("SELECT count(*) FROM sqlite_master");
    if (!tables) {
        return Refused(path,
                       "is damaged or not a history file; it is left untouched: " + db->ErrorText(),
                       true);
    }
    if (*tables == "0") {
        if (!write) {
            return Refused(path, "holds no history yet");
        }
        // Incremental vacuum can only be chosen before the first table.
        if (!db->Exec("PRAGMA auto_vacuum=INCREMENTAL") || !CreateTables(*db)) {
            return Refused(path, "cannot be written: " + db->ErrorText());
        }
    } else if (db->QueryText("PRAGMA application_id") != kApplicationId) {
        return Refused(path, "is not a history file; it is left untouched", true);
    }
    if (write) {
        if (db->QueryText("PRAGMA journal_mode=WAL") != "wal") {
            return Refused(path, "cannot be shared by readers and the writer (no WAL)");
        }
        db->Exec("PRAGMA synchronous=NORMAL");
    }
    return OpenedHistory{std::move(*db), path};
}

std::variant<OpenedHistory, HistoryFileError> OpenHistoryForWriting(
    const std::string& path, const std::string& fallbackPath) {
    std::error_code ignored;
    const bool existed = std::filesystem::exists(path, ignored);
    auto opened = OpenHistoryFile(path, HistoryAccess::Write);
    if (std::holds_alternative<OpenedHistory>(opened) || path == fallbackPath) {
        return opened;
    }
    if (std::get<HistoryFileError>(opened).foreign) {
        return opened;
    }
    if (!existed) {
        std::filesystem::remove(path, ignored);  // only what this attempt created
    }
    return OpenHistoryFile(fallbackPath, HistoryAccess::Write);
}

}  // namespace varnex
