// How a status record shows in the main window: readouts, the relay-timer
// row and the controls a running session enables.
#pragma once

#include "protocol/script_record.h"
#include "protocol/status_record.h"
#include "session/display_state.h"
#include "stations/loaded_station.h"

namespace varnex {

// One voltmeter (index 0..7) from its raw reading, by the station's view
// and, for voltmeters 1 and 2, jumper.
void ShowVoltmeter(VoltmeterDisplay& voltmeter, std::size_t index, uint16_t raw,
                   const LoadedStation& station);

// Celsius and Fahrenheit texts; both fields keep their texts when the flag
// byte is unknown on firmware that signs temperatures.
void ShowTemperature(DisplayState& display, const StatusRecord& record);

// Everything but the relay-timer row (which also drives a timer).
void ShowStatusReadouts(DisplayState& display, const StatusRecord& record,
                        const LoadedStation& station);

// The running relay timer: its script's name and the D, H, M, S split.
void ShowRunningRelayTimer(DisplayState& display, const StatusRecord& record,
                           const ScriptTable& scripts);

}  // namespace varnex
