#include "varnexd/reading_deadband.h"

#include <cmath>

namespace varnex::varnexd {

bool MovedPast(const Readings& published, const Readings& latest, const Deadband& band) {
    for (std::size_t n = 0; n < latest.voltmeters.size(); ++n) {
        if (std::fabs(static_cast<double>(latest.voltmeters[n].volts -
                                          published.voltmeters[n].volts)) >= band.volts) {
            return true;
        }
    }
    if (latest.temperature.has_value() != published.temperature.has_value()) {
        return true;
    }
    if (latest.temperature &&
        std::fabs(static_cast<double>(latest.temperature->Celsius() -
                                      published.temperature->Celsius())) >= band.celsius) {
        return true;
    }
    return latest.relays != published.relays || latest.pinsHigh != published.pinsHigh ||
           latest.timerRunning != published.timerRunning ||
           latest.stationName != published.stationName ||
           latest.firmwareText != published.firmwareText;
}

}  // namespace varnex::varnexd
