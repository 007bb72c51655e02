// A status record as values with units: the one decoding that every reader
// of a unit shares (the main window's texts, the command-line tool, the
// exporters, history), so that all of them agree to the last digit.
//
// Relays: the unit reports a relay "ON" when its status byte is 0, which is
// the coil at rest; a byte other than 0 is "OFF" in the unit's word and the
// coil energised. Every reading carries both, and every output says which one
// it shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/status_record.h"

namespace varnex {

// Voltmeters 1 and 2 read 0..30 V with their jumper installed, 0..60 V
// without it; the others have a fixed range.
struct VoltmeterJumpers {
    bool firstInstalled = true;
    bool secondInstalled = true;
    bool operator==(const VoltmeterJumpers&) const = default;
};

struct VoltmeterReading {
    uint16_t raw = 0;        // the 12-bit code, 0..4095
    long double volts = 0;   // raw scaled to the range
    int fullScaleVolts = 0;  // 5, 30 or 60
    bool operator==(const VoltmeterReading&) const = default;
};

// Whole degrees with a sign and a half degree, as the unit sends them.
struct TemperatureReading {
    bool negative = false;
    uint8_t wholeDegrees = 0;
    bool halfDegree = false;
    long double Celsius() const;
    bool operator==(const TemperatureReading&) const = default;
};

struct RelayReading {
    bool unitSaysOn = false;  // status byte 0
    bool energised = false;   // the coil pulls: status byte not 0
    bool operator==(const RelayReading&) const = default;
};

struct Readings {
    std::array<VoltmeterReading, wire::kVoltmeterCount> voltmeters{};
    // Empty when the flag byte holds a value the unit's firmware never sends.
    std::optional<TemperatureReading> temperature;
    std::array<RelayReading, wire::kRelayCount> relays{};
    std::array<bool, wire::kPinCount> pinsHigh{};  // pins 1..5
    uint32_t uptimeSeconds = 0;
    unsigned firmwareVersion = 0;  // 100 x d1 + 10 x d2 + d3
    std::string firmwareText;      // "d1.d2.d3"
    std::string macAddress;        // "00:1A:2B:3C:4D:5E"
    std::string stationName;
    bool timerRunning = false;
    uint32_t timerRemainingSeconds = 0;
    bool operator==(const Readings&) const = default;
};

// Volts of one voltmeter (index 0..7) from its raw code.
VoltmeterReading DecodeVoltmeter(std::size_t index, uint16_t raw, const VoltmeterJumpers& jumpers);

Readings DecodeReadings(const StatusRecord& record, const VoltmeterJumpers& jumpers);

}  // namespace varnex
