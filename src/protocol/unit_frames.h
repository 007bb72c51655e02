// The parameter frames of the commands that change a unit: relays, daughter
// boards, timer, scripts, triggers, switches and the unit's identity. The
// dialogs and the command-line tool build every such frame here, so its
// layout exists once.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "protocol/command_packet.h"
#include "protocol/wire_format.h"

namespace varnex {

enum class RelayAction { On, Off, Toggle };

inline constexpr int kToggleSecondsMin = 1;
inline constexpr int kToggleSecondsMax = 60;

// Relay 1..3: on, off, or a toggle back after 1..60 seconds (clamped).
void BuildRelayCommand(CommandPacket& packet, std::string_view password, int relay,
                       RelayAction action, int toggleSeconds);

// Elements of one daughter board: relays 1..6, then the 150 mA output as 7.
inline constexpr int kBoardRelayCount = 6;
inline constexpr int kBoardOutputElement = 7;
inline constexpr std::size_t kBoardElementCount = 7;
inline constexpr int kBoardToggleMinSeconds = 1;
inline constexpr int kBoardToggleMaxSeconds = 60;

// Action byte: a relay to NC or the output off, a relay to NO or the output
// on, or a timed toggle.
enum class BoardAction : uint8_t { Rest = 0, Work = 1, Toggle = 2 };

// Board 1..6 on the wire: 0x44, 0x46, ... 0x4E.
uint8_t BoardAddressByte(int board);
// Relay k: bit k - 1; the output: 0x40.
uint8_t ElementMask(int element);

// "R": board address, element mask, action, and the delay for a toggle
// (0 for every other action).
void BuildDaughterBoardCommand(CommandPacket& packet, std::string_view password, int board,
                               int element, BoardAction action, int toggleSeconds);

enum class TimerMode : uint8_t { OneShot = 0, Continuous = 1 };

// "M": 24-bit delay, slot byte, mode.
void BuildSetTimerCommand(CommandPacket& packet, std::string_view password, uint32_t delaySeconds,
                          uint8_t slotByte, TimerMode mode);

// "K": the slot byte at byte 20.
void BuildExecuteScriptCommand(CommandPacket& packet, std::string_view password, uint8_t slotByte);

// "O": pin - 1, enabled, the slot for 0, the slot for 1.
void BuildIoTriggerCommand(CommandPacket& packet, std::string_view password, int pin, bool enabled,
                           uint8_t slotForZero, uint8_t slotForOne);

// "P": enabled, upper slot, lower slot, upper and lower threshold.
void BuildTemperatureTriggerCommand(CommandPacket& packet, std::string_view password, bool enabled,
                                    uint8_t upperSlot, uint8_t lowerSlot, int upper, int lower);

// "Q" (HTTP) or "S" (SNMP): 0 enables, 1 disables.
void BuildSwitchCommand(CommandPacket& packet, std::string_view password, Command letter,
                        bool enable);

// Addresses carry their first number in the most significant byte; an empty
// field is 0.
using AllowedAddresses = std::array<uint32_t, wire::kAllowedClientAddressCount>;

// "H": every client (the addresses stay filler), or only the listed ones.
void BuildAllowedClientsCommand(CommandPacket& packet, std::string_view password, bool onlyListed,
                                const AllowedAddresses& addresses);

using MacBytes = std::array<uint8_t, wire::kMacSize>;

// "E": the six bytes of the new MAC address.
void BuildMacCommand(CommandPacket& packet, std::string_view password, const MacBytes& mac);

// "F": the new address, first number first.
void BuildIpCommand(CommandPacket& packet, std::string_view password, uint32_t address);

// "G": the new password as stored ('*'-padded), its first ten bytes.
void BuildPasswordCommand(CommandPacket& packet, std::string_view password,
                          std::string_view newStored);

}  // namespace varnex
