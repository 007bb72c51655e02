// The stations and the exporter itself as Prometheus metrics. A silent unit
// keeps varnex_up 0, its counters and its last reply time; its reading
// series go, so no rule evaluates a frozen value.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "fleet/fleet_poller.h"
#include "fleet/relay_commands.h"
#include "varnexd/exposition_writer.h"
#include "varnexd/mqtt_command.h"

namespace varnex::varnexd {

struct ExposedStation {
    std::string labels;  // `,station="ID"` and the configured labels, written once
    std::string name;    // the configured name; the unit's own when empty
    fleet::StationStatus status;
};

struct ExporterFigures {
    fleet::PollerCounters counters;
    fleet::RoundTripHistogram roundTrips;
    std::size_t stations = 0;
    bool lastReloadSucceeded = true;
    double lastReloadSuccessSeconds = 0;  // Unix time
    uint64_t probes = 0;
    uint64_t refusedProbes = 0;
};

struct BridgeFigures {
    bool connected = false;
    uint64_t connections = 0;
    std::array<uint64_t, kIgnoredReasons> ignoredCommands{};   // by IgnoredReason
    std::array<uint64_t, fleet::kCommandOutcomes> commands{};  // by CommandOutcome
    uint64_t droppedMessages = 0;                              // the inbox was full
    uint64_t statesPublished = 0;
};

// `steadyNow` and `wallNow` (Unix seconds) are the same instant, so a reply's
// steady time becomes a timestamp.
void WriteStations(ExpositionWriter& out, const std::vector<ExposedStation>& stations,
                   fleet::Time steadyNow, double wallNow);
void WriteExporter(ExpositionWriter& out, const ExporterFigures& figures);
void WriteBridge(ExpositionWriter& out, const BridgeFigures& figures);
// CPU, memory, descriptors and start time, as every exporter reports them.
void WriteProcess(ExpositionWriter& out);

}  // namespace varnex::varnexd
