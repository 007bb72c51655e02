#include "history/stored_reading.h"

#include <cmath>

namespace varnex {
namespace {

constexpr int kCodeBits = 12;
constexpr uint16_t kCodeMask = 0x0FFF;
constexpr std::size_t kVoltsPerColumn = 4;

// Bit positions inside the state column.
constexpr int kPinsShift = 3;
constexpr int kJumpersShift = 8;
constexpr int kTemperatureShift = 10;  // whole degrees, then the flags below
constexpr int64_t kTemperatureKnown = int64_t{1} << 18;
constexpr int64_t kTemperatureNegative = int64_t{1} << 19;
constexpr int64_t kTemperatureHalf = int64_t{1} << 20;

int64_t PackCodes(const StoredReading& reading, std::size_t first) {
    int64_t packed = 0;
    for (std::size_t n = 0; n < kVoltsPerColumn; ++n) {
        packed |= static_cast<int64_t>(reading.raw[first + n] & kCodeMask) << (kCodeBits * n);
    }
    return packed;
}

void UnpackCodes(int64_t packed, StoredReading& reading, std::size_t first) {
    for (std::size_t n = 0; n < kVoltsPerColumn; ++n) {
        reading.raw[first + n] = static_cast<uint16_t>((packed >> (kCodeBits * n)) & kCodeMask);
    }
}

StatusRecord RecordOf(const StoredReading& reading) {
    StatusRecord record;
    record.rawVoltages = reading.raw;
    for (std::size_t r = 0; r < record.relays.size(); ++r) {
        record.relays[r] = (reading.relaysEnergised >> r) & 1U;
    }
    for (std::size_t p = 0; p < record.pins.size(); ++p) {
        record.pins[p] = (reading.pinsHigh >> p) & 1U;
    }
    record.uptime = reading.uptime;
    return record;
}

}  // namespace

StoredReading StoredReadingOf(const StatusRecord& record, const VoltmeterJumpers& jumpers,
                              int64_t timeMs) {
    StoredReading reading;
    reading.timeMs = timeMs;
    for (std::size_t n = 0; n < reading.raw.size(); ++n) {
        reading.raw[n] = record.rawVoltages[n] & kCodeMask;
    }
    reading.jumpers = jumpers;
    reading.temperature = DecodeReadings(record, jumpers).temperature;
    for (std::size_t r = 0; r < record.relays.size(); ++r) {
        reading.relaysEnergised |= static_cast<uint8_t>((record.relays[r] != 0 ? 1U : 0U) << r);
    }
    for (std::size_t p = 0; p < record.pins.size(); ++p) {
        reading.pinsHigh |= static_cast<uint8_t>((record.pins[p] != 0 ? 1U : 0U) << p);
    }
    reading.uptime = record.uptime;
    return reading;
}

PackedReading Pack(const StoredReading& reading) {
    int64_t state =
        reading.relaysEnergised | (static_cast<int64_t>(reading.pinsHigh) << kPinsShift);
    state |= static_cast<int64_t>((reading.jumpers.firstInstalled ? 1 : 0) |
                                  (reading.jumpers.secondInstalled ? 2 : 0))
             << kJumpersShift;
    if (const auto& t = reading.temperature) {
        state |= (static_cast<int64_t>(t->wholeDegrees) << kTemperatureShift) | kTemperatureKnown |
                 (t->negative ? kTemperatureNegative : 0) | (t->halfDegree ? kTemperatureHalf : 0);
    }
    return {PackCodes(reading, 0), PackCodes(reading, kVoltsPerColumn), state};
}

StoredReading Unpack(int64_t timeMs, const PackedReading& packed, uint32_t uptime) {
    StoredReading reading;
    reading.timeMs = timeMs;
    UnpackCodes(packed.firstVolts, reading, 0);
    UnpackCodes(packed.secondVolts, reading, kVoltsPerColumn);
    const int64_t state = packed.state;
    reading.relaysEnergised = RelayBitsOf(state);
    reading.pinsHigh = PinBitsOf(state);
    reading.jumpers = JumpersOfState(state);
    if ((state & kTemperatureKnown) != 0) {
        reading.temperature = TemperatureReading{(state & kTemperatureNegative) != 0,
                                                 static_cast<uint8_t>(state >> kTemperatureShift),
                                                 (state & kTemperatureHalf) != 0};
    }
    reading.uptime = uptime;
    return reading;
}

uint8_t RelayBitsOf(int64_t state) {
    return state & 0x07;
}

uint8_t PinBitsOf(int64_t state) {
    return (state >> kPinsShift) & 0x1F;
}

VoltmeterJumpers JumpersOfState(int64_t state) {
    return {((state >> kJumpersShift) & 1) != 0, ((state >> kJumpersShift) & 2) != 0};
}

Readings ReadingsOf(const StoredReading& reading, const VoltmeterJumpers& jumpers) {
    Readings readings = DecodeReadings(RecordOf(reading), jumpers);
    readings.temperature = reading.temperature;  // decoded when it arrived
    return readings;
}

std::optional<int> HalfDegreesOf(const StoredReading& reading) {
    if (!reading.temperature) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(reading.temperature->Celsius() * 2));
}

}  // namespace varnex
