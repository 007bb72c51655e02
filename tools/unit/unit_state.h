// Everything a unit remembers, as plain data. The behaviour lives in free
// functions (unit_behaviour.h, command_handler.h) so a test can build any
// state it likes and look at every field.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/wire_format.h"

namespace varnex::unit {

// Milliseconds on the simulator's own clock; only differences matter.
using UnitTime = std::chrono::milliseconds;

using Address4 = std::array<uint8_t, 4>;  // first octet first

// An address held as one number, first octet in the most significant byte.
inline Address4 AddressBytes(uint32_t address) {
    return {static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
            static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
}
using Bytes = std::vector<uint8_t>;
using UnitEvents = std::vector<std::string>;  // what happened by itself, for the log

// A slot holds its record exactly as uploaded: the unit does not interpret
// names, and reads the codes only when it runs them.
struct ScriptSlot {
    std::array<uint8_t, wire::kScriptFieldSize> codes;
    std::array<uint8_t, wire::kScriptFieldSize> name;
};

struct RunningScript {
    std::array<uint8_t, wire::kScriptFieldSize> codes;  // a copy: re-uploading does not disturb it
    std::size_t slot = 0;
    std::size_t nextStep = 0;
    UnitTime resumeAt{};
};

struct RelayTimer {
    bool running = false;
    bool continuous = false;
    uint32_t delaySeconds = 0;
    uint8_t slotByte = 0;
    UnitTime firesAt{};
};

// The unit has one toggle timer, shared by the power relays and the
// daughter-board elements.
struct ToggleTimer {
    bool onBoard = false;    // false: a power relay
    std::size_t index = 0;   // relay 0..2 or board 0..5
    uint8_t mask = 0;        // board element bit
    bool bitBefore = false;  // board element state to restore at the end
    UnitTime endsAt{};
};

struct Voltmeter {
    uint16_t raw = 0;     // 12-bit reading
    uint16_t centre = 0;  // drift stays near this
    bool held = false;    // set from the console: no drift
};

// Where the temperature stood against the trigger's thresholds when last
// looked at; a script runs only when this changes.
enum class TemperatureZone { Unknown, Below, Between, Above };

struct UnitState {
    std::array<uint8_t, wire::kMacSize> mac{};
    std::array<Voltmeter, wire::kVoltmeterCount> voltmeters{};
    std::array<bool, wire::kRelayCount> relayOn{};
    std::array<bool, wire::kPinCount> pins{};
    uint8_t allowMode = 0;  // 0: every client
    std::array<Address4, wire::kAllowedClientAddressCount> allowed{};
    std::array<uint8_t, 3> firmware{};
    int temperatureHalves = 0;  // half degrees Celsius
    UnitTime startedAt{};
    std::array<uint8_t, wire::kStationNameSize> name{};
    std::array<uint8_t, wire::kPasswordSize> password{};
    Address4 address{};  // as last set by "F"
    std::array<ScriptSlot, wire::kScriptSlotCount> scriptSlots{};
    RelayTimer timer;
    std::array<uint8_t, wire::kIoTriggerSize> ioTriggers{};
    std::array<uint8_t, wire::kTemperatureTriggerSize> temperatureTrigger{};
    TemperatureZone temperatureZone = TemperatureZone::Unknown;
    uint8_t http = 0;  // 0: enabled
    uint8_t snmp = 0;  // 0: enabled
    std::array<bool, wire::kBoardCount> boardPresent{};
    std::array<uint8_t, wire::kBoardCount> boardStates{};
    std::optional<ToggleTimer> toggle;
    std::optional<RunningScript> script;
    uint64_t randomState = 0;
    UnitTime lastDrift{};
};

// What the command line chooses about the unit itself.
struct UnitSetup {
    std::string password = "tamble";
    std::array<uint8_t, 3> firmware{1, 7, 4};
    std::string name = "Varnex Unit";
    std::array<uint8_t, wire::kMacSize> mac{0x02, 0x56, 0x4E, 0x58, 0x00, 0x01};
    std::array<bool, wire::kBoardCount> boards{};
    uint64_t seed = 1;
    Address4 address{127, 0, 0, 1};
};

// A board's relays rest on NC and its output is off (every bit set).
inline constexpr uint8_t kBoardRestingState = 0x7F;
inline constexpr int kStartTemperatureHalves = 43;  // 21.5 degrees

UnitState MakeUnitState(const UnitSetup& setup, UnitTime now);
unsigned FirmwareNumber(const UnitState& state);
// The password as it travels: padded with '*' to ten bytes.
std::array<uint8_t, wire::kPasswordSize> PasswordField(const std::string& password);
// Slot byte k * 32 to slot index; nullopt for any other value.
std::optional<std::size_t> SlotIndex(uint8_t slotByte);

}  // namespace varnex::unit
