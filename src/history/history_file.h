// The history file: where it lives, opening it, and its tables. A file that
// is not a history file (or not an SQLite file at all) is refused and never
// written to.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "history/sqlite_handle.h"

namespace varnex {

inline constexpr const char* kHistoryFileName = "history.sqlite";

// history.sqlite in the folder of `databasePath`.
std::string HistoryPathBeside(const std::string& databasePath);

struct HistoryFileError {
    std::string text;
    bool foreign = false;  // the file is not a history file: it is left as it is
};

struct OpenedHistory {
    SqliteConnection connection;
    std::string path;
};

enum class HistoryAccess { Write, Read };

// Opens the history file at `path`, creating it with its tables when missing
// (Write); refuses a file that is not ours. Writing needs WAL, so that
// readers never wait for the writer; the error text says why not.
std::variant<OpenedHistory, HistoryFileError> OpenHistoryFile(const std::string& path,
                                                              HistoryAccess access);

// The file beside the station database, or in `fallbackPath` where WAL
// cannot work there (a network filesystem) or the folder cannot be written.
// A file that is not ours is refused without a fallback: the user must see it.
std::variant<OpenedHistory, HistoryFileError> OpenHistoryForWriting(
    const std::string& path, const std::string& fallbackPath);

}  // namespace varnex
