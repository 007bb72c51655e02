#include "session/status_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

LoadedStation Station(const std::string& view, const std::string& jumper) {
    LoadedStation s;
    s.views.fill(view);
    s.jumper6 = s.jumper7 = jumper;
    return s;
}

TEST(StatusDisplayTest, VoltmeterTextsAndBarsByViewAndJumper) {
    struct Case {
        std::size_t index;
        uint16_t raw;
        std::string view, jumper;
        std::string text;  // text view
        int position;      // bar view
        std::string label;
        int maximum;
    };
    const std::vector<Case> cases = {
        {2, 4095, "STANDARD", "ON", "30.0000000", 0, "", 30},
        {2, 4095, "BAR", "ON", "", 30, "30.00", 30},
        {0, 4095, "STANDARD", "ON", "30.0000000", 0, "", 30},
        {0, 4095, "STANDARD", "OFF", "60.0000000", 0, "", 60},
        {0, 4095, "STANDARD", "", "60.0000000", 0, "", 60},
        {1, 4095, "BAR", "on", "", 60, "60.00", 60},  // the jumper test is exact
        {1, 2048, "BAR", "ON", "", 15, "15.00", 30},
        {2, 0, "STANDARD", "ON", "0", 0, "", 30},
        {2, 0, "BAR", "ON", "", 0, "0", 30},
        {2, 1, "STANDARD", "ON", "0.0073260", 0, "", 30},
        {5, 8, "STANDARD", "ON", "0", 0, "", 30},
        {5, 8, "BAR", "ON", "", 0, "0", 30},
        {5, 9, "STANDARD", "ON", "0.0109890", 0, "", 30},
        {5, 4095, "BAR", "ON", "", 5, "5.00", 30},
        {7, 4095, "Standard", "ON", "", 5, "5.00", 30},  // the view test is exact
    };
    for (const auto& c : cases) {
        VoltmeterDisplay v;
        ShowVoltmeter(v, c.index, c.raw, Station(c.view, c.jumper));
        const bool standard = c.view == "STANDARD";
        const std::string what = std::to_string(c.index + 1) + " raw " + std::to_string(c.raw) +
                                 " " + c.view + " " + c.jumper;
        EXPECT_EQ(v.valueVisible, standard) << what;
        EXPECT_EQ(v.barVisible, !standard) << what;
        EXPECT_EQ(v.barLabelVisible, !standard) << what;
        EXPECT_EQ(v.barMaximum, c.maximum) << what;
        if (standard) {
            EXPECT_EQ(v.valueText, c.text) << what;
        } else {
            EXPECT_EQ(v.barPosition, c.position) << what;
            EXPECT_EQ(v.barLabelText, c.label) << what;
        }
    }
}

TEST(StatusDisplayTest, TemperatureByFirmwareAndFlags) {
    struct Case {
        uint8_t minor, patch;  // firmware 1.minor.patch
        uint8_t degrees, flags;
        std::string celsius, fahrenheit;
    };
    const std::vector<Case> cases = {
        {6, 8, 20, 0x00, "20", " 68.0"},      {6, 8, 20, 0x81, "-20.5", "-4.9"},
        {6, 8, 20, 0x01, "-20", "-4.0"},      {6, 8, 20, 0x80, "20.5", " 68.9"},
        {6, 7, 20, 0x81, "20", " 68.0"},      {6, 7, 20, 0x02, "20", " 68.0"},
        {6, 8, 20, 0x02, "old", "old"},       {7, 4, 20, 0x41, "old", "old"},
        {6, 8, 0, 0x00, "0", " 32.0"},        {6, 8, 40, 0x01, "-40", "-40.0"},
        {7, 0, 255, 0x80, "255.5", " 491.9"},
    };
    for (const auto& c : cases) {
        StatusRecord r;
        r.firmwareDigits = {1, c.minor, c.patch};
        r.temperature = c.degrees;
        r.temperatureFlags = c.flags;
        DisplayState d;
        d.celsius = d.fahrenheit = "old";
        ShowTemperature(d, r);
        const std::string what = "1." + std::to_string(c.minor) + "." + std::to_string(c.patch) +
                                 " N " + std::to_string(c.degrees) + " F " +
                                 std::to_string(c.flags);
        EXPECT_EQ(d.celsius, c.celsius) << what;
        EXPECT_EQ(d.fahrenheit, c.fahrenheit) << what;
    }
}

TEST(StatusDisplayTest, EveryFlagByteOnBothSidesOfTheSignedFirmware) {
    for (int flags = 0; flags < 256; ++flags) {
        for (const uint8_t patch : {7, 8}) {
            StatusRecord r;
            r.firmwareDigits = {1, 6, patch};
            r.temperature = 20;
            r.temperatureFlags = static_cast<uint8_t>(flags);
            DisplayState d;
            d.celsius = d.fahrenheit = "old";
            ShowTemperature(d, r);
            std::string expected = "20";
            if (patch == 8) {
                switch (flags) {
                    case 0x00:
                        expected = "20";
                        break;
                    case 0x01:
                        expected = "-20";
                        break;
                    case 0x80:
                        expected = "20.5";
                        break;
                    case 0x81:
                        expected = "-20.5";
                        break;
                    default:
                        expected = "old";
                        break;
                }
            }
            EXPECT_EQ(d.celsius, expected) << "1.6." << int(patch) << " flags " << flags;
        }
    }
}

TEST(StatusDisplayTest, RelayTimerSplitAndScriptName) {
    struct Case {
        uint32_t seconds;
        uint8_t slot;
        std::string label, d, h, m, s;
    };
    const std::vector<Case> cases = {
        {90061, 0x20, "Morning", "1", "1", "1", "1"},
        {0, 0x00, "SixteenCharName!", "0", "0", "0", "0"},
        {16777215, 0xE0, "", "194", "4", "20", "15"},
        {59, 0x21, "Timer Inactive", "0", "0", "0", "59"},  // no slot: label unchanged
    };
    ScriptTable scripts;
    scripts[0].name = "SixteenCharName!";
    scripts[1].name = "  Morning       ";
    for (const auto& c : cases) {
        StatusRecord r;
        r.timerSeconds = c.seconds;
        r.timerSlot = c.slot;
        r.timerRunning = true;
        DisplayState d;
        ShowRunningRelayTimer(d, r, scripts);
        EXPECT_EQ(d.timerLabel, c.label) << c.seconds;
        EXPECT_EQ(d.timerDays, c.d) << c.seconds;
        EXPECT_EQ(d.timerHours, c.h) << c.seconds;
        EXPECT_EQ(d.timerMinutes, c.m) << c.seconds;
        EXPECT_EQ(d.timerSeconds, c.s) << c.seconds;
    }
}

TEST(StatusDisplayTest, ReadoutsAndEnabledControls) {
    StatusRecord r;
    r.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    r.relays = {0, 1, 0xFF};
    r.pins = {0, 1, 0, 0x80, 0};
    r.firmwareDigits = {1, 6, 9};
    r.stationName = "Pumps";
    DisplayState d;
    ShowStatusReadouts(d, r, Station("STANDARD", "ON"));
    EXPECT_EQ(d.macAddress, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(d.relayStates, (std::array<std::string, 3>{"ON", "OFF", "OFF"}));
    EXPECT_EQ(d.pins, (std::array<std::string, 5>{"0", "1", "0", "1", "0"}));
    EXPECT_EQ(d.firmwareVersion, "1.6.9");
    EXPECT_EQ(d.stationName, "Pumps");
    ControlsEnabled expected;
    expected.relayButtons.fill(true);
    expected.pinButtons.fill(true);
    expected.runMake = expected.stopTimer = expected.timerButton = true;
    expected.changeMacAddress = expected.changeIpAddress = true;
    expected.securitySettings = expected.setStationName = true;
    expected.uptime = expected.temperatureButton = true;
    EXPECT_EQ(d.enabled, expected);  // no daughter boards before 1.7.0; START untouched
    r.firmwareDigits = {1, 7, 0};
    ShowStatusReadouts(d, r, Station("STANDARD", "ON"));
    EXPECT_TRUE(d.enabled.daughterBoardButton);
}

TEST(StatusDisplayTest, PulseColours) {
    EXPECT_EQ(PulseColour(0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PulseColour(1), (Rgb{0, 221, 0}));
    EXPECT_EQ(PulseColour(10), (Rgb{0, 68, 0}));
}

}  // namespace
}  // namespace varnex
