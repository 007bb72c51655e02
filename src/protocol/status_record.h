// The status reply: its fields as read from the reply buffer, and the
// client's copy of the fields that dialogs read between replies.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "protocol/reply_buffer.h"
#include "protocol/wire_format.h"

namespace varnex {

struct StatusRecord {
    std::array<uint8_t, wire::kMacSize> mac{};
    std::array<uint16_t, wire::kVoltmeterCount> rawVoltages{};  // 0..4095
    std::array<uint8_t, wire::kRelayCount> relays{};            // 0 = on
    std::array<uint8_t, wire::kPinCount> pins{};                // pins 1..5
    std::array<uint8_t, wire::kAllowedClientsSize> allowedClients{};
    std::array<uint8_t, 3> firmwareDigits{};
    uint8_t temperature = 0;       // whole degrees, magnitude
    uint8_t temperatureFlags = 0;  // sign and half degree
    uint32_t uptime = 0;
    std::string stationName;  // trailing characters below 0x21 removed
    uint32_t timerSeconds = 0;
    bool timerRunning = false;
    uint8_t timerSlot = 0;
    std::array<uint8_t, wire::kIoTriggerSize> ioTrigger{};
    std::array<uint8_t, wire::kTemperatureTriggerSize> temperatureTrigger{};
    uint8_t http = 0;
    std::array<uint8_t, wire::kBoardValuesSize> boards{};
    uint8_t snmp = 0;
};

StatusRecord DecodeStatusRecord(const ReplyBuffer& reply);

// 100 x d1 + 10 x d2 + d3, digits taken at their full value.
unsigned FirmwareVersion(const StatusRecord& record);
// "d1.d2.d3", each digit as the character '0' + its value.
std::string FirmwareVersionText(const StatusRecord& record);

struct StatusSnapshot {
    std::array<std::string, wire::kMacSize> macTexts{};  // "%02X" each
    std::array<uint8_t, wire::kRelayCount> relayOn{};    // 1 = on
    std::array<uint8_t, wire::kAllowedClientsSize> allowedClients{};
    unsigned firmwareVersion = 0;
    uint32_t uptime = 0;
    std::string stationName;
    std::array<uint8_t, wire::kIoTriggerSize> ioTrigger{};
    std::array<uint8_t, wire::kTemperatureTriggerSize> temperatureTrigger{};
    uint8_t http = 0;  // 0 = enabled; 0 as well before firmware 168
    std::array<uint8_t, wire::kBoardValuesSize> boards{};  // kept before firmware 170
    uint8_t snmp = 0;  // 0 = enabled; 0 as well before firmware 171
    bool temperatureResetAvailable = false;
};

void UpdateSnapshot(StatusSnapshot& snapshot, const StatusRecord& record);

// Whether a reply sorted as a status record can be one: long enough for
// every field, with decimal firmware digits. Everything that is not a script
// table or a return code is shown as a status record; only such a record
// proves that the unit is there.
bool IsValidStatusRecord(const StatusRecord& record, std::size_t replySize);

std::string MacByteText(uint8_t value);

}  // namespace varnex
