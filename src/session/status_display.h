// How a status record shows in the main window: readouts, the relay-timer
// row and the controls a running session enables.
#pragma once

#include <optional>
#include <string>

#include "protocol/script_record.h"
#include "protocol/readings.h"
#include "protocol/status_record.h"
#include "session/display_state.h"
#include "stations/loaded_station.h"

namespace varnex {

// One voltmeter's texts and bar, by the station's view of it.
void ShowVoltmeter(VoltmeterDisplay& voltmeter, const VoltmeterReading& reading,
                   const std::string& view);

// Celsius and Fahrenheit texts; both fields keep their texts when the
// temperature could not be read.
void ShowTemperature(DisplayState& display, const std::optional<TemperatureReading>& reading);

// Everything but the relay-timer row (which also drives a timer).
void ShowStatusReadouts(DisplayState& display, const StatusRecord& record,
                        const LoadedStation& station);

// The running relay timer: its script's name and the D, H, M, S split.
void ShowRunningRelayTimer(DisplayState& display, const StatusRecord& record,
                           const ScriptTable& scripts);

}  // namespace varnex
