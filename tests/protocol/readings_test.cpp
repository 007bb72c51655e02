// A status record as values with units: the volts each range and jumper
// give, temperatures by firmware, and both words for a relay.
#include "protocol/readings.h"

#include <gtest/gtest.h>

#include <string>

namespace varnex {
namespace {

TEST(Readings, VoltsFollowTheRangeAndTheJumper) {
    const struct {
        std::size_t index;
        uint16_t raw;
        VoltmeterJumpers jumpers;
        long double volts;
        int fullScale;
    } cases[] = {
        {0, 4095, {true, true}, 30.0L, 30},   {0, 4095, {false, true}, 60.0L, 60},
        {1, 4095, {false, true}, 30.0L, 30},  {1, 2048, {true, false}, 2048 / 4095.0L * 60, 60},
        {2, 4095, {false, false}, 30.0L, 30}, {4, 1, {}, 30 / 4095.0L, 30},
        {5, 4095, {false, false}, 5.0L, 5},   {7, 0, {}, 0.0L, 5},
    };
    for (const auto& c : cases) {
        const VoltmeterReading reading = DecodeVoltmeter(c.index, c.raw, c.jumpers);
        EXPECT_EQ(reading, (VoltmeterReading{c.raw, c.volts, c.fullScale}))
            << "voltmeter " << c.index + 1 << " raw " << c.raw;
    }
}

TEST(Readings, TemperatureSignAndHalfDegreeFromFirmware168) {
    const struct {
        uint8_t minor, patch, degrees, flags;
        std::optional<long double> celsius;
    } cases[] = {
        {6, 7, 20, 0x81, 20.0L},     // older firmware has no flags
        {6, 8, 20, 0x00, 20.0L},     {6, 8, 20, 0x01, -20.0L}, {6, 8, 20, 0x80, 20.5L},
        {6, 8, 0, 0x81, -0.5L},      {7, 4, 255, 0x80, 255.5L},
        {6, 8, 20, 0x02, std::nullopt},  // a flag the unit never sends
    };
    for (const auto& c : cases) {
        StatusRecord record;
        record.firmwareDigits = {1, c.minor, c.patch};
        record.temperature = c.degrees;
        record.temperatureFlags = c.flags;
        const std::optional<TemperatureReading> t = DecodeReadings(record, {}).temperature;
        EXPECT_EQ(t ? std::optional(t->Celsius()) : std::nullopt, c.celsius)
            << "1." << int{c.minor} << "." << int{c.patch} << " flags " << int{c.flags};
    }
}

TEST(Readings, EveryOtherFieldOfTheRecord) {
    StatusRecord record;
    record.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    record.relays = {0, 1, 0xFF};
    record.pins = {0, 1, 0, 7, 1};
    record.firmwareDigits = {1, 7, 4};
    record.uptime = 90061;
    record.stationName = "Lab";
    record.timerRunning = true;
    record.timerSeconds = 3600;
    const Readings r = DecodeReadings(record, {});
    EXPECT_EQ(r.relays, (std::array<RelayReading, 3>{{{true, false}, {false, true}, {false, true}}}));
    EXPECT_EQ(r.pinsHigh, (std::array<bool, 5>{false, true, false, true, true}));
    EXPECT_EQ((std::tuple(r.macAddress, r.firmwareVersion, r.firmwareText, r.uptimeSeconds,
                          r.stationName, r.timerRunning, r.timerRemainingSeconds)),
              (std::tuple(std::string("00:1A:2B:3C:4D:5E"), 174u, std::string("1.7.4"), 90061u,
                          std::string("Lab"), true, 3600u)));
}

}  // namespace
}  // namespace varnex
