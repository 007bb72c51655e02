#include "history/sqlite_handle.h"

namespace varnex {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) ==
        SQLITE_OK) {
        statement_.reset(statement);
    }
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
    sqlite3_bind_int64(statement_.get(), index, value);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_.get(), index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    sqlite3_bind_null(statement_.get(), index);
    return *this;
}

int SqliteStatement::Step() {
    return statement_ ? sqlite3_step(statement_.get()) : SQLITE_MISUSE;
}

bool SqliteStatement::Run() {
    int result = Step();
    while (result == SQLITE_ROW) {
        result = Step();
    }
    Reset();
    return result == SQLITE_DONE;
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_.get());
    sqlite3_clear_bindings(statement_.get());
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_.get(), column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = sqlite3_column_text(statement_.get(), column);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

std::optional<SqliteConnection> SqliteConnection::Open(const std::string& path, int flags,
                                                       std::string& error) {
    sqlite3* db = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    SqliteConnection connection;
    connection.db_.reset(db);
    if (result != SQLITE_OK) {
        error = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
        return std::nullopt;
    }
    sqlite3_extended_result_codes(db, 1);
    return connection;
}

bool SqliteConnection::Exec(const char* sql) {
    return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<std::string> SqliteConnection::QueryText(const char* sql) {
    SqliteStatement statement(db_.get(), sql);
    if (statement.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return statement.Text(0);
}

std::string SqliteConnection::ErrorText() const {
    return sqlite3_errmsg(db_.get());
}

int SqliteConnection::ErrorCode() const {
    return sqlite3_errcode(db_.get());
}

}  // namespace varnex
