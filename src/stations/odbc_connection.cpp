#include "stations/odbc_connection.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <limits>
#include <type_traits>

namespace varnex {
namespace {

static_assert(std::is_same_v<SQLLEN, std::int64_t>, "length buffers are declared as int64_t");

bool Succeeded(SQLRETURN result) {
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

void FreeHandle(SQLSMALLINT type, void*& handle) {
    if (handle != nullptr) {
        SQLFreeHandle(type, handle);
        handle = nullptr;
    }
}

// A value cut at the buffer's end may end inside a multi-byte character;
// drop the incomplete tail rather than hand out broken text.
void DropIncompleteCharacter(std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0) {
        return;
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (text.size() - (start - 1) < expected) {
        text.resize(start - 1);
    }
}

}  // namespace

std::optional<std::string> DatabaseConnectionText(std::string_view path) {
    if (path.empty() ||
        path.find_first_of(std::string_view(";{}\0", 4)) != std::string_view::npos) {
        return std::nullopt;
    }
    // NoCreat: a missing file is an error here, never silently a new empty database.
    // Timeout: a file another program keeps locked fails a statement within a
    // moment, instead of the driver's 100 s that would freeze the one UI thread.
    return "DRIVER={SQLite3};Database=" + std::string(path) + ";NoCreat=1;Timeout=500";
}

std::optional<ConnectFailure> OdbcConnection::Connect(const std::string& connectionText) {
    Disconnect();
    // The driver manager takes the text's length in 16 bits: a longer text
    // would be cut short and could name another file, without "NoCreat".
    if (connectionText.size() > static_cast<std::size_t>(std::numeric_limits<SQLSMALLINT>::max())) {
        return ConnectFailure::Connect;
    }
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_))) {
        environment_ = nullptr;
        return ConnectFailure::Environment;
    }
    if (!Succeeded(SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION,
                                 reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
        FreeHandle(SQL_HANDLE_ENV, environment_);
        return ConnectFailure::Version;
    }
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment_, &connection_))) {
        connection_ = nullptr;
        FreeHandle(SQL_HANDLE_ENV, environment_);
        return ConnectFailure::ConnectionHandle;
    }
    SQLCHAR completed[257] = {};
    SQLSMALLINT completedLength = 0;
    std::string text = connectionText;
    // No window to prompt from: a connection text the driver cannot use fails.
    if (!Succeeded(SQLDriverConnect(connection_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                    static_cast<SQLSMALLINT>(text.size()), completed,
                                    sizeof completed - 1, &completedLength, SQL_DRIVER_NOPROMPT))) {
        FreeHandle(SQL_HANDLE_DBC, connection_);
        FreeHandle(SQL_HANDLE_ENV, environment_);
        return ConnectFailure::Connect;
    }
    return std::nullopt;
}

void OdbcConnection::Disconnect() {
    if (connection_ != nullptr) {
        SQLDisconnect(connection_);
    }
    FreeHandle(SQL_HANDLE_DBC, connection_);
    FreeHandle(SQL_HANDLE_ENV, environment_);
}

bool OdbcConnection::BeginTransaction() {
    return connected() &&
           Succeeded(SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                                       reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
}

bool OdbcConnection::EndTransaction(bool commit) {
    if (!connected()) {
        return false;
    }
    const bool ended =
        Succeeded(SQLEndTran(SQL_HANDLE_DBC, connection_, commit ? SQL_COMMIT : SQL_ROLLBACK));
    SQLSetConnectAttr(connection_, SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    return ended;
}

OdbcStatement::OdbcStatement(const OdbcConnection& connection) {
    if (!connection.connected() ||
        !Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection.connection_, &statement_))) {
        statement_ = nullptr;
    }
}

OdbcStatement::~OdbcStatement() {
    if (statement_ != nullptr) {
        SQLFreeStmt(statement_, SQL_CLOSE);
    }
    FreeHandle(SQL_HANDLE_STMT, statement_);
}

OdbcStatement::OdbcStatement(OdbcStatement&& other) noexcept
    : statement_(other.statement_),
      buffers_(std::move(other.buffers_)),
      indicators_(std::move(other.indicators_)),
      parameterLengths_(std::move(other.parameterLengths_)) {
    other.statement_ = nullptr;
}

bool OdbcStatement::Execute(std::string_view sql, const std::vector<std::string>& values) {
    if (!allocated()) {
        return false;
    }
    parameterLengths_.assign(values.size(), 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        parameterLengths_[i] = static_cast<SQLLEN>(values[i].size());
        // The driver reads the value through this pointer only during execution.
        auto* data = const_cast<char*>(values[i].data());
        if (!Succeeded(SQLBindParameter(statement_, static_cast<SQLUSMALLINT>(i + 1),
                                        SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                        values[i].empty() ? 1 : values[i].size(), 0, data,
                                        parameterLengths_[i], &parameterLengths_[i]))) {
            return false;
        }
    }
    std::string text(sql);
    const SQLRETURN result = SQLExecDirect(statement_, reinterpret_cast<SQLCHAR*>(text.data()),
                                           static_cast<SQLINTEGER>(text.size()));
    // A change that matched no row ran all the same.
    return Succeeded(result) || result == SQL_NO_DATA;
}

std::optional<std::int64_t> OdbcStatement::RowsChanged() const {
    SQLLEN rows = -1;
    if (!allocated() || !Succeeded(SQLRowCount(statement_, &rows)) || rows < 0) {
        return std::nullopt;
    }
    return rows;
}

bool OdbcStatement::BindColumns(const std::vector<ColumnBinding>& bindings) {
    buffers_.assign(bindings.size(), {});
    indicators_.assign(bindings.size(), 0);
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        buffers_[i].assign(bindings[i].capacity + 1, '\0');
        if (!Succeeded(SQLBindCol(statement_, bindings[i].position, SQL_C_CHAR, buffers_[i].data(),
                                  static_cast<SQLLEN>(buffers_[i].size()), &indicators_[i]))) {
            return false;
        }
    }
    return true;
}

bool OdbcStatement::Fetch() {
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        std::memset(buffers_[i].data(), 0, buffers_[i].size());
        indicators_[i] = SQL_NULL_DATA;
    }
    return allocated() && Succeeded(SQLFetch(statement_));
}

std::string OdbcStatement::Column(std::size_t index) const {
    const std::vector<char>& buffer = buffers_[index];
    std::string text(buffer.data(), strnlen(buffer.data(), buffer.size()));
    const SQLLEN length = indicators_[index];
    if (length == SQL_NO_TOTAL || length >= static_cast<SQLLEN>(buffer.size())) {
        DropIncompleteCharacter(text);
    }
    return text;
}

}  // namespace varnex
