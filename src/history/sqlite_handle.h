// The few parts of the SQLite C library that history uses, each call's
// failure as a result: a connection and a prepared statement.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    bool prepared() const { return statement_ != nullptr; }

    SqliteStatement& Bind(int index, int64_t value);
    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& BindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Steps to the end; true when it got there without an error.
    bool Run();
    void Reset();

    int64_t Int(int column) const;
    bool IsNull(int column) const;
    std::string Text(int column) const;

  private:
    struct Finalize {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    std::unique_ptr<sqlite3_stmt, Finalize> statement_;
};

class SqliteConnection {
  public:
    // Opens `path` with SQLITE_OPEN_* flags; nullopt and `error` on failure.
    static std::optional<SqliteConnection> Open(const std::string& path, int flags,
                                                std::string& error);
    sqlite3* get() const { return db_.get(); }
    // Runs statements without results; true on success.
    bool Exec(const char* sql);
    // The first column of the first row of a query, as text; nullopt on error.
    std::optional<std::string> QueryText(const char* sql);
    std::string ErrorText() const;
    int ErrorCode() const;

  private:
    struct Close {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Close> db_;
};

}  // namespace varnex
