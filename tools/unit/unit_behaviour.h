// What the unit does by itself as time passes or its inputs change: scripts
// step through their delays, the toggle switches back, the relay timer
// fires, the triggers run their scripts. Every function first brings the
// state up to `now`, so events keep their order whatever the caller's pace.
#pragma once

#include <cstddef>

#include "unit/unit_state.h"

namespace varnex::unit {

// Runs every event due at or before `now`, earliest first.
void AdvanceUnit(UnitState& state, UnitTime now, UnitEvents& events);

// Starts slot `slot` at `at` (replacing a script that runs); steps up to its
// first delay happen at once.
void StartScript(UnitState& state, std::size_t slot, UnitTime at, UnitEvents& events);

// Console inputs. A pin change runs the pin's I/O trigger; a temperature
// change runs the temperature trigger's script when it crosses a threshold.
void SetPin(UnitState& state, std::size_t pin, bool level, UnitTime now, UnitEvents& events);
void SetTemperature(UnitState& state, int halves, UnitTime now, UnitEvents& events);

// After a new trigger setting: the current temperature counts as already
// seen, so only a later crossing runs a script.
void ArmTemperatureTrigger(UnitState& state);
// Forgets what was seen: a temperature beyond a threshold runs its script now.
void RearmTemperatureTrigger(UnitState& state, UnitTime now, UnitEvents& events);

// Seconds left, rounded up, of something that ends at `end`.
uint32_t SecondsLeft(UnitTime end, UnitTime now);

}  // namespace varnex::unit
