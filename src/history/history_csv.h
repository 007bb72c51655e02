// Every stored reading of a range as CSV (RFC 4180): a header line, one
// line per reading, times in ISO 8601 local time with their UTC offset,
// numbers with a dot whatever the locale, lines ended by CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "history/history_reader.h"

namespace varnex {

// "2026-03-29T03:00:00.250+02:00" in the process's time zone.
std::string IsoLocalTime(int64_t timeMs);

// A field quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

// Writes the readings of [fromMs, toMs); the number of readings written.
std::size_t WriteHistoryCsv(std::ostream& out, HistoryReader& reader, const std::string& address,
                            int64_t fromMs, int64_t toMs,
                            const std::optional<VoltmeterJumpers>& jumpers,
                            const std::array<std::string, wire::kVoltmeterCount>& labels);

}  // namespace varnex
