// The history store: what is written comes back exactly, scaled with the
// jumpers of the reader's choice; roll-ups agree with a brute-force count;
// retention, a clock stepping back, station moves and a long range.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "history/history_reader.h"
#include "history/history_writer.h"
#include "history_fixture.h"

namespace varnex {
namespace {

using testing::HistoryTest;
using testing::SampleReading;

constexpr const char* kStation = "127.0.0.9";
constexpr int64_t kDayMs = 86'400'000;

TEST_F(HistoryTest, ReadingsComeBackExactlyAndScaleWithTheReadersJumpers) {
    std::vector<StoredReading> written;
    StoredReading extreme = SampleReading(nowMs_ - 5, 1);
    extreme.raw = {0, 4095, 1, 4094, 2048, 4095, 0, 1};
    extreme.temperature = TemperatureReading{true, 255, true};
    {
        auto writer = OpenWriter({.batchSize = 7});
        writer->Record(kStation, extreme);
        for (uint32_t n = 0; n < 300; ++n) {
            written.push_back(SampleReading(nowMs_ + n * 1000, n));
            writer->Record(kStation, written.back());
            writer->Record("127.0.0.10", SampleReading(nowMs_ + n * 1000, n + 1));
        }
    }
    HistoryReader reader = Reader();
    EXPECT_EQ(reader.Readings(kStation, nowMs_, nowMs_ + 300'000), written);
    EXPECT_EQ(reader.Readings(kStation, nowMs_ - 5, nowMs_ - 4),
              std::vector<StoredReading>{extreme});
    EXPECT_EQ(reader.Readings(kStation, nowMs_ + 1000, nowMs_ + 3000),
              std::vector<StoredReading>(written.begin() + 1, written.begin() + 3));
    EXPECT_EQ(reader.Stations(), (std::vector<std::string>{"127.0.0.10", kStation}));

    // The same raw codes read with other jumpers give the other range's volts.
    const struct {
        VoltmeterJumpers jumpers;
        long double firstVolts, secondVolts;
    } cases[] = {
        {{true, true}, 0.0L, 30.0L},
        {{false, true}, 0.0L, 30.0L},
        {{true, false}, 0.0L, 60.0L},
    };
    const StoredReading back = reader.Readings(kStation, nowMs_ - 5, nowMs_ - 4).at(0);
    for (const auto& c : cases) {
        const Readings readings = ReadingsOf(back, c.jumpers);
        EXPECT_EQ(readings.voltmeters[0].volts, c.firstVolts);
        EXPECT_EQ(readings.voltmeters[1].volts, c.secondVolts);
        EXPECT_EQ(readings.temperature->Celsius(), -255.5L);
    }
}

TEST_F(HistoryTest, AReadingMatchesTheStatusRecordItCameFrom) {
    StatusRecord record;
    record.rawVoltages = {1, 2, 3, 4000, 5, 6, 7, 4095};
    record.relays = {0, 1, 255};
    record.pins = {1, 0, 0, 1, 1};
    record.temperature = 21;
    record.temperatureFlags = 0x81;
    record.firmwareDigits = {1, 6, 8};
    record.uptime = 86'400 * 40;
    const VoltmeterJumpers jumpers{false, true};
    const StoredReading stored = StoredReadingOf(record, jumpers, nowMs_);
    const Readings readings = ReadingsOf(Unpack(nowMs_, Pack(stored), stored.uptime), jumpers);
    const Readings direct = DecodeReadings(record, jumpers);
    EXPECT_EQ(readings.voltmeters, direct.voltmeters);
    EXPECT_EQ(readings.temperature, direct.temperature);
    EXPECT_EQ(readings.relays, direct.relays);
    EXPECT_EQ(readings.pinsHigh, direct.pinsHigh);
    EXPECT_EQ(readings.uptimeSeconds, direct.uptimeSeconds);
    EXPECT_EQ(HalfDegreesOf(stored), -43);

    record.temperatureFlags = 0x42;  // flags no unit sends
    EXPECT_EQ(HalfDegreesOf(StoredReadingOf(record, jumpers, nowMs_)), std::nullopt);
    EXPECT_EQ(ReadingsOf(StoredReadingOf(record, jumpers, nowMs_), jumpers).temperature,
              std::nullopt);
}

TEST_F(HistoryTest, AWaitingBatchIsWrittenAfterItsDelay) {
    auto writer = OpenWriter({.batchSize = 1000, .batchDelayMs = 50});
    for (uint32_t n = 0; n < 10; ++n) {
        writer->Record(kStation, SampleReading(nowMs_ + n, n));
    }
    std::size_t seen = 0;
    for (int attempt = 0; attempt < 200 && seen < 10; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        seen = Reader().Readings(kStation, nowMs_, nowMs_ + 10).size();
    }
    EXPECT_EQ(seen, 10U);
}

// Buckets as a brute-force pass sees them: a new bucket whenever a reading
// falls outside the one before (also when the clock stepped back).
std::vector<RollupBucket> BruteForceBuckets(const std::vector<StoredReading>& readings,
                                            int64_t width) {
    std::vector<RollupBucket> buckets;
    for (const StoredReading& r : readings) {
        const int64_t start = r.timeMs - ((r.timeMs % width) + width) % width;
        if (buckets.empty() || buckets.back().startMs != start) {
            buckets.push_back({.startMs = start});
        }
        RollupBucket& b = buckets.back();
        const std::optional<int> half = HalfDegreesOf(r);
        for (std::size_t v = 0; v < kRollupValueCount; ++v) {
            const bool temperature = v == kRollupTemperatureIndex;
            if (temperature && !half) {
                continue;
            }
            const int64_t value = temperature ? *half : r.raw[v];
            const bool first = temperature ? b.temperatureCount == 0 : b.count == 0;
            b.min[v] = first ? value : std::min(b.min[v], value);
            b.max[v] = first ? value : std::max(b.max[v], value);
            b.sum[v] += value;
        }
        b.temperatureCount += half ? 1 : 0;
        ++b.count;
        b.lastState = Pack(r).state;
    }
    std::stable_sort(buckets.begin(), buckets.end(),
                     [](const auto& a, const auto& b) { return a.startMs < b.startMs; });
    for (RollupBucket& b : buckets) {
        b.firstRow = b.lastRow = 0;
    }
    return buckets;
}

TEST_F(HistoryTest, RollupsAgreeWithABruteForceCount) {
    std::vector<StoredReading> written;
    int64_t t = nowMs_ - 1234;
    for (uint32_t n = 0; n < 3000; ++n) {
        // Gaps, bursts, and twice a clock stepping back across buckets.
        t += n % 97 == 0 ? 45'000 : (n % 13 == 0 ? 150 : 1000);
        if (n == 1500 || n == 2500) {
            t -= 700'000;
        }
        written.push_back(SampleReading(t, n * 7919 % 3001));
    }
    {
        auto writer = OpenWriter({.batchSize = 50});
        for (const StoredReading& r : written) {
            writer->Record(kStation, r);
        }
    }
    HistoryReader reader = Reader();
    for (std::size_t level = 0; level < kRollupLevels; ++level) {
        std::vector<RollupBucket> stored =
            reader.Rollups(kStation, level, INT64_MIN / 2, INT64_MAX / 2);
        for (RollupBucket& b : stored) {
            b.firstRow = b.lastRow = 0;
        }
        EXPECT_EQ(stored, BruteForceBuckets(written, kRollupWidthsMs[level])) << "level " << level;
    }
}

TEST_F(HistoryTest, AClockSteppingBackKeepsEveryReadingInTimeOrder) {
    const int64_t times[] = {10'000, 11'000, 12'000, 5'000, 6'000, 11'000, 13'000};
    {
        auto writer = OpenWriter();
        uint32_t n = 0;
        for (int64_t time : times) {
            writer->Record(kStation, SampleReading(nowMs_ + time, n++));
        }
    }
    std::vector<int64_t> read;
    for (const StoredReading& r : Reader().Readings(kStation, nowMs_, nowMs_ + 20'000)) {
        read.push_back(r.timeMs - nowMs_);
    }
    EXPECT_EQ(read, (std::vector<int64_t>{5'000, 6'000, 10'000, 11'000, 11'000, 12'000, 13'000}));
    EXPECT_EQ(Reader().Readings(kStation, nowMs_ + 11'000, nowMs_ + 12'000).size(), 2U);
}

TEST_F(HistoryTest, RetentionDeletesWhatIsOlderAndTheFileShrinks) {
    const struct {
        int days;
        std::size_t readingsLeft, eventsLeft;
    } cases[] = {{90, 2 * 90 * 200, 90}, {30, 2 * 30 * 200, 30}, {1, 2 * 200, 1}};
    auto writer = OpenWriter({.retentionDays = 365, .batchSize = 2000, .deleteBatchRows = 700});
    // 120 days with 400 readings (two stations) and one event a day.
    for (int day = 120; day > 0; --day) {
        const int64_t dayStart = nowMs_ - day * kDayMs + 1;
        for (uint32_t n = 0; n < 200; ++n) {
            writer->Record(kStation, SampleReading(dayStart + n * 1000, n));
            writer->Record("127.0.0.10", SampleReading(dayStart + n * 1000, n));
        }
        writer->RecordEvent(kStation, dayStart, HistoryEvent::Started);
    }
    writer->Flush();
    // Pages in use, the write-ahead log's included.
    const auto pages = [&] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA page_count", -1, &statement, nullptr);
        sqlite3_step(statement);
        const int64_t count = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return count;
    };
    const int64_t pagesBefore = pages();
    for (const auto& c : cases) {
        writer->SetRetentionDays(c.days);
        writer->Flush();
        HistoryReader reader = Reader();
        const std::size_t left = reader.Readings(kStation, 0, nowMs_).size() +
                                 reader.Readings("127.0.0.10", 0, nowMs_).size();
        EXPECT_EQ(left, c.readingsLeft) << c.days << " days";
        EXPECT_EQ(reader.Events(kStation, 0, nowMs_).size(), c.eventsLeft) << c.days << " days";
        EXPECT_EQ(reader.Rollups(kStation, 2, 0, nowMs_).front().startMs,
                  BucketStart(nowMs_ - c.days * kDayMs + 1, 600'000))
            << c.days << " days";
    }
    EXPECT_LT(pages(), pagesBefore / 10);
    writer.reset();  // the last checkpoint folds the log into the file, shrunk
    EXPECT_LT(std::filesystem::file_size(path_), 4096U * pagesBefore / 10);
}

TEST_F(HistoryTest, AStationsHistoryFollowsItsNewAddress) {
    const struct {
        const char* from;
        const char* to;
        std::size_t atFrom, atTo;
    } cases[] = {
        {"127.0.0.1", "127.0.0.2", 0, 10},  // to a new address
        {"127.0.0.2", "127.0.0.3", 0, 20},  // joined with history kept there
        {"127.0.0.4", "127.0.0.3", 0, 20},  // nothing to carry
    };
    auto writer = OpenWriter();
    for (uint32_t n = 0; n < 10; ++n) {
        writer->Record("127.0.0.1", SampleReading(nowMs_ + n * 1000, n));
        writer->Record("127.0.0.3", SampleReading(nowMs_ + 20'000 + n * 1000, n));
    }
    for (const auto& c : cases) {
        writer->MoveStation(c.from, c.to);
        writer->Flush();
        HistoryReader reader = Reader();
        EXPECT_EQ(reader.Readings(c.from, 0, nowMs_ + kDayMs).size(), c.atFrom) << c.from;
        EXPECT_EQ(reader.Readings(c.to, 0, nowMs_ + kDayMs).size(), c.atTo) << c.to;
    }
    // Readings that come after the move land at the new address too.
    writer->Record("127.0.0.3", SampleReading(nowMs_ + 40'000, 1));
    writer->Flush();
    EXPECT_EQ(Reader().Readings("127.0.0.3", 0, nowMs_ + kDayMs).size(), 21U);
}

TEST_F(HistoryTest, ARangeOfSixHundredThousandReadingsReadsWhole) {
    constexpr uint32_t kCount = 600'000;
    {
        auto writer = OpenWriter({.batchSize = 20'000});
        for (uint32_t n = 0; n < kCount; ++n) {
            writer->Record(kStation, SampleReading(nowMs_ + int64_t{n} * 1000, n));
        }
    }
    const std::vector<StoredReading> read =
        Reader().Readings(kStation, nowMs_, nowMs_ + int64_t{kCount} * 1000);
    ASSERT_EQ(read.size(), kCount);
    EXPECT_EQ(read.front(), SampleReading(nowMs_, 0));
    EXPECT_EQ(read.back(), SampleReading(nowMs_ + int64_t{kCount - 1} * 1000, kCount - 1));
    EXPECT_EQ(Reader().Rollups(kStation, 2, nowMs_, nowMs_ + int64_t{kCount} * 1000).size(),
              1000U + (BucketStart(nowMs_, 600'000) != nowMs_ ? 1U : 0U));
}

TEST(HistoryLevels, TheFinestLevelWithAtMostFifteenHundredPoints) {
    const struct {
        int64_t spanMs;
        std::optional<std::size_t> level;
    } cases[] = {
        {600'000, std::nullopt}, {1'500'999, std::nullopt}, {1'501'000, 0},          {3'600'000, 0},
        {86'400'000, 1},         {7 * 86'400'000LL, 2},     {365 * 86'400'000LL, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LevelForSpan(c.spanMs), c.level) << c.spanMs;
    }
}

}  // namespace
}  // namespace varnex
