// Thin RAII owners of the ODBC handles the station store needs: one
// environment and connection, and short-lived statements on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The connection text for the SQLite driver, or nullopt for a path the
// driver's attribute syntax cannot carry (';', '{', '}' would start further
// attributes, such as one that loads a library).
std::optional<std::string> DatabaseConnectionText(std::string_view path);

// The step at which connecting stopped.
enum class ConnectFailure { Environment, Version, ConnectionHandle, Connect };

class OdbcConnection {
  public:
    OdbcConnection() = default;
    ~OdbcConnection() { Disconnect(); }
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // nullopt when connected; after a failure nothing stays allocated.
    std::optional<ConnectFailure> Connect(const std::string& connectionText);
    void Disconnect();
    bool connected() const { return connection_ != nullptr; }

    // Groups several statements so that they take effect together or not at all.
    bool BeginTransaction();
    bool EndTransaction(bool commit);

  private:
    friend class OdbcStatement;
    void* environment_ = nullptr;
    void* connection_ = nullptr;
};

struct ColumnBinding {
    std::uint16_t position;  // 1-based, as ODBC counts
    std::size_t capacity;    // characters kept; longer values are cut
};

class OdbcStatement {
  public:
    // Allocates on `connection`; check allocated() before use.
    explicit OdbcStatement(const OdbcConnection& connection);
    ~OdbcStatement();
    OdbcStatement(OdbcStatement&& other) noexcept;
    OdbcStatement& operator=(OdbcStatement&&) = delete;
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    bool allocated() const { return statement_ != nullptr; }

    // Runs `sql` with each '?' bound, in order, to one of `values` as text.
    bool Execute(std::string_view sql, const std::vector<std::string>& values);
    // Rows the last executed change touched; nullopt when the driver cannot tell.
    std::optional<std::int64_t> RowsChanged() const;

    // Binds result columns as character data; Fetch() fills them.
    bool BindColumns(const std::vector<ColumnBinding>& bindings);
    // Empties every bound buffer first, so a null or a failed fetch reads as
    // empty text. False when there is no further row.
    bool Fetch();
    // The text of the n-th bound column (index into the bindings).
    std::string Column(std::size_t index) const;

  private:
    void* statement_ = nullptr;
    std::vector<std::vector<char>> buffers_;
    std::vector<std::int64_t> indicators_;
    std::vector<std::int64_t> parameterLengths_;
};

}  // namespace varnex
