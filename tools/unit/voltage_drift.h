// The eight voltmeter readings: plausible starting levels and a slow,
// seeded random walk around them, so a client shows live-looking values
// that repeat exactly for the same seed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "unit/unit_state.h"

namespace varnex::unit {

// Volts at the top of voltmeter `index`'s range (0-based): 30 or 5.
double FullScaleVolts(std::size_t index);
uint16_t VoltsToRaw(std::size_t index, double volts);  // clamped to the range
double RawToVolts(std::size_t index, uint16_t raw);

uint64_t NextRandom(uint64_t& randomState);

// Fills the voltmeters from their starting levels, moved a little by the seed.
void StartVoltmeters(UnitState& state);
// One random-walk step for every voltmeter that is not held, per whole
// second since the last drift.
void DriftVoltmeters(UnitState& state, UnitTime now);

}  // namespace varnex::unit
