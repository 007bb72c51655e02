#include "protocol/status_record.h"

#include <algorithm>

namespace varnex {
namespace {

template <std::size_t N>
std::array<uint8_t, N> Bytes(const ReplyBuffer& reply, std::size_t offset) {
    std::array<uint8_t, N> out{};
    std::copy_n(reply.begin() + static_cast<std::ptrdiff_t>(offset), N, out.begin());
    return out;
}

std::string StationNameText(const ReplyBuffer& reply) {
    const auto* first = reply.data() + wire::kStationNameOffset;
    const auto* end = std::find(first, first + wire::kStationNameSize, uint8_t{0});
    while (end != first && *(end - 1) < 0x21) {
        --end;
    }
    return std::string(first, end);
}

}  // namespace

StatusRecord DecodeStatusRecord(const ReplyBuffer& reply) {
    StatusRecord r;
    r.mac = Bytes<wire::kMacSize>(reply, wire::kMacOffset);
    for (std::size_t n = 0; n < wire::kVoltmeterCount; ++n) {
        const std::size_t at = wire::kVoltmeterOffset + 2 * n;
        r.rawVoltages[n] = static_cast<uint16_t>(reply[at] * 16 + (reply[at + 1] & 0x0F));
    }
    r.relays = Bytes<wire::kRelayCount>(reply, wire::kRelayOffset);
    for (std::size_t p = 0; p < 4; ++p) {
        r.pins[p] = reply[wire::kPins1To4Offset + p];
    }
    r.pins[4] = reply[wire::kPin5Offset];
    r.allowedClients = Bytes<wire::kAllowedClientsSize>(reply, wire::kAllowedClientsOffset);
    r.firmwareDigits = Bytes<3>(reply, wire::kFirmwareOffset);
    r.temperature = reply[wire::kTemperatureOffset];
    r.temperatureFlags = reply[wire::kTemperatureFlagsOffset];
    const auto up = Bytes<4>(reply, wire::kUptimeOffset);
    r.uptime =
        uint32_t{up[0]} | uint32_t{up[1]} << 8 | uint32_t{up[2]} << 16 | uint32_t{up[3]} << 24;
    r.stationName = StationNameText(reply);
    const auto t = Bytes<3>(reply, wire::kTimerSecondsOffset);
    r.timerSeconds = uint32_t{t[0]} << 16 | uint32_t{t[1]} << 8 | uint32_t{t[2]};
    r.timerRunning = reply[wire::kTimerRunningOffset] != 0;
    r.timerSlot = reply[wire::kTimerSlotOffset];
    r.ioTrigger = Bytes<wire::kIoTriggerSize>(reply, wire::kIoTriggerOffset);
    r.temperatureTrigger =
        Bytes<wire::kTemperatureTriggerSize>(reply, wire::kTemperatureTriggerOffset);
    r.http = reply[wire::kHttpOffset];
    r.boards = Bytes<wire::kBoardValuesSize>(reply, wire::kBoardPresentOffset);
    r.snmp = reply[wire::kSnmpOffset];
    return r;
}

unsigned FirmwareVersion(const StatusRecord& record) {
    const auto& d = record.firmwareDigits;
    return 100u * d[0] + 10u * d[1] + d[2];
}

std::string FirmwareVersionText(const StatusRecord& record) {
    const auto& d = record.firmwareDigits;
    const auto digit = [](uint8_t v) { return static_cast<char>('0' + v); };
    return {digit(d[0]), '.', digit(d[1]), '.', digit(d[2])};
}

bool IsValidStatusRecord(const StatusRecord& record, std::size_t replySize) {
    return replySize >= wire::kStatusRecordSize &&
           std::all_of(record.firmwareDigits.begin(), record.firmwareDigits.end(),
                       [](uint8_t digit) { return digit <= 9; });
}

std::string MacByteText(uint8_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[value >> 4], kHex[value & 0x0F]};
}

void UpdateSnapshot(StatusSnapshot& snapshot, const StatusRecord& record) {
    for (std::size_t i = 0; i < wire::kMacSize; ++i) {
        snapshot.macTexts[i] = MacByteText(record.mac[i]);
    }
    for (std::size_t i = 0; i < wire::kRelayCount; ++i) {
        snapshot.relayOn[i] = record.relays[i] == 0 ? 1 : 0;
    }
    snapshot.allowedClients = record.allowedClients;
    const unsigned version = FirmwareVersion(record);
    snapshot.firmwareVersion = version;
    snapshot.uptime = record.uptime;
    snapshot.stationName = record.stationName;
    snapshot.ioTrigger = record.ioTrigger;
    snapshot.temperatureTrigger = record.temperatureTrigger;
    snapshot.http = version >= wire::kFirmwareHttpAndSignedTemperature ? record.http : 0;
    if (version >= wire::kFirmwareDaughterBoards) {
        snapshot.boards = record.boards;
    }
    snapshot.snmp = version >= wire::kFirmwareSnmp ? record.snmp : 0;
    snapshot.temperatureResetAvailable = version >= wire::kFirmwareTemperatureReset;
}

}  // namespace varnex
