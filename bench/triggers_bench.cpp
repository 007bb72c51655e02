// The work the trigger and daughter-board dialogs repeat while open: the
// board panel's refresh every 2 ms, the Fahrenheit read-out every 500 ms,
// and building one board command.
#include <benchmark/benchmark.h>

#include "automation/daughter_boards.h"
#include "automation/temperature_trigger.h"

namespace {

void BM_BoardPanelRefresh(benchmark::State& state) {
    varnex::StatusSnapshot snapshot;
    snapshot.boards = {0xFF, 0xFF, 0, 0, 0, 0, 0x15, 0x7F, 0, 0, 0, 0, 7};
    const varnex::BoardPanelMemory memory{2};
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnex::RefreshBoardPanel(snapshot, 1, memory));
    }
}
BENCHMARK(BM_BoardPanelRefresh);

void BM_FahrenheitReadout(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnex::FahrenheitText("23"));
        benchmark::DoNotOptimize(varnex::ThresholdFieldColours("23", 23));
    }
}
BENCHMARK(BM_FahrenheitReadout);

void BM_BuildBoardCommand(benchmark::State& state) {
    varnex::CommandPacket packet;
    for (auto _ : state) {
        varnex::BuildDaughterBoardCommand(packet, "tamble****", 3, 5, varnex::BoardAction::Toggle,
                                          12);
        benchmark::DoNotOptimize(packet.bytes.data());
    }
}
BENCHMARK(BM_BuildBoardCommand);

}  // namespace
