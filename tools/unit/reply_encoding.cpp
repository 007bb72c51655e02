#include "unit/reply_encoding.h"

#include <algorithm>
#include <cstdlib>

#include "unit/unit_behaviour.h"

namespace varnex::unit {
namespace {

constexpr std::size_t kHeaderSize = wire::kReplyTypeOffset + 1;

Bytes Header(std::size_t size, uint8_t type) {
    Bytes reply(size, 0);
    reply[wire::kReplyTypeOffset] = type;
    return reply;
}

template <typename Range>
void Put(Bytes& reply, std::size_t offset, const Range& bytes) {
    std::copy(std::begin(bytes), std::end(bytes), reply.begin() + static_cast<long>(offset));
}

void PutTemperature(Bytes& reply, const UnitState& state) {
    const int halves = state.temperatureHalves;
    if (FirmwareNumber(state) < wire::kFirmwareHttpAndSignedTemperature) {
        // Older firmware knows whole, non-negative degrees only.
        reply[wire::kTemperatureOffset] = static_cast<uint8_t>(std::clamp(halves / 2, 0, 255));
        return;
    }
    const int magnitude = std::min(std::abs(halves), 2 * 255 + 1);
    uint8_t flags = 0;
    if (halves < 0) {
        flags |= wire::kTemperatureNegative;
    }
    if (magnitude % 2 != 0) {
        flags |= wire::kTemperatureHalf;
    }
    reply[wire::kTemperatureOffset] = static_cast<uint8_t>(magnitude / 2);
    reply[wire::kTemperatureFlagsOffset] = flags;
}

void PutTimer(Bytes& reply, const UnitState& state, UnitTime now) {
    const RelayTimer& timer = state.timer;
    const uint32_t seconds = timer.running ? SecondsLeft(timer.firesAt, now) : 0;
    reply[wire::kTimerSecondsOffset] = static_cast<uint8_t>(seconds >> 16);
    reply[wire::kTimerSecondsOffset + 1] = static_cast<uint8_t>(seconds >> 8);
    reply[wire::kTimerSecondsOffset + 2] = static_cast<uint8_t>(seconds);
    reply[wire::kTimerRunningOffset] = timer.running ? 1 : 0;
    reply[wire::kTimerSlotOffset] = timer.slotByte;
}

void PutBoards(Bytes& reply, const UnitState& state, UnitTime now) {
    for (std::size_t board = 0; board < wire::kBoardCount; ++board) {
        const bool present = state.boardPresent[board];
        reply[wire::kBoardPresentOffset + board] = present ? wire::kBoardDetected : 0;
        reply[wire::kBoardStatesOffset + board] = present ? state.boardStates[board] : 0;
    }
    if (state.toggle && state.toggle->onBoard) {
        reply[wire::kBoardToggleSecondsOffset] =
            static_cast<uint8_t>(SecondsLeft(state.toggle->endsAt, now));
    }
}

}  // namespace

Bytes EncodeStatusRecord(const UnitState& state, UnitTime now) {
    Bytes reply = Header(wire::kStatusRecordSize, kStatusReplyType);
    Put(reply, wire::kMacOffset, state.mac);
    for (std::size_t i = 0; i < wire::kVoltmeterCount; ++i) {
        const uint16_t raw = state.voltmeters[i].raw;
        reply[wire::kVoltmeterOffset + 2 * i] = static_cast<uint8_t>(raw >> 4);
        reply[wire::kVoltmeterOffset + 2 * i + 1] = static_cast<uint8_t>(raw & 0x0F);
    }
    for (std::size_t i = 0; i < wire::kRelayCount; ++i) {
        reply[wire::kRelayOffset + i] = state.relayOn[i] ? 0 : 1;
    }
    for (std::size_t i = 0; i + 1 < wire::kPinCount; ++i) {
        reply[wire::kPins1To4Offset + i] = state.pins[i] ? 1 : 0;
    }
    reply[wire::kPin5Offset] = state.pins[wire::kPinCount - 1] ? 1 : 0;
    reply[wire::kAllowedClientsOffset] = state.allowMode;
    for (std::size_t i = 0; i < wire::kAllowedClientAddressCount; ++i) {
        Put(reply, wire::kAllowedClientsOffset + 1 + 4 * i, state.allowed[i]);
    }
    Put(reply, wire::kFirmwareOffset, state.firmware);
    PutTemperature(reply, state);
    const auto uptime = static_cast<uint32_t>((now - state.startedAt).count() / 1000);
    for (std::size_t i = 0; i < 4; ++i) {
        reply[wire::kUptimeOffset + i] = static_cast<uint8_t>(uptime >> (8 * i));
    }
    Put(reply, wire::kStationNameOffset, state.name);
    PutTimer(reply, state, now);
    Put(reply, wire::kIoTriggerOffset, state.ioTriggers);
    Put(reply, wire::kTemperatureTriggerOffset, state.temperatureTrigger);
    const unsigned firmware = FirmwareNumber(state);
    if (firmware >= wire::kFirmwareHttpAndSignedTemperature) {
        reply[wire::kHttpOffset] = state.http;
    }
    if (firmware >= wire::kFirmwareDaughterBoards) {
        PutBoards(reply, state, now);
    }
    if (firmware >= wire::kFirmwareSnmp) {
        reply[wire::kSnmpOffset] = state.snmp;
    }
    return reply;
}

Bytes EncodeScriptTable(const UnitState& state) {
    Bytes reply = Header(wire::kScriptTableSize, wire::kScriptTableType);
    for (std::size_t k = 0; k < wire::kScriptSlotCount; ++k) {
        Put(reply, wire::kScriptCodesOffset + wire::kScriptSlotStride * k, state.scriptSlots[k].codes);
        Put(reply, wire::kScriptNameOffset + wire::kScriptSlotStride * k, state.scriptSlots[k].name);
    }
    return reply;
}

Bytes EncodeReturnCode(uint8_t code) {
    return Header(kHeaderSize, code);
}

Bytes EncodeRefusal() {
    Bytes reply = Header(kHeaderSize, kStatusReplyType);
    reply[wire::kPasswordStatusOffset] = kPasswordRefused;
    return reply;
}

}  // namespace varnex::unit
