#include "history/history_writer.h"

#include <sys/stat.h>

#include <chrono>
#include <utility>

namespace varnex {
namespace {

constexpr int64_t kDayMs = 86'400'000;
constexpr int kVacuumPagesPerStep = 512;

uint64_t InodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_ino) : 0;
}

std::string RollupInsertSql() {
    std::string names =
        "station, level, start_ms, first_row, last_row, count,"
        " temperature_count, last_state";
    std::string values = "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8";
    int parameter = 9;
    for (const char* kind : {"range", "sum"}) {
        for (std::size_t n = 1; n <= kRollupValueCount; ++n) {
            names += std::string(", ") + kind + std::to_string(n);
            values += ", ?" + std::to_string(parameter++);
        }
    }
    return "INSERT INTO rollup(" + names + ") VALUES(" + values + ")";
}

void BindBucket(SqliteStatement& statement, int64_t station, std::size_t level,
                const RollupBucket& bucket) {
    statement.Bind(1, station)
        .Bind(2, static_cast<int64_t>(level))
        .Bind(3, bucket.startMs)
        .Bind(4, bucket.firstRow)
        .Bind(5, bucket.lastRow)
        .Bind(6, bucket.count)
        .Bind(7, bucket.temperatureCount)
        .Bind(8, bucket.lastState);
    int parameter = 9;
    for (std::size_t n = 0; n < kRollupValueCount; ++n) {
        statement.Bind(parameter++, PackRange(n, bucket.min[n], bucket.max[n]));
    }
    for (int64_t sum : bucket.sum) {
        statement.Bind(parameter++, sum);
    }
}

}  // namespace

HistoryWriter::HistoryWriter(OpenedHistory opened, HistoryWriterOptions options)
    : connection_(std::move(opened.connection)),
      path_(std::move(opened.path)),
      options_(std::move(options)),
      inode_(InodeOf(path_)),
      insertReading_(db(),
                     "INSERT INTO reading(station, time_ms, volts_a, volts_b, state, uptime)"
                     " VALUES(?, ?, ?, ?, ?, ?)"),
      insertRollup_(db(), RollupInsertSql()),
      removeRollup_(db(), "DELETE FROM rollup WHERE rowid = ?"),
      retentionDays_(options_.retentionDays) {
    sqlite3_busy_timeout(db(), options_.busyTimeoutMs);
    thread_ = std::thread([this] { Run(); });
}

HistoryWriter::~HistoryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

int64_t HistoryWriter::Now() const {
    if (options_.nowMs) {
        return options_.nowMs();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void HistoryWriter::Enqueue(Item item) {
    bool full = false;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(item));
        ++queued_;
        full = queue_.size() >= options_.batchSize;
    }
    if (full) {
        wake_.notify_one();
    }
}

void HistoryWriter::Record(const std::string& address, const StoredReading& reading) {
    Enqueue(ReadingItem{address, reading});
}

void HistoryWriter::RecordEvent(const std::string& address, int64_t timeMs, HistoryEvent kind) {
    Enqueue(EventItem{address, {timeMs, kind}});
}

void HistoryWriter::MoveStation(const std::string& from, const std::string& to) {
    Enqueue(MoveItem{from, to});
}

void HistoryWriter::SetRetentionDays(int days) {
    {
        std::lock_guard lock(mutex_);
        retentionDays_ = days;
        retentionChanged_ = true;
    }
    wake_.notify_one();
}

void HistoryWriter::Flush() {
    std::unique_lock lock(mutex_);
    const uint64_t target = queued_;
    flushRequested_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return done_ >= target && !flushRequested_; });
}

std::optional<std::string> HistoryWriter::TakeFailure() {
    std::lock_guard lock(mutex_);
    return std::exchange(failure_, std::nullopt);
}

void HistoryWriter::Fail(const std::string& what) {
    std::lock_guard lock(mutex_);
    if (!failed_) {
        failed_ = true;
        failure_ = "History: " + what + " (" + path_ + "); polling goes on without it";
    }
}

void HistoryWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto due = [&] {
            return stopping_ || flushRequested_ || retentionChanged_ ||
                   queue_.size() >= options_.batchSize;
        };
        if (!retentionPending_) {
            wake_.wait_for(lock, std::chrono::milliseconds(options_.batchDelayMs), due);
        }
        std::deque<Item> batch;
        batch.swap(queue_);
        const uint64_t taken = queued_;
        const bool flushing = flushRequested_;
        const bool stopping = stopping_;
        if (std::exchange(retentionChanged_, false)) {
            lastRetentionMs_.reset();
        }
        lock.unlock();

        if (!batch.empty()) {
            WriteBatch(batch);
        }
        const int64_t now = Now();
        // A clock that stepped back starts the next pass at once.
        if (!lastRetentionMs_ || now - *lastRetentionMs_ >= options_.retentionEveryMs ||
            *lastRetentionMs_ > now) {
            lastRetentionMs_ = now;
            retentionPending_ = true;
        }
        // A flush waits for retention; otherwise one step a round, and the
        // end leaves the rest for the next start rather than delay the exit.
        do {
            retentionPending_ = retentionPending_ && !stopping && RetentionStep();
        } while (retentionPending_ && flushing);

        lock.lock();
        done_ = taken;
        if (flushing) {
            flushRequested_ = false;
        }
        written_.notify_all();
        if (stopping && queue_.empty()) {
            return;
        }
    }
}

bool HistoryWriter::FileRemoved() const {
    return InodeOf(path_) != inode_;
}

bool HistoryWriter::WriteBatch(const std::deque<Item>& batch) {
    if (FileRemoved()) {
        Fail("the file was removed or replaced; readings are no longer kept");
        return false;
    }
    const OpenBuckets bucketsBefore = buckets_;
    bool ok = connection_.Exec("BEGIN IMMEDIATE");
    for (auto item = batch.begin(); ok && item != batch.end(); ++item) {
        ok = WriteItem(*item);
    }
    ok = ok && WriteBuckets() && connection_.Exec("COMMIT");
    if (!ok) {
        Fail("cannot write: " + connection_.ErrorText());
        connection_.Exec("ROLLBACK");
        // Nothing of the batch is stored: the buckets and ids are as before.
        buckets_ = bucketsBefore;
        stationIds_.clear();
    }
    dirty_.clear();
    return ok;
}

bool HistoryWriter::WriteItem(const Item& item) {
    if (const auto* reading = std::get_if<ReadingItem>(&item)) {
        return WriteReading(*reading);
    }
    if (const auto* event = std::get_if<EventItem>(&item)) {
        const std::optional<int64_t> station = StationId(event->address, true);
        SqliteStatement insert(db(), "INSERT INTO event(station, time_ms, kind) VALUES(?, ?, ?)");
        return station && insert.Bind(1, *station)
                              .Bind(2, event->event.timeMs)
                              .Bind(3, static_cast<int64_t>(event->event.kind))
                              .Run();
    }
    return Move(std::get<MoveItem>(item));
}

std::optional<int64_t> HistoryWriter::StationId(const std::string& address, bool create) {
    if (const auto found = stationIds_.find(address); found != stationIds_.end()) {
        return found->second;
    }
    if (create) {
        SqliteStatement insert(db(), "INSERT OR IGNORE INTO station(address) VALUES(?)");
        if (!insert.Bind(1, address).Run()) {
            return std::nullopt;
        }
    }
    SqliteStatement select(db(), "SELECT id FROM station WHERE address = ?");
    select.Bind(1, address);
    if (select.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return stationIds_[address] = select.Int(0);
}

bool HistoryWriter::WriteReading(const ReadingItem& item) {
    const std::optional<int64_t> station = StationId(item.address, true);
    if (!station) {
        return false;
    }
    const PackedReading packed = Pack(item.reading);
    if (!insertReading_.Bind(1, *station)
             .Bind(2, item.reading.timeMs)
             .Bind(3, packed.firstVolts)
             .Bind(4, packed.secondVolts)
             .Bind(5, packed.state)
             .Bind(6, static_cast<int64_t>(item.reading.uptime))
             .Run()) {
        return false;
    }
    const int64_t row = sqlite3_last_insert_rowid(db());
    for (std::size_t level = 0; level < kRollupLevels; ++level) {
        const int64_t start = BucketStart(item.reading.timeMs, kRollupWidthsMs[level]);
        const std::pair<int64_t, std::size_t> key{*station, level};
        auto& [rollupRow, bucket] = buckets_[key];
        // A new bucket also when the clock stepped back into an earlier one;
        // the one it ends is written first.
        if (bucket.count == 0 || bucket.startMs != start) {
            if (dirty_.erase(key) != 0 && !WriteBucket(key)) {
                return false;
            }
            rollupRow = 0;
            bucket = RollupBucket{};
            bucket.startMs = start;
        }
        AddToBucket(bucket, item.reading, packed.state, row);
        dirty_.insert({*station, level});
    }
    return true;
}

// A bucket replaces its row written by an earlier batch.
bool HistoryWriter::WriteBucket(const std::pair<int64_t, std::size_t>& key) {
    auto& [rollupRow, bucket] = buckets_.at(key);
    if (rollupRow != 0 && !removeRollup_.Bind(1, rollupRow).Run()) {
        return false;
    }
    BindBucket(insertRollup_, key.first, key.second, bucket);
    if (!insertRollup_.Run()) {
        return false;
    }
    rollupRow = sqlite3_last_insert_rowid(db());
    return true;
}

// Every bucket the batch touched and left open.
bool HistoryWriter::WriteBuckets() {
    for (const auto& key : dirty_) {
        if (!WriteBucket(key)) {
            return false;
        }
    }
    dirty_.clear();
    return true;
}

bool HistoryWriter::Move(const MoveItem& item) {
    const std::optional<int64_t> from = StationId(item.from, false);
    if (!from || item.from == item.to) {
        return true;  // no history to carry
    }
    const std::optional<int64_t> to = StationId(item.to, false);
    // The batch's open buckets go out under the old id, then move with the rows.
    if (!WriteBuckets()) {
        return false;
    }
    stationIds_.clear();
    std::erase_if(buckets_, [&](const auto& entry) { return entry.first.first == *from; });
    if (!to) {
        SqliteStatement rename(db(), "UPDATE station SET address = ? WHERE id = ?");
        return rename.Bind(1, item.to).Bind(2, *from).Run();
    }
    for (const char* sql : {"UPDATE reading SET station = ?1 WHERE station = ?2",
                            "UPDATE rollup SET station = ?1 WHERE station = ?2",
                            "UPDATE event SET station = ?1 WHERE station = ?2",
                            "DELETE FROM station WHERE id = ?2"}) {
        SqliteStatement statement(db(), sql);
        if (!statement.Bind(1, *to).Bind(2, *from).Run()) {
            return false;
        }
    }
    return true;
}

bool HistoryWriter::RetentionStep() {
    int days = 0;
    {
        std::lock_guard lock(mutex_);
        days = retentionDays_;
    }
    if (FileRemoved()) {
        return false;
    }
    const int64_t cutoff = Now() - days * kDayMs;
    const int64_t limit = options_.deleteBatchRows;
    int64_t deleted = 0;
    // Raw rows first: the finest roll-ups are what finds them.
    const char* const steps[] = {
        "DELETE FROM reading WHERE rowid IN (SELECT rowid FROM reading WHERE rowid <= "
        "(SELECT max(last_row) FROM rollup WHERE level = 0 AND start_ms <= ?1 - 10000)"
        " AND time_ms < ?1 LIMIT ?2)",
        "DELETE FROM rollup WHERE rowid IN (SELECT rowid FROM rollup WHERE"
        " start_ms + (CASE level WHEN 0 THEN 10000 WHEN 1 THEN 60000 ELSE 600000 END) <= ?1"
        " LIMIT ?2)",
        "DELETE FROM event WHERE rowid IN (SELECT rowid FROM event WHERE time_ms < ?1 LIMIT ?2)",
    };
    bool ok = connection_.Exec("BEGIN IMMEDIATE");
    for (const char* sql : steps) {
        if (!ok || deleted >= limit) {
            break;
        }
        SqliteStatement statement(db(), sql);
        ok = statement.Bind(1, cutoff).Bind(2, limit - deleted).Run();
        deleted += sqlite3_changes(db());
    }
    ok = ok && connection_.Exec("COMMIT");
    if (!ok) {
        Fail("cannot delete old readings: " + connection_.ErrorText());
        connection_.Exec("ROLLBACK");
        return false;
    }
    if (deleted >= limit) {
        return true;
    }
    // The freed pages go back to the filesystem a few at a time.
    const std::string vacuum =
        "PRAGMA incremental_vacuum(" + std::to_string(kVacuumPagesPerStep) + ")";
    connection_.Exec(vacuum.c_str());
    const std::optional<std::string> freePages = connection_.QueryText("PRAGMA freelist_count");
    if (freePages && *freePages != "0") {
        return true;
    }
    connection_.Exec("PRAGMA wal_checkpoint(PASSIVE)");
    return false;
}

}  // namespace varnex
