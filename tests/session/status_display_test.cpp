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
    const struct {
        std::size_t index;
        uint16_t raw;
        std::string view, jumper;
        std::string shown;  // the value text, or the bar's label
        int position;       // bar view only
        int maximum;
    } cases[] = {
        {2, 4095, "STANDARD", "ON", "30.0000000", 0, 30},
        {0, 4095, "STANDARD", "OFF", "60.0000000", 0, 60},
        {1, 4095, "BAR", "on", "60.00", 60, 60},  // the jumper test is exact
        {1, 2048, "BAR", "ON", "15.00", 15, 30},
        {2, 1, "STANDARD", "ON", "0.0073260", 0, 30},
        // 5 V meters show less than a centivolt as "0".
        {5, 8, "STANDARD", "ON", "0", 0, 30},
        {5, 8, "BAR", "ON", "0", 0, 30},
        {5, 9, "STANDARD", "ON", "0.0109890", 0, 30},
        {7, 4095, "Standard", "ON", "5.00", 5, 30},  // the view test is exact
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.index + 1) + " raw " + std::to_string(c.raw) + " " + c.view +
                     " " + c.jumper);
        VoltmeterDisplay v;
        ShowVoltmeter(v, DecodeVoltmeter(c.index, c.raw, JumpersOf(Station(c.view, c.jumper))),
                      c.view);
        const bool standard = c.view == "STANDARD";
        EXPECT_EQ(std::tuple(v.valueVisible, v.barVisible, v.barLabelVisible, v.barMaximum,
                             standard ? v.valueText : v.barLabelText, v.barPosition),
                  std::tuple(standard, !standard, !standard, c.maximum, c.shown, c.position));
    }
}

TEST(StatusDisplayTest, TemperatureByFirmwareAndFlags) {
    const struct {
        uint8_t minor, patch;  // firmware 1.minor.patch
        uint8_t degrees, flags;
        std::string celsius, fahrenheit;
    } cases[] = {
        {6, 8, 20, 0x00, "20", " 68.0"},      {6, 8, 20, 0x81, "-20.5", "-4.9"},
        {6, 8, 20, 0x01, "-20", "-4.0"},      {6, 8, 20, 0x80, "20.5", " 68.9"},
        {6, 7, 20, 0x81, "20", " 68.0"},      {6, 8, 20, 0x02, "old", "old"},
        {7, 0, 255, 0x80, "255.5", " 491.9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("1." + std::to_string(c.minor) + "." + std::to_string(c.patch) + " N " +
                     std::to_string(c.degrees) + " F " + std::to_string(c.flags));
        StatusRecord r;
        r.firmwareDigits = {1, c.minor, c.patch};
        r.temperature = c.degrees;
        r.temperatureFlags = c.flags;
        DisplayState d;
        d.celsius = d.fahrenheit = "old";
        ShowTemperature(d, DecodeReadings(r, {}).temperature);
        EXPECT_EQ(std::pair(d.celsius, d.fahrenheit), std::pair(c.celsius, c.fahrenheit));
    }
}

TEST(StatusDisplayTest, RelayTimerSplitAndScriptName) {
    const struct {
        uint32_t seconds;
        uint8_t slot;
        std::vector<std::string> texts;  // label, D, H, M, S
    } cases[] = {
        {90061, 0x20, {"Morning", "1", "1", "1", "1"}},
        {0, 0x00, {"SixteenCharName!", "0", "0", "0", "0"}},
        {16777215, 0xE0, {"", "194", "4", "20", "15"}},
        {59, 0x21, {"Timer Inactive", "0", "0", "0", "59"}},  // no slot: label unchanged
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
        EXPECT_EQ((std::vector<std::string>{d.timerLabel, d.timerDays, d.timerHours, d.timerMinutes,
                                            d.timerSeconds}),
                  c.texts)
            << c.seconds;
    }
}

TEST(StatusDisplayTest, RelaysPinsAndTheControlsAStatusEnables) {
    StatusRecord r;
    r.relays = {0, 1, 0xFF};
    r.pins = {0, 1, 0, 0x80, 0};
    r.firmwareDigits = {1, 6, 9};
    DisplayState d;
    ShowStatusReadouts(d, r, Station("STANDARD", "ON"));
    EXPECT_EQ(d.relayStates, (std::array<std::string, 3>{"ON", "OFF", "OFF"}));
    EXPECT_EQ(d.pins, (std::array<std::string, 5>{"0", "1", "0", "1", "0"}));
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

TEST(StatusDisplayTest, PulseColourFadesFromBrightToDarkGreen) {
    EXPECT_EQ(PulseColour(0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PulseColour(1), (Rgb{0, 221, 0}));
    EXPECT_EQ(PulseColour(10), (Rgb{0, 68, 0}));
}

}  // namespace
}  // namespace varnex
