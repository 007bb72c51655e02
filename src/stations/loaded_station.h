// The in-memory copy of the current station's row of table `main`.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "protocol/readings.h"

namespace varnex {

inline constexpr std::size_t kVoltmeterColumns = 8;
inline constexpr std::size_t kRelayColumns = 3;

// Longest text each field keeps; a longer column value is cut when read.
struct LoadedStationLimits {
    static constexpr std::size_t address = 24;
    static constexpr std::size_t password = 24;
    static constexpr std::size_t comment = 62;
    static constexpr std::size_t defaultFlag = 10;
    static constexpr std::size_t jumper = 10;
    static constexpr std::size_t view = 62;
    static constexpr std::size_t notes = 510;
    static constexpr std::size_t label = 62;
    static constexpr std::size_t relayNotes = 510;
    static constexpr std::size_t relayName = 30;
};

inline constexpr const char* kJumperInstalled = "ON";

struct LoadedStation {
    std::string address;
    std::string password;
    std::string comment;
    std::string defaultFlag;  // "YES" or "NO"
    std::string jumper6;      // "ON" = jumper installed, 0-30 V on voltmeter 1
    std::string jumper7;      // the same for voltmeter 2
    std::array<std::string, kVoltmeterColumns> views;  // "STANDARD" or a bar
    std::array<std::string, kVoltmeterColumns> notes;
    std::array<std::string, kVoltmeterColumns> labels;
    std::array<std::string, kRelayColumns> relayNotes;
    std::array<std::string, kRelayColumns> relayNames;
};

// The voltmeter jumpers as the readings need them; only "ON" is installed.
inline VoltmeterJumpers JumpersOf(const LoadedStation& station) {
    return {station.jumper6 == kJumperInstalled, station.jumper7 == kJumperInstalled};
}

}  // namespace varnex
