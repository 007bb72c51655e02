#include "history/history_reader.h"

#include <algorithm>

namespace varnex {
namespace {

// About two points a pixel column of a chart window: more cannot be seen,
// and Qt Charts draws each of them.
constexpr int64_t kMostPoints = 1500;
constexpr int64_t kReadingIntervalMs = 1000;

std::string RollupSelectSql() {
    std::string columns = "start_ms, first_row, last_row, count, temperature_count, last_state";
    for (const char* kind : {"range", "sum"}) {
        for (std::size_t n = 1; n <= kRollupValueCount; ++n) {
            columns += std::string(", ") + kind + std::to_string(n);
        }
    }
    return "SELECT " + columns +
           " FROM rollup WHERE station = ? AND level = ? AND start_ms >= ? AND start_ms < ?"
           " ORDER BY start_ms";
}

}  // namespace

std::optional<std::size_t> LevelForSpan(int64_t spanMs) {
    if (spanMs / kReadingIntervalMs <= kMostPoints) {
        return std::nullopt;
    }
    for (std::size_t level = 0; level + 1 < kRollupLevels; ++level) {
        if (spanMs / kRollupWidthsMs[level] <= kMostPoints) {
            return level;
        }
    }
    return kRollupLevels - 1;
}

std::variant<HistoryReader, std::string> HistoryReader::Open(const std::string& path) {
    auto opened = OpenHistoryFile(path, HistoryAccess::Read);
    if (auto* error = std::get_if<HistoryFileError>(&opened)) {
        return error->text;
    }
    return HistoryReader(std::move(std::get<OpenedHistory>(opened).connection));
}

std::vector<std::string> HistoryReader::Stations() {
    std::vector<std::string> stations;
    SqliteStatement select(connection_.get(),
                           "SELECT address FROM station WHERE EXISTS"
                           " (SELECT 1 FROM rollup WHERE rollup.station = station.id)"
                           " OR EXISTS (SELECT 1 FROM event WHERE event.station = station.id)"
                           " ORDER BY address");
    while (select.Step() == SQLITE_ROW) {
        stations.push_back(select.Text(0));
    }
    return stations;
}

std::optional<int64_t> HistoryReader::StationId(const std::string& address) {
    SqliteStatement select(connection_.get(), "SELECT id FROM station WHERE address = ?");
    select.Bind(1, address);
    if (select.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return select.Int(0);
}

std::vector<StoredReading> HistoryReader::Readings(const std::string& address, int64_t fromMs,
                                                   int64_t toMs) {
    std::vector<StoredReading> readings;
    const std::optional<int64_t> station = StationId(address);
    if (!station) {
        return readings;
    }
    // Every row of the range lies in a finest bucket that starts in it.
    SqliteStatement span(connection_.get(),
                         "SELECT min(first_row), max(last_row), sum(count) FROM rollup"
                         " WHERE station = ? AND level = 0 AND start_ms >= ? AND start_ms < ?");
    span.Bind(1, *station).Bind(2, BucketStart(fromMs, kRollupWidthsMs[0])).Bind(3, toMs);
    if (span.Step() != SQLITE_ROW || span.IsNull(0)) {
        return readings;
    }
    readings.reserve(static_cast<std::size_t>(span.Int(2)));
    SqliteStatement select(connection_.get(),
                           "SELECT time_ms, volts_a, volts_b, state, uptime FROM reading"
                           " WHERE rowid BETWEEN ? AND ? AND station = ? AND time_ms >= ?"
                           " AND time_ms < ?");
    select.Bind(1, span.Int(0))
        .Bind(2, span.Int(1))
        .Bind(3, *station)
        .Bind(4, fromMs)
        .Bind(5, toMs);
    while (select.Step() == SQLITE_ROW) {
        readings.push_back(Unpack(select.Int(0), {select.Int(1), select.Int(2), select.Int(3)},
                                  static_cast<uint32_t>(select.Int(4))));
    }
    const auto byTime = [](const StoredReading& a, const StoredReading& b) {
        return a.timeMs < b.timeMs;
    };
    if (!std::is_sorted(readings.begin(), readings.end(), byTime)) {
        std::stable_sort(readings.begin(), readings.end(), byTime);
    }
    return readings;
}

std::vector<RollupBucket> HistoryReader::Rollups(const std::string& address, std::size_t level,
                                                 int64_t fromMs, int64_t toMs) {
    std::vector<RollupBucket> buckets;
    const std::optional<int64_t> station = StationId(address);
    if (!station || level >= kRollupLevels) {
        return buckets;
    }
    SqliteStatement select(connection_.get(), RollupSelectSql());
    select.Bind(1, *station)
        .Bind(2, static_cast<int64_t>(level))
        .Bind(3, BucketStart(fromMs, kRollupWidthsMs[level]))
        .Bind(4, toMs);
    while (select.Step() == SQLITE_ROW) {
        RollupBucket bucket;
        bucket.startMs = select.Int(0);
        bucket.firstRow = select.Int(1);
        bucket.lastRow = select.Int(2);
        bucket.count = select.Int(3);
        bucket.temperatureCount = select.Int(4);
        bucket.lastState = select.Int(5);
        int column = 6;
        for (std::size_t n = 0; n < kRollupValueCount; ++n) {
            UnpackRange(n, select.Int(column++), bucket);
        }
        for (int64_t& sum : bucket.sum) {
            sum = select.Int(column++);
        }
        buckets.push_back(bucket);
    }
    return buckets;
}

std::vector<StoredEvent> HistoryReader::Events(const std::string& address, int64_t fromMs,
                                               int64_t toMs) {
    std::vector<StoredEvent> events;
    const std::optional<int64_t> station = StationId(address);
    if (!station) {
        return events;
    }
    SqliteStatement select(connection_.get(),
                           "SELECT time_ms, kind FROM event WHERE station = ? AND time_ms >= ?"
                           " AND time_ms < ? ORDER BY time_ms, rowid");
    select.Bind(1, *station).Bind(2, fromMs).Bind(3, toMs);
    while (select.Step() == SQLITE_ROW) {
        events.push_back({select.Int(0), static_cast<HistoryEvent>(select.Int(1))});
    }
    return events;
}

}  // namespace varnex
