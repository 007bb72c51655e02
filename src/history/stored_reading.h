// One status record as history keeps it: the raw codes and bytes that the
// readings function needs, packed into a few integers, so that the volts are
// scaled when read (a jumper set wrong can be mended afterwards).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/readings.h"
#include "protocol/status_record.h"

namespace varnex {

struct StoredReading {
    int64_t timeMs = 0;  // UTC, milliseconds since 1970
    std::array<uint16_t, wire::kVoltmeterCount> raw{};
    VoltmeterJumpers jumpers{};  // as set when the record arrived
    // As the unit's firmware meant it; empty when the flags made no sense.
    std::optional<TemperatureReading> temperature;
    uint8_t relaysEnergised = 0;  // bit r: relay r+1's status byte was not 0
    uint8_t pinsHigh = 0;         // bit p: pin p+1 was high
    uint32_t uptime = 0;
    bool operator==(const StoredReading&) const = default;
};

// The integer columns of a stored reading.
struct PackedReading {
    int64_t firstVolts = 0;   // voltmeters 1..4, 12 bits each
    int64_t secondVolts = 0;  // voltmeters 5..8
    int64_t state = 0;        // relays, pins, jumpers, temperature
};

StoredReading StoredReadingOf(const StatusRecord& record, const VoltmeterJumpers& jumpers,
                              int64_t timeMs);
PackedReading Pack(const StoredReading& reading);
StoredReading Unpack(int64_t timeMs, const PackedReading& packed, uint32_t uptime);

// The relay bits (bit r: relay r+1 energised), pin bits and jumpers of a
// state column, as roll-ups keep it.
uint8_t RelayBitsOf(int64_t state);
uint8_t PinBitsOf(int64_t state);
VoltmeterJumpers JumpersOfState(int64_t state);

// The values with units, through the shared readings function, with the
// given jumpers (the station's current ones mend a wrong setting). The
// firmware, MAC, name and timer are not kept.
Readings ReadingsOf(const StoredReading& reading, const VoltmeterJumpers& jumpers);
// Signed half degrees; nullopt without a temperature.
std::optional<int> HalfDegreesOf(const StoredReading& reading);

}  // namespace varnex
