// What the History window draws, as plain data: the chosen voltmeters and
// the temperature as lines broken where the client was not polling, relays
// and pins as steps, the session's events; raw readings for a short range,
// roll-up means for a long one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/history_reader.h"

namespace varnex {

struct ChartPoint {
    int64_t timeMs = 0;
    double value = 0;
    bool operator==(const ChartPoint&) const = default;
};

// One unbroken stretch of a line.
using ChartSegment = std::vector<ChartPoint>;

struct ChartLine {
    std::string name;
    std::vector<ChartSegment> segments;
};

struct ChartRequest {
    std::string address;
    int64_t fromMs = 0;
    int64_t toMs = 0;
    // The station row's jumpers mend the stored ones; nullopt: as stored.
    std::optional<VoltmeterJumpers> jumpers{};
    std::array<std::string, wire::kVoltmeterCount> labels{};  // empty: "Voltmeter N"
    std::array<bool, wire::kVoltmeterCount> voltmeters{};     // which to draw
    bool temperature = true;
};

struct ChartData {
    std::optional<std::size_t> level;                 // nullopt: raw readings
    std::vector<ChartLine> voltmeters;                // the chosen ones, in order
    ChartLine temperature;                            // degrees Celsius
    std::array<ChartLine, wire::kRelayCount> relays;  // 1 = energised (the unit's "OFF")
    std::array<ChartLine, wire::kPinCount> pins;      // 1 = high
    std::vector<StoredEvent> events;
    int fullScaleVolts = 0;  // the largest range among the chosen voltmeters
};

// A line breaks where two points lie further apart than this.
int64_t GapAfterMs(std::optional<std::size_t> level);

// The station row's label ("Battery"), or "Voltmeter 1" without one.
std::string VoltmeterName(std::size_t index, const std::string& label);

ChartData BuildChartData(HistoryReader& reader, const ChartRequest& request);

}  // namespace varnex
