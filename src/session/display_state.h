// The main window's state as plain data. The core changes it; the UI renders
// all of it after every event. Default values are the window at start-up,
// which is also what ResetSession leaves behind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/packet_counters.h"

namespace varnex {

inline constexpr std::size_t kDisplayVoltmeters = 8;
inline constexpr std::size_t kDisplayRelays = 3;
inline constexpr std::size_t kDisplayPins = 5;
inline constexpr std::size_t kStatusBarParts = 4;
inline constexpr int kBarRangeStandard = 30;
inline constexpr int kBarRangeNoJumper = 60;
inline constexpr int kPulseStepMax = 10;

inline constexpr const char* kTimerInactiveText = "Timer Inactive";
inline constexpr const char* kRelayStateUnknownText = "==========";
inline constexpr const char* kFirmwareUnknownText = "* . *";
inline constexpr const char* kStartUpCreditLine = " Varnex v1 - every reading at once";
inline constexpr const char* kReadingsTitle = "ADC INPUTS";
// The readings group's title while the unit is silent: the values stay, and
// the title says they are old, so colour is not the only sign.
inline constexpr const char* kStaleReadingsTitle = "ADC INPUTS - last values, no reply";

// One voltmeter of "ADC INPUTS": a value field, or a bar with a label over it.
struct VoltmeterDisplay {
    std::string caption;          // the station's voltmeter label
    std::string valueText = " ";  // shown in the text view
    bool valueVisible = true;
    bool barVisible = false;
    int barPosition = 0;
    int barMaximum = kBarRangeStandard;  // range 0..barMaximum
    std::string barLabelText;
    bool barLabelVisible = false;
    bool operator==(const VoltmeterDisplay&) const = default;
};

// Enabled flags of every control that changes with the session state.
// Controls not listed here are enabled in every state.
struct ControlsEnabled {
    bool start = true;
    std::array<bool, kDisplayRelays> relayButtons{};  // "Relay 1".."Relay 3"
    bool runMake = false;                             // "Run/Make"
    bool changeMacAddress = false;
    bool changeIpAddress = false;
    bool securitySettings = false;
    bool setStationName = false;
    bool uptime = false;  // "UPTIME"
    bool temperatureButton = false;
    bool daughterBoardButton = false;  // "RDB" group
    std::array<bool, kDisplayPins> pinButtons{};
    bool stopTimer = false;    // "Stop Timer"
    bool timerButton = false;  // the relay-timer image button
    bool operator==(const ControlsEnabled&) const = default;
};

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Colour of the "Aquire Data" indicator at a pulse step: black at 0, then
// greens from bright (1) to dark (10).
inline Rgb PulseColour(int step) {
    if (step <= 0) {
        return {};
    }
    return {0, static_cast<uint8_t>(238 - 17 * step), 0};
}

struct DisplayState {
    // "Station Name", "Mac Address", "Temperature".
    std::string stationName = " ";
    std::string macAddress = " ";
    std::string fahrenheit = " ";
    std::string celsius = " ";

    std::array<VoltmeterDisplay, kDisplayVoltmeters> voltmeters{};
    std::string readingsTitle = kReadingsTitle;
    // The unit is silent: every readout keeps its value but shows it as old.
    bool readingsStale = false;

    // "POWER RELAYS": state labels ("ON", "OFF") and name labels.
    std::array<std::string, kDisplayRelays> relayStates = {
        kRelayStateUnknownText, kRelayStateUnknownText, kRelayStateUnknownText};
    std::array<std::string, kDisplayRelays> relayNames = {"Relay", "Relay", "Relay"};

    std::string autoPingCaption = "Auto Ping";

    // "I/O Pin Status": pins 1..5, "0" or "1".
    std::array<std::string, kDisplayPins> pins = {"0", "0", "0", "0", "0"};

    // "Packet Counter": Sent, Received, Lost.
    PacketCounters counters{};

    ControlsEnabled enabled{};

    // Relay timer row: "Run <timerLabel> in D H M S".
    std::string timerLabel = kTimerInactiveText;
    std::string timerDays = "0";
    std::string timerHours = "0";
    std::string timerMinutes = "0";
    std::string timerSeconds = "0";
    // Image on the relay-timer button: 0 is the resting image, 1..3 the
    // animation frames.
    int timerButtonImage = 0;

    std::string firmwareVersion = kFirmwareUnknownText;  // beside "Firmware Version:"

    std::array<std::string, kStatusBarParts> statusBar = {
        "STATUS:", " Not Connected", " MSG:  Choose IP, then Click on Start", kStartUpCreditLine};

    // "Aquire Data" indicator colour step, 0..10 (see PulseColour).
    int pulseStep = 0;
    // Credits rotation of status bar part 3, 0..4.
    int creditsIndex = 0;

    bool operator==(const DisplayState&) const = default;
};

}  // namespace varnex
