#include "unit/voltage_drift.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnex::unit {
namespace {

// A battery, a charger, a 24 V rail, ... on the 30 V inputs; logic-level
// signals on the 5 V inputs.
constexpr std::array<double, wire::kVoltmeterCount> kStartVolts = {12.6, 13.8, 24.1, 9.0,
                                                                   3.3,  4.75, 3.3,  1.25};
constexpr int kMaxRaw = 4095;
constexpr int kStartSpread = 20;  // raw steps either side of the start level
constexpr int kDriftBand = 40;    // raw steps either side of the centre
constexpr int kDriftStep = 3;     // largest move per second
// A clock that jumps far ahead should not cost a walk of that length.
constexpr int64_t kMaxDriftSteps = 60;

int RandomBetween(uint64_t& randomState, int low, int high) {
    const auto span = static_cast<uint64_t>(high - low + 1);
    return low + static_cast<int>(NextRandom(randomState) % span);
}

}  // namespace

double FullScaleVolts(std::size_t index) {
    return index < 5 ? 30.0 : 5.0;
}

uint16_t VoltsToRaw(std::size_t index, double volts) {
    const double raw = std::round(volts / FullScaleVolts(index) * kMaxRaw);
    return static_cast<uint16_t>(std::clamp(raw, 0.0, static_cast<double>(kMaxRaw)));
}

double RawToVolts(std::size_t index, uint16_t raw) {
    return raw / static_cast<double>(kMaxRaw) * FullScaleVolts(index);
}

// SplitMix64: small, copyable with the state, good enough for noise.
uint64_t NextRandom(uint64_t& randomState) {
    uint64_t z = (randomState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

void StartVoltmeters(UnitState& state) {
    for (std::size_t i = 0; i < wire::kVoltmeterCount; ++i) {
        const int centre = VoltsToRaw(i, kStartVolts[i]);
        const int start = centre + RandomBetween(state.randomState, -kStartSpread, kStartSpread);
        state.voltmeters[i] = {static_cast<uint16_t>(std::clamp(start, 0, kMaxRaw)),
                               static_cast<uint16_t>(centre), false};
    }
}

void DriftVoltmeters(UnitState& state, UnitTime now) {
    const int64_t seconds = (now - state.lastDrift).count() / 1000;
    if (seconds <= 0) {
        return;
    }
    state.lastDrift += UnitTime(seconds * 1000);
    for (int64_t step = 0; step < std::min(seconds, kMaxDriftSteps); ++step) {
        for (Voltmeter& meter : state.voltmeters) {
            if (meter.held) {
                continue;
            }
            const int moved = meter.raw + RandomBetween(state.randomState, -kDriftStep, kDriftStep);
            const int low = std::max(0, meter.centre - kDriftBand);
            const int high = std::min(kMaxRaw, meter.centre + kDriftBand);
            meter.raw = static_cast<uint16_t>(std::clamp(moved, low, high));
        }
    }
}

}  // namespace varnex::unit
