// Every read scans the whole table; these show what that costs as the
// station list grows.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

class StationDatabase {
  public:
    explicit StationDatabase(int stations) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnex-stations-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        const std::string path = folder_ + "/VNXv1.MDB";
        WriteSeedDatabaseIfMissing(path);
        store_.OpenStationStore(path);
        for (int i = 1; i < stations; ++i) {
            InsertStation(store_,
                          "127.0." + std::to_string(i / 256) + "." + std::to_string(i % 256),
                          "password**", "station " + std::to_string(i));
        }
    }
    ~StationDatabase() {
        store_.CloseStationStore();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    StationStore& store() { return store_; }

  private:
    PlatformHooks hooks_;
    std::string folder_;
    StationStore store_{hooks_};
};

void BM_FillStationList(benchmark::State& state) {
    StationDatabase database(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(database.store().FillStationList(MessageOwner::MainWindow));
    }
}
BENCHMARK(BM_FillStationList)->Arg(1)->Arg(16)->Arg(256);

// The last row, so the whole table is read.
void BM_LoadStation(benchmark::State& state) {
    const int stations = static_cast<int>(state.range(0));
    StationDatabase database(stations);
    const std::string last = stations == 1 ? "10.10.10.10"
                                           : "127.0." + std::to_string((stations - 1) / 256) + "." +
                                                 std::to_string((stations - 1) % 256);
    for (auto _ : state) {
        benchmark::DoNotOptimize(database.store().LoadStation(MessageOwner::MainWindow, last));
    }
}
BENCHMARK(BM_LoadStation)->Arg(1)->Arg(16)->Arg(256);

void BM_SetDefaultStation(benchmark::State& state) {
    StationDatabase database(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            database.store().SetDefaultStation(MessageOwner::MainWindow, "10.10.10.10"));
    }
}
BENCHMARK(BM_SetDefaultStation)->Arg(1)->Arg(16);

void BM_WriteSeedDatabase(benchmark::State& state) {
    const std::string folder =
        (std::filesystem::temp_directory_path() / "varnex-stations-bench-seed").string();
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/VNXv1.MDB";
    for (auto _ : state) {
        std::filesystem::remove(path);
        benchmark::DoNotOptimize(WriteSeedDatabaseIfMissing(path));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteSeedDatabase);

}  // namespace
}  // namespace varnex
