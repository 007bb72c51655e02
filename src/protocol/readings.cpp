#include "protocol/readings.h"

namespace varnex {
namespace {

constexpr std::size_t kFiveVoltFirst = 5;  // voltmeters 6..8 read 0..5 V
constexpr int kFiveVoltRange = 5;
constexpr int kStandardRange = 30;
constexpr int kNoJumperRange = 60;
constexpr long double kRawMaximum = 4095.0L;

std::optional<TemperatureReading> DecodeTemperature(const StatusRecord& record) {
    TemperatureReading reading;
    reading.wholeDegrees = record.temperature;
    // Older firmware sends neither a sign nor half degrees.
    if (FirmwareVersion(record) < wire::kFirmwareHttpAndSignedTemperature) {
        return reading;
    }
    if ((record.temperatureFlags & ~(wire::kTemperatureNegative | wire::kTemperatureHalf)) != 0) {
        return std::nullopt;
    }
    reading.negative = (record.temperatureFlags & wire::kTemperatureNegative) != 0;
    reading.halfDegree = (record.temperatureFlags & wire::kTemperatureHalf) != 0;
    return reading;
}

}  // namespace

long double TemperatureReading::Celsius() const {
    const long double magnitude = wholeDegrees + (halfDegree ? 0.5L : 0.0L);
    return negative ? -magnitude : magnitude;
}

VoltmeterReading DecodeVoltmeter(std::size_t index, uint16_t raw, const VoltmeterJumpers& jumpers) {
    VoltmeterReading reading;
    reading.raw = raw;
    if (index >= kFiveVoltFirst) {
        reading.fullScaleVolts = kFiveVoltRange;
        reading.volts = raw / kRawMaximum * kFiveVoltRange;
        return reading;
    }
    reading.fullScaleVolts = kStandardRange;
    reading.volts = raw / kRawMaximum * kStandardRange;
    const bool jumperRemoved = (index == 0 && !jumpers.firstInstalled) ||
                               (index == 1 && !jumpers.secondInstalled);
    if (jumperRemoved) {
        // The unit halves the input without the jumper; the code is doubled back.
        reading.fullScaleVolts = kNoJumperRange;
        reading.volts *= 2;
    }
    return reading;
}

Readings DecodeReadings(const StatusRecord& record, const VoltmeterJumpers& jumpers) {
    Readings readings;
    for (std::size_t n = 0; n < readings.voltmeters.size(); ++n) {
        readings.voltmeters[n] = DecodeVoltmeter(n, record.rawVoltages[n], jumpers);
    }
    readings.temperature = DecodeTemperature(record);
    for (std::size_t r = 0; r < readings.relays.size(); ++r) {
        const bool atRest = record.relays[r] == 0;
        readings.relays[r] = {atRest, !atRest};
    }
    for (std::size_t p = 0; p < readings.pinsHigh.size(); ++p) {
        readings.pinsHigh[p] = record.pins[p] != 0;
    }
    readings.uptimeSeconds = record.uptime;
    readings.firmwareVersion = FirmwareVersion(record);
    readings.firmwareText = FirmwareVersionText(record);
    for (std::size_t i = 0; i < record.mac.size(); ++i) {
        readings.macAddress += (i == 0 ? "" : ":") + MacByteText(record.mac[i]);
    }
    readings.stationName = record.stationName;
    readings.timerRunning = record.timerRunning;
    readings.timerRemainingSeconds = record.timerSeconds;
    return readings;
}

}  // namespace varnex
