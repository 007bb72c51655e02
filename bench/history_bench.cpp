// Recording: what one stored reading costs the writer thread (the insert,
// its share of the roll-ups and of the batch's commit), and reading a week
// back as the History window does.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "history/chart_data.h"
#include "history/history_reader.h"
#include "history/history_writer.h"

namespace varnex {
namespace {

constexpr int64_t kStartMs = 1'800'000'000'000;
constexpr int kWeekReadings = 604'800;

class HistoryFolder {
  public:
    HistoryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnex-history-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~HistoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path() const { return folder_ + "/history.sqlite"; }

  private:
    std::string folder_;
};

// A drifting reading, as varnex-unit sends them.
StoredReading Reading(int n) {
    StoredReading r;
    r.timeMs = kStartMs + int64_t{n} * 1000;
    for (std::size_t v = 0; v < r.raw.size(); ++v) {
        r.raw[v] = static_cast<uint16_t>(2000 + (n * (v + 3)) % 300);
    }
    r.temperature = TemperatureReading{false, static_cast<uint8_t>(20 + n % 5), n % 2 != 0};
    r.uptime = static_cast<uint32_t>(5000 + n);
    return r;
}

std::unique_ptr<HistoryWriter> Writer(const std::string& path) {
    auto opened = OpenHistoryFile(path, HistoryAccess::Write);
    return std::make_unique<HistoryWriter>(
        std::move(std::get<OpenedHistory>(opened)),
        HistoryWriterOptions{.nowMs = [] { return kStartMs + 8 * 86'400'000LL; }});
}

// 1000 readings queued and written (each batch of 64 its own transaction);
// the figure per reading includes the writer thread's work.
void BM_StoreReadings(benchmark::State& state) {
    HistoryFolder folder;
    auto writer = Writer(folder.path());
    int n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            writer->Record("127.0.0.1", Reading(n++));
        }
        writer->Flush();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    // Seconds per reading, printed with its unit prefix (e.g. "5.7u").
    state.counters["per_reading"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 1000,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StoreReadings)->Unit(benchmark::kMillisecond)->UseRealTime();

// The week's store, written once for the read benchmarks.
const std::string& WeekStore() {
    static HistoryFolder folder;
    static const bool written = [] {
        auto writer = Writer(folder.path());
        for (int n = 0; n < kWeekReadings; ++n) {
            writer->Record("127.0.0.1", Reading(n));
        }
        return true;
    }();
    (void)written;
    static const std::string path = folder.path();
    return path;
}

void BM_ChartDataOfAWeek(benchmark::State& state) {
    HistoryReader reader = std::get<HistoryReader>(HistoryReader::Open(WeekStore()));
    ChartRequest request{.address = "127.0.0.1",
                         .fromMs = kStartMs,
                         .toMs = kStartMs + int64_t{kWeekReadings} * 1000};
    request.voltmeters.fill(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildChartData(reader, request));
    }
}
BENCHMARK(BM_ChartDataOfAWeek)->Unit(benchmark::kMillisecond);

void BM_ChartDataOfAnHourInTheWeek(benchmark::State& state) {
    HistoryReader reader = std::get<HistoryReader>(HistoryReader::Open(WeekStore()));
    const int64_t from = kStartMs + 3 * 86'400'000LL;
    ChartRequest request{.address = "127.0.0.1", .fromMs = from, .toMs = from + 3'600'000};
    request.voltmeters.fill(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildChartData(reader, request));
    }
}
BENCHMARK(BM_ChartDataOfAnHourInTheWeek)->Unit(benchmark::kMillisecond);

void BM_ReadAWeekOfReadings(benchmark::State& state) {
    HistoryReader reader = std::get<HistoryReader>(HistoryReader::Open(WeekStore()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            reader.Readings("127.0.0.1", kStartMs, kStartMs + int64_t{kWeekReadings} * 1000));
    }
}
BENCHMARK(BM_ReadAWeekOfReadings)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnex
