#include "session/status_display.h"

#include <string>

#include "text/conversions.h"

namespace varnex {
namespace {

constexpr std::size_t kFiveVoltFirst = 5;  // voltmeters 6..8 read 0..5 V
constexpr long double kFullScaleLow = 5.0L;
constexpr long double kFullScaleHigh = 30.0L;
constexpr long double kRawMaximum = 4095.0L;
constexpr const char* kJumperInstalled = "ON";
constexpr const char* kStandardView = "STANDARD";

}  // namespace

void ShowVoltmeter(VoltmeterDisplay& voltmeter, std::size_t index, uint16_t raw,
                   const LoadedStation& station) {
    const bool fiveVolt = index >= kFiveVoltFirst;
    long double volts = raw / kRawMaximum * (fiveVolt ? kFullScaleLow : kFullScaleHigh);
    voltmeter.barMaximum = kBarRangeStandard;
    if (index < 2) {
        const std::string& jumper = index == 0 ? station.jumper6 : station.jumper7;
        if (jumper != kJumperInstalled) {
            volts *= 2;
            voltmeter.barMaximum = kBarRangeNoJumper;
        }
    }
    // Each view formats only what it shows (the 5 V meters also test T7).
    const bool standard = station.views[index] == kStandardView;
    std::string t7 = standard || fiveVolt ? TrimBoth(FormatDecimal(volts, 7)) : std::string();
    const bool belowCentivolt = fiveVolt && t7.starts_with("0.00");
    voltmeter.valueVisible = standard;
    voltmeter.barVisible = !standard;
    voltmeter.barLabelVisible = !standard;
    if (standard) {
        voltmeter.valueText = belowCentivolt ? "0" : t7;
        return;
    }
    const std::string t2 = belowCentivolt ? "0" : TrimBoth(FormatDecimal(volts, 2));
    voltmeter.barPosition = ParseLeadingInteger(t2);
    voltmeter.barLabelText = t2;
}

void ShowTemperature(DisplayState& display, const StatusRecord& record) {
    bool negative = false;
    bool half = false;
    if (FirmwareVersion(record) >= wire::kFirmwareHttpAndSignedTemperature) {
        switch (record.temperatureFlags) {
            case 0x00:
                break;
            case wire::kTemperatureNegative:
                negative = true;
                break;
            case wire::kTemperatureHalf:
                half = true;
                break;
            case wire::kTemperatureNegative | wire::kTemperatureHalf:
                negative = half = true;
                break;
            default:
                return;
        }
    }
    const std::string magnitude = std::to_string(record.temperature);
    display.celsius = (negative ? "-" : "") + magnitude + (half ? ".5" : "");
    long double celsius = record.temperature + (half ? 0.5L : 0.0L);
    if (negative) {
        celsius = -celsius;
    }
    display.fahrenheit = FormatDecimal(celsius * 1.8L + 32.0L, 1);
}

void ShowStatusReadouts(DisplayState& display, const StatusRecord& record,
                        const LoadedStation& station) {
    std::string mac;
    for (std::size_t i = 0; i < record.mac.size(); ++i) {
        mac += (i == 0 ? "" : ":") + MacByteText(record.mac[i]);
    }
    display.macAddress = mac;
    for (std::size_t n = 0; n < display.voltmeters.size(); ++n) {
        ShowVoltmeter(display.voltmeters[n], n, record.rawVoltages[n], station);
    }
    for (std::size_t r = 0; r < display.relayStates.size(); ++r) {
        display.relayStates[r] = record.relays[r] == 0 ? "ON" : "OFF";
    }
    for (std::size_t p = 0; p < display.pins.size(); ++p) {
        display.pins[p] = record.pins[p] == 0 ? "0" : "1";
    }
    display.firmwareVersion = FirmwareVersionText(record);
    ShowTemperature(display, record);
    display.stationName = record.stationName;

    const unsigned version = FirmwareVersion(record);
    ControlsEnabled& on = display.enabled;
    on.daughterBoardButton = version >= wire::kFirmwareDaughterBoards;
    on.relayButtons.fill(true);
    on.pinButtons.fill(true);
    on.runMake = on.stopTimer = on.timerButton = true;
    on.changeMacAddress = on.changeIpAddress = on.securitySettings = on.setStationName = true;
    on.uptime = on.temperatureButton = true;
}

void ShowRunningRelayTimer(DisplayState& display, const StatusRecord& record,
                           const ScriptTable& scripts) {
    const int slot = SlotIndex(record.timerSlot);
    if (slot >= 0) {
        const std::string& name = scripts[static_cast<std::size_t>(slot)].name;
        display.timerLabel = TrimBoth(std::string_view(name).substr(0, wire::kScriptFieldSize));
    }
    const uint32_t t = record.timerSeconds;
    display.timerDays = std::to_string(t / 86400);
    display.timerHours = std::to_string(t % 86400 / 3600);
    display.timerMinutes = std::to_string(t % 3600 / 60);
    display.timerSeconds = std::to_string(t % 60);
}

}  // namespace varnex
