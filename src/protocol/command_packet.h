// The 285-byte command datagram, built in the one shared 1024-byte buffer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "protocol/wire_format.h"

namespace varnex {

// The letter catalogue by purpose.
enum class Command : char {
    Status = '1',
    Relay1On = '2',
    Relay1Off = '3',
    Relay1Toggle = '4',
    Relay2On = '5',
    Relay2Off = '6',
    Relay2Toggle = '7',
    Relay3On = '8',
    Relay3Off = '9',
    Relay3Toggle = 'A',
    SetMacAddress = 'E',
    SetIpAddress = 'F',
    SetPassword = 'G',
    SetAllowedClients = 'H',
    SetStationName = 'I',
    UploadScript = 'J',
    ExecuteScript = 'K',
    RequestScriptTable = 'L',
    SetRelayTimer = 'M',
    StopRelayTimer = 'N',
    SetIoTrigger = 'O',
    SetTemperatureTrigger = 'P',
    SetHttpServer = 'Q',
    DaughterBoard = 'R',
    SetSnmpAccess = 'S',
    TemperatureReset = 'T',
};

struct CommandPacket {
    std::array<uint8_t, wire::kCommandBufferSize> bytes{};
};

// Magic, letter, password field ('*'-padded; a longer password is cut to its
// first 10 characters so no field moves), '*' filler and the zero terminator.
// Parameters are written over the filler afterwards.
void BuildCommand(CommandPacket& packet, Command command, std::string_view password);

// "I": the name's first 20 bytes at 20..39 (zero-padded), zero from 40 on.
void BuildStationNameCommand(CommandPacket& packet, std::string_view password,
                             std::string_view name);

// "J": slot byte at 20, the script record (at most 32 bytes) from 21; bytes a
// shorter record leaves out keep the '*' filler.
void BuildUploadScriptCommand(CommandPacket& packet, std::string_view password, uint8_t slotByte,
                              std::string_view record);

void ClearCommand(CommandPacket& packet);

}  // namespace varnex
