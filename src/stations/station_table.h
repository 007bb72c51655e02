// Table `main`: its 36 text columns in their fixed order, the column rules,
// and the row a new station gets.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "stations/loaded_station.h"

namespace varnex {

inline constexpr std::size_t kStationColumnCount = 36;

// Positions (0-based) of the column groups; rows are read and inserted by
// position, so the order is part of the file format.
inline constexpr std::size_t kAddressColumn = 0;
inline constexpr std::size_t kPasswordColumn = 1;
inline constexpr std::size_t kCommentColumn = 2;
inline constexpr std::size_t kDefaultFlagColumn = 3;
inline constexpr std::size_t kJumper6Column = 4;
inline constexpr std::size_t kJumper7Column = 5;
inline constexpr std::size_t kFirstViewColumn = 6;
inline constexpr std::size_t kFirstNotesColumn = 14;
inline constexpr std::size_t kFirstLabelColumn = 22;
inline constexpr std::size_t kFirstRelayNotesColumn = 30;
inline constexpr std::size_t kFirstRelayNameColumn = 33;

// The one row the Delete dialog refuses to remove.
inline constexpr std::string_view kFactoryAddress = "10.10.10.10";
inline constexpr std::string_view kSeedPassword = "tamble****";
inline constexpr std::string_view kSeedComment = "VNX DEFAULT IP";

struct StationColumn {
    std::string name;
    std::size_t maxLength = 0;  // 0: long text without a limit
    bool emptyAllowed = true;
    std::optional<std::string> defaultValue;
};

using StationRecord = std::array<std::string, kStationColumnCount>;

const std::array<StationColumn, kStationColumnCount>& StationColumns();

// Column names as they appear in statements: quoted, because DEFAULT is a
// keyword of the engine.
std::string QuotedColumn(std::size_t column);

std::string CreateStationTableStatement();
// Inserts one whole row, the 36 values bound in column order.
std::string InsertStationStatement();

// A complete row: the three given values, the flag, and every other column
// spelled out with its default.
StationRecord NewStationRecord(std::string_view address, std::string_view password,
                               std::string_view comment, std::string_view defaultFlag);

// How many characters of a column `LoadedStation` keeps.
std::size_t LoadedCapacity(std::size_t column);

LoadedStation ToLoadedStation(const StationRecord& record);

}  // namespace varnex
