#include "session/status_display.h"

#include <string>

#include "text/conversions.h"

namespace varnex {
namespace {

constexpr const char* kStandardView = "STANDARD";

}  // namespace

void ShowVoltmeter(VoltmeterDisplay& voltmeter, const VoltmeterReading& reading,
                   const std::string& view) {
    const bool fiveVolt = reading.fullScaleVolts == 5;
    voltmeter.barMaximum = reading.fullScaleVolts == kBarRangeNoJumper ? kBarRangeNoJumper
                                                                       : kBarRangeStandard;
    // Each view formats only what it shows (the 5 V meters also test T7).
    const bool standard = view == kStandardView;
    std::string t7 =
        standard || fiveVolt ? TrimBoth(FormatDecimal(reading.volts, 7)) : std::string();
    const bool belowCentivolt = fiveVolt && t7.starts_with("0.00");
    voltmeter.valueVisible = standard;
    voltmeter.barVisible = !standard;
    voltmeter.barLabelVisible = !standard;
    if (standard) {
        voltmeter.valueText = belowCentivolt ? "0" : t7;
        return;
    }
    const std::string t2 = belowCentivolt ? "0" : TrimBoth(FormatDecimal(reading.volts, 2));
    voltmeter.barPosition = ParseLeadingInteger(t2);
    voltmeter.barLabelText = t2;
}

void ShowTemperature(DisplayState& display, const std::optional<TemperatureReading>& reading) {
    if (!reading) {
        return;
    }
    display.celsius = (reading->negative ? "-" : "") + std::to_string(reading->wholeDegrees) +
                      (reading->halfDegree ? ".5" : "");
    display.fahrenheit = FormatDecimal(reading->Celsius() * 1.8L + 32.0L, 1);
}

void ShowStatusReadouts(DisplayState& display, const StatusRecord& record,
                        const LoadedStation& station) {
    const Readings readings = DecodeReadings(record, JumpersOf(station));
    display.macAddress = readings.macAddress;
    for (std::size_t n = 0; n < display.voltmeters.size(); ++n) {
        ShowVoltmeter(display.voltmeters[n], readings.voltmeters[n], station.views[n]);
    }
    for (std::size_t r = 0; r < display.relayStates.size(); ++r) {
        display.relayStates[r] = readings.relays[r].unitSaysOn ? "ON" : "OFF";
    }
    for (std::size_t p = 0; p < display.pins.size(); ++p) {
        display.pins[p] = readings.pinsHigh[p] ? "1" : "0";
    }
    display.firmwareVersion = readings.firmwareText;
    ShowTemperature(display, readings.temperature);
    display.stationName = readings.stationName;

    ControlsEnabled& on = display.enabled;
    on.daughterBoardButton = readings.firmwareVersion >= wire::kFirmwareDaughterBoards;
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
