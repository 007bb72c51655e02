// Relay scripts: the step vocabulary and its one-character codes, the
// 32-character record a script travels in, the slot byte, and the client's
// copy of the unit's eight slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/reply_buffer.h"
#include "protocol/wire_format.h"

namespace varnex {

inline constexpr std::size_t kScriptStepCount = 16;
inline constexpr std::size_t kScriptNameSent = 15;  // one padding blank always follows

using StepCode = char;

struct ScriptStep {
    std::string_view text;
    StepCode code;
};

// In the order offered to the user.
inline constexpr std::array<ScriptStep, 11> kStepVocabulary = {{
    {"Relay 1 ON", '1'},
    {"Relay 1 OFF", '2'},
    {"Relay 2 ON", '3'},
    {"Relay 2 OFF", '4'},
    {"Relay 3 ON", '5'},
    {"Relay 3 OFF", '6'},
    {"Delay 1 Second", '7'},
    {"Delay 2 Seconds", '8'},
    {"Delay 3 Seconds", '9'},
    {"Delay 4 Seconds", 'A'},
    {"Delay 5 Seconds", 'B'},
}};

// The 16 codes (blank-padded) and the name cut to 15 characters plus blanks
// to 16; an empty name adds nothing, so the record is then 16 characters.
// Texts outside the vocabulary add no code; steps after the 16th are dropped.
std::string EncodeScriptRecord(const std::vector<std::string>& steps, std::string_view name);

// Step texts of a slot's codes: up to the first blank or the 16th code,
// skipping characters that are no step code.
std::vector<std::string> DecodeScriptSteps(std::string_view codes);

// Slot index 0..7 on the wire: index x 32.
constexpr uint8_t SlotByte(std::size_t index) {
    return static_cast<uint8_t>(index * 32);
}
// The index a reply's slot byte names, or -1 for any other value.
int SlotIndex(uint8_t slotByte);

struct ScriptSlot {
    std::string name;   // as received, padding kept, at most 16 characters
    std::string codes;  // as received, at most 16 characters
};

using ScriptTable = std::array<ScriptSlot, wire::kScriptSlotCount>;

// Stores a script-table reply: each text ends at a zero byte or after 16.
void StoreScriptTable(ScriptTable& table, const ReplyBuffer& reply);

}  // namespace varnex
