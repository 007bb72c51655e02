// One round of the alarm monitor as the stations overview runs it: every
// watched station observed with fresh readings, then judged against limits
// on all eight voltmeters, the temperature and silence. Arguments: the
// stations, and whether a third of them swing across a limit each round (all
// eight voltmeters at once), so that alarms are raised and cleared all the
// time and the list stays at its bound; otherwise every reading is steady.
#include <benchmark/benchmark.h>

#include <string>

#include "alarms/alarm_monitor.h"

namespace varnex::alarms {
namespace {

void BM_AlarmRound(benchmark::State& state) {
    const int stations = static_cast<int>(state.range(0));
    const bool swinging = state.range(1) != 0;
    StationWatch watch;
    watch.watched = true;
    watch.silentSeconds = 15;
    for (ReadingLimits& limits : watch.voltmeters) {
        limits = {1.0, 12.0, 0.5};
    }
    watch.temperature = {-5.0, 40.0, 1.0};
    std::map<std::string, StationWatch> watches;
    std::vector<std::string> addresses;
    for (int n = 0; n < stations; ++n) {
        addresses.push_back("127.1." + std::to_string(n / 250) + "." + std::to_string(n % 250 + 1));
        watches.emplace(addresses.back(), watch);
    }
    AlarmMonitor monitor;
    Time now{};
    monitor.SetWatches(watches, now);
    Readings readings;
    readings.temperature = TemperatureReading{false, 21, false};
    int round = 0;
    for (auto _ : state) {
        now += std::chrono::seconds(5);
        ++round;
        for (int n = 0; n < stations; ++n) {
            const bool high = swinging && n % 3 == 0 && round % 2 == 0;
            for (VoltmeterReading& v : readings.voltmeters) {
                v.volts = high ? 12.6 : 11.0;
            }
            monitor.Observe({addresses[static_cast<std::size_t>(n)], now, false, readings});
        }
        benchmark::DoNotOptimize(monitor.Evaluate(now, std::chrono::system_clock::now()));
    }
    state.SetItemsProcessed(state.iterations() * stations);
}
BENCHMARK(BM_AlarmRound)
    ->Args({200, 0})
    ->Args({1000, 0})
    ->Args({200, 1})
    ->Args({1000, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varnex::alarms
