#include "text/conversions.h"

#include <benchmark/benchmark.h>

namespace {

// The hottest conversion: every voltmeter reading is formatted twice a reply.
void BM_FormatDecimalVoltage(benchmark::State& state) {
    long double value = 12.3456789L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnex::FormatDecimal(value, 7));
        value += 0.0001L;
    }
}
BENCHMARK(BM_FormatDecimalVoltage);

void BM_ParseDecimal(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnex::ParseDecimal("  -1234.5678e-3"));
    }
}
BENCHMARK(BM_ParseDecimal);

}  // namespace
