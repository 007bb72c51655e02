#include "protocol/unit_frames.h"

#include <algorithm>

#include "protocol/address_bytes.h"

namespace varnex {
namespace {

// Letters by relay: on, off, toggle.
constexpr std::array<std::array<Command, 3>, wire::kRelayCount> kRelayLetters = {{
    {Command::Relay1On, Command::Relay1Off, Command::Relay1Toggle},
    {Command::Relay2On, Command::Relay2Off, Command::Relay2Toggle},
    {Command::Relay3On, Command::Relay3Off, Command::Relay3Toggle},
}};

bool IsOutput(int element) {
    return element == kBoardOutputElement;
}

}  // namespace

void BuildRelayCommand(CommandPacket& packet, std::string_view password, int relay,
                       RelayAction action, int toggleSeconds) {
    const auto index = static_cast<std::size_t>(std::clamp(relay, 1, int(wire::kRelayCount)) - 1);
    BuildCommand(packet, kRelayLetters[index][static_cast<std::size_t>(action)], password);
    if (action == RelayAction::Toggle) {
        packet.bytes[wire::kToggleSecondsOffset] =
            static_cast<uint8_t>(std::clamp(toggleSeconds, kToggleSecondsMin, kToggleSecondsMax));
    }
}

uint8_t BoardAddressByte(int board) {
    return static_cast<uint8_t>(wire::kBoardAddressFirst + 2 * (board - 1));
}

uint8_t ElementMask(int element) {
    return IsOutput(element) ? wire::kBoardOutputMask : static_cast<uint8_t>(1u << (element - 1));
}

void BuildDaughterBoardCommand(CommandPacket& packet, std::string_view password, int board,
                               int element, BoardAction action, int toggleSeconds) {
    BuildCommand(packet, Command::DaughterBoard, password);
    auto& b = packet.bytes;
    b[wire::kBoardAddressOffset] = BoardAddressByte(board);
    b[wire::kBoardMaskOffset] = ElementMask(element);
    b[wire::kBoardActionOffset] = static_cast<uint8_t>(action);
    b[wire::kBoardDelayOffset] =
        action == BoardAction::Toggle
            ? static_cast<uint8_t>(
                  std::clamp(toggleSeconds, kBoardToggleMinSeconds, kBoardToggleMaxSeconds))
            : 0;
}

void BuildSetTimerCommand(CommandPacket& packet, std::string_view password, uint32_t delaySeconds,
                          uint8_t slotByte, TimerMode mode) {
    BuildCommand(packet, Command::SetRelayTimer, password);
    auto& b = packet.bytes;
    b[wire::kTimerDelayOffset] = static_cast<uint8_t>(delaySeconds >> 16);
    b[wire::kTimerDelayOffset + 1] = static_cast<uint8_t>(delaySeconds >> 8);
    b[wire::kTimerDelayOffset + 2] = static_cast<uint8_t>(delaySeconds);
    b[wire::kTimerScriptOffset] = slotByte;
    b[wire::kTimerModeOffset] = static_cast<uint8_t>(mode);
}

void BuildExecuteScriptCommand(CommandPacket& packet, std::string_view password, uint8_t slotByte) {
    BuildCommand(packet, Command::ExecuteScript, password);
    packet.bytes[wire::kExecuteSlotOffset] = slotByte;
}

void BuildIoTriggerCommand(CommandPacket& packet, std::string_view password, int pin, bool enabled,
                           uint8_t slotForZero, uint8_t slotForOne) {
    BuildCommand(packet, Command::SetIoTrigger, password);
    packet.bytes[wire::kIoPinIndexOffset] = static_cast<uint8_t>(pin - 1);
    uint8_t* setting = packet.bytes.data() + wire::kIoSettingOffset;
    setting[wire::kIoEnabled] = enabled ? 1 : 0;
    setting[wire::kIoSlotForZero] = slotForZero;
    setting[wire::kIoSlotForOne] = slotForOne;
}

void BuildTemperatureTriggerCommand(CommandPacket& packet, std::string_view password, bool enabled,
                                    uint8_t upperSlot, uint8_t lowerSlot, int upper, int lower) {
    BuildCommand(packet, Command::SetTemperatureTrigger, password);
    uint8_t* setting = packet.bytes.data() + wire::kTemperatureSettingOffset;
    setting[wire::kTemperatureEnabled] = enabled ? 1 : 0;
    setting[wire::kTemperatureUpperSlot] = upperSlot;
    setting[wire::kTemperatureLowerSlot] = lowerSlot;
    setting[wire::kTemperatureUpperThreshold] = static_cast<uint8_t>(upper);
    setting[wire::kTemperatureLowerThreshold] = static_cast<uint8_t>(lower);
}

void BuildSwitchCommand(CommandPacket& packet, std::string_view password, Command letter,
                        bool enable) {
    BuildCommand(packet, letter, password);
    packet.bytes[wire::kSwitchOffset] = enable ? 0 : 1;
}

void BuildAllowedClientsCommand(CommandPacket& packet, std::string_view password, bool onlyListed,
                                const AllowedAddresses& addresses) {
    BuildCommand(packet, Command::SetAllowedClients, password);
    packet.bytes[wire::kAllowModeOffset] = onlyListed ? 1 : 0;
    if (onlyListed) {
        for (std::size_t n = 0; n < addresses.size(); ++n) {
            WriteAddressBytes(&packet.bytes[wire::kAllowAddressesOffset + n * kAddressBytes],
                              addresses[n]);
        }
    }
}

void BuildMacCommand(CommandPacket& packet, std::string_view password, const MacBytes& mac) {
    BuildCommand(packet, Command::SetMacAddress, password);
    std::copy(mac.begin(), mac.end(), packet.bytes.begin() + wire::kNewMacOffset);
}

void BuildIpCommand(CommandPacket& packet, std::string_view password, uint32_t address) {
    BuildCommand(packet, Command::SetIpAddress, password);
    WriteAddressBytes(&packet.bytes[wire::kNewAddressOffset], address);
}

void BuildPasswordCommand(CommandPacket& packet, std::string_view password,
                          std::string_view newStored) {
    BuildCommand(packet, Command::SetPassword, password);
    const std::string_view field = newStored.substr(0, wire::kPasswordSize);
    std::copy(field.begin(), field.end(), packet.bytes.begin() + wire::kNewPasswordOffset);
}

}  // namespace varnex
