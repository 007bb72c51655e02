// Whether a station's readings moved enough to publish them again: any
// voltmeter past its deadband, the temperature past its own, or any relay,
// pin or timer that changed state. Uptime and the timer's countdown tick
// every second and do not count, or every reply would be sent.
#pragma once

#include "protocol/readings.h"

namespace varnex::varnexd {

struct Deadband {
    double volts = 0.05;
    double celsius = 0.5;
};

bool MovedPast(const Readings& published, const Readings& latest, const Deadband& band);

}  // namespace varnex::varnexd
