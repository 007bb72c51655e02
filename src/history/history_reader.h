// Reading history back: one read-only connection, each query its own short
// read transaction (no transaction stays open between queries, so the
// writer's checkpoints are never held up).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "history/history_event.h"
#include "history/history_file.h"
#include "history/rollup.h"
#include "history/stored_reading.h"

namespace varnex {

// The roll-up level (index into kRollupWidthsMs) that shows `spanMs` in at
// most 1500 points; nullopt: the raw readings (up to 25 minutes).
std::optional<std::size_t> LevelForSpan(int64_t spanMs);

class HistoryReader {
  public:
    static std::variant<HistoryReader, std::string> Open(const std::string& path);

    // The addresses that have history, in address order.
    std::vector<std::string> Stations();
    // Readings with fromMs <= time < toMs, in time order (a clock that
    // stepped back leaves them out of order in the file).
    std::vector<StoredReading> Readings(const std::string& address, int64_t fromMs, int64_t toMs);
    // Buckets of `level` that hold readings of the range, in time order.
    std::vector<RollupBucket> Rollups(const std::string& address, std::size_t level, int64_t fromMs,
                                      int64_t toMs);
    std::vector<StoredEvent> Events(const std::string& address, int64_t fromMs, int64_t toMs);

  private:
    explicit HistoryReader(SqliteConnection connection) : connection_(std::move(connection)) {}
    std::optional<int64_t> StationId(const std::string& address);

    SqliteConnection connection_;
};

}  // namespace varnex
