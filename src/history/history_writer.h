// The history writer: a thread of its own that owns the writing connection
// and takes readings, events and address moves from a queue, so that a disk
// stall never holds up polling. It writes in batched transactions, keeps the
// roll-ups with the raw rows, and between batches deletes what is older than
// the retention in small batches, checkpoints and shrinks the file.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <variant>

#include "history/history_event.h"
#include "history/history_file.h"
#include "history/rollup.h"
#include "history/stored_reading.h"

namespace varnex {

inline constexpr int kDefaultRetentionDays = 90;

struct HistoryWriterOptions {
    int retentionDays = kDefaultRetentionDays;
    std::size_t batchSize = 64;      // a batch is written once this many wait...
    int64_t batchDelayMs = 2000;     // ...or after this long
    int64_t deleteBatchRows = 5000;  // retention deletes at most this many rows a transaction
    int64_t retentionEveryMs = 600'000;
    int busyTimeoutMs = 5000;          // another client may hold the file for a moment
    std::function<int64_t()> nowMs{};  // UTC milliseconds; the system clock when empty
};

class HistoryWriter {
  public:
    HistoryWriter(OpenedHistory opened, HistoryWriterOptions options);
    // Writes what is queued, then stops the thread.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    void Record(const std::string& address, const StoredReading& reading);
    void RecordEvent(const std::string& address, int64_t timeMs, HistoryEvent kind);
    // The station's history follows it to its new address (joined with any
    // history already kept there).
    void MoveStation(const std::string& from, const std::string& to);
    void SetRetentionDays(int days);
    // Blocks until everything queued before the call is written (or failed)
    // and retention has caught up.
    void Flush();
    // The first write failure, once; later failures are not repeated.
    std::optional<std::string> TakeFailure();
    const std::string& path() const { return path_; }

  private:
    struct ReadingItem {
        std::string address;
        StoredReading reading;
    };
    struct EventItem {
        std::string address;
        StoredEvent event;
    };
    struct MoveItem {
        std::string from;
        std::string to;
    };
    using Item = std::variant<ReadingItem, EventItem, MoveItem>;
    // The open buckets, per station id and level.
    using OpenBuckets = std::map<std::pair<int64_t, std::size_t>, std::pair<int64_t, RollupBucket>>;

    void Enqueue(Item item);
    void Run();
    bool WriteBatch(const std::deque<Item>& batch);
    bool WriteItem(const Item& item);
    bool WriteReading(const ReadingItem& item);
    bool WriteBucket(const std::pair<int64_t, std::size_t>& key);
    bool WriteBuckets();
    bool Move(const MoveItem& item);
    std::optional<int64_t> StationId(const std::string& address, bool create);
    // One small retention step; true while more remains to delete.
    bool RetentionStep();
    bool FileRemoved() const;
    void Fail(const std::string& what);
    int64_t Now() const;

    sqlite3* db() const { return connection_.get(); }

    SqliteConnection connection_;
    std::string path_;
    HistoryWriterOptions options_;
    uint64_t inode_ = 0;

    // Writer thread only.
    SqliteStatement insertReading_;
    SqliteStatement insertRollup_;
    SqliteStatement removeRollup_;
    std::map<std::string, int64_t> stationIds_;
    OpenBuckets buckets_;
    std::set<std::pair<int64_t, std::size_t>> dirty_;
    std::optional<int64_t> lastRetentionMs_;
    bool retentionPending_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<Item> queue_;
    uint64_t queued_ = 0;
    uint64_t done_ = 0;
    bool flushRequested_ = false;
    bool stopping_ = false;
    int retentionDays_ = kDefaultRetentionDays;
    bool retentionChanged_ = false;
    std::optional<std::string> failure_;
    bool failed_ = false;
    std::thread thread_;
};

}  // namespace varnex
