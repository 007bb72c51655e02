#include "protocol/status_json.h"

#include <cmath>
#include <utility>

#include "protocol/address_bytes.h"
#include "protocol/script_record.h"
#include "text/conversions.h"

namespace varnex {
namespace {

using json = nlohmann::ordered_json;

constexpr std::size_t kBoardStatesIndex = wire::kBoardStatesOffset - wire::kBoardPresentOffset;
constexpr std::size_t kBoardToggleIndex =
    wire::kBoardToggleSecondsOffset - wire::kBoardPresentOffset;

// Slot bytes as people count slots: 1..8; null for a byte that names none.
json SlotNumber(uint8_t slotByte) {
    const int index = SlotIndex(slotByte);
    return index < 0 ? json(nullptr) : json(index + 1);
}

bool HasHttp(const StatusRecord& r) {
    return FirmwareVersion(r) >= wire::kFirmwareHttpAndSignedTemperature;
}
bool HasBoards(const StatusRecord& r) {
    return FirmwareVersion(r) >= wire::kFirmwareDaughterBoards;
}
bool HasSnmp(const StatusRecord& r) {
    return FirmwareVersion(r) >= wire::kFirmwareSnmp;
}

json AllowedClientsJson(const StatusRecord& r) {
    json addresses = json::array();
    for (std::size_t n = 0; n < wire::kAllowedClientAddressCount; ++n) {
        const uint32_t address = ReadAddressBytes(&r.allowedClients[1 + n * kAddressBytes]);
        if (address != 0) {
            addresses.push_back(FormatDottedAddress(address));
        }
    }
    return {{"only_listed", r.allowedClients[0] != 0}, {"addresses", std::move(addresses)}};
}

json BoardsJson(const StatusRecord& r) {
    if (!HasBoards(r)) {
        return nullptr;
    }
    json boards = json::array();
    for (std::size_t b = 0; b < wire::kBoardCount; ++b) {
        const bool detected = r.boards[b] == wire::kBoardDetected;
        const uint8_t states = r.boards[kBoardStatesIndex + b];
        // A set bit is an element at rest: relay NC, output off.
        json relays = json::array();
        for (int bit = 0; bit < 6; ++bit) {
            relays.push_back(((states >> bit) & 1) == 0);
        }
        boards.push_back({{"board", b + 1},
                          {"detected", detected},
                          {"states_raw", states},
                          {"relays_no", std::move(relays)},
                          {"output_on", (states & wire::kBoardOutputMask) == 0}});
    }
    return {{"boards", std::move(boards)}, {"toggle_seconds", r.boards[kBoardToggleIndex]}};
}

json SwitchJson(bool available, uint8_t value) {
    return available ? json(value == 0) : json(nullptr);
}

}  // namespace

std::string JsonText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

double RoundedVolts(long double volts) {
    return static_cast<double>(std::round(volts * 1000.0L) / 1000.0L);
}

// Arrays are moved into the object, not copied: the bridge builds one per
// state it publishes.
json StatusJson(const StatusRecord& record, const VoltmeterJumpers& jumpers) {
    const Readings readings = DecodeReadings(record, jumpers);
    json voltmeters = json::array();
    for (std::size_t n = 0; n < readings.voltmeters.size(); ++n) {
        const VoltmeterReading& v = readings.voltmeters[n];
        voltmeters.push_back({{"number", n + 1},
                              {"volts", RoundedVolts(v.volts)},
                              {"raw", v.raw},
                              {"full_scale_volts", v.fullScaleVolts}});
    }
    json relays = json::array();
    for (std::size_t n = 0; n < readings.relays.size(); ++n) {
        relays.push_back({{"number", n + 1},
                          {"unit_says_on", readings.relays[n].unitSaysOn},
                          {"energised", readings.relays[n].energised}});
    }
    json pins = json::array();
    for (std::size_t n = 0; n < readings.pinsHigh.size(); ++n) {
        pins.push_back({{"number", n + 1}, {"high", readings.pinsHigh[n]}});
    }
    json ioTriggers = json::array();
    for (std::size_t n = 0; n < wire::kPinCount; ++n) {
        const uint8_t* s = &record.ioTrigger[n * wire::kIoSettingSize];
        ioTriggers.push_back({{"pin", n + 1},
                              {"enabled", s[wire::kIoEnabled] != 0},
                              {"slot_for_0", SlotNumber(s[wire::kIoSlotForZero])},
                              {"slot_for_1", SlotNumber(s[wire::kIoSlotForOne])}});
    }
    const auto& t = record.temperatureTrigger;
    json temperature = nullptr;
    if (readings.temperature) {
        temperature = static_cast<double>(readings.temperature->Celsius());
    }
    return {
        {"schema_version", kStatusSchemaVersion},
        {"station_name", readings.stationName},
        {"mac_address", readings.macAddress},
        {"firmware", readings.firmwareText},
        {"uptime_seconds", readings.uptimeSeconds},
        {"temperature_celsius", std::move(temperature)},
        {"temperature_raw",
         {{"whole_degrees", record.temperature}, {"flags", record.temperatureFlags}}},
        {"voltmeters", std::move(voltmeters)},
        {"relays", std::move(relays)},
        {"pins", std::move(pins)},
        {"timer",
         {{"running", readings.timerRunning},
          {"remaining_seconds", readings.timerRemainingSeconds},
          {"slot", SlotNumber(record.timerSlot)}}},
        {"io_triggers", std::move(ioTriggers)},
        {"temperature_trigger",
         {{"enabled", t[wire::kTemperatureEnabled] != 0},
          {"upper_slot", SlotNumber(t[wire::kTemperatureUpperSlot])},
          {"lower_slot", SlotNumber(t[wire::kTemperatureLowerSlot])},
          {"upper_celsius", t[wire::kTemperatureUpperThreshold]},
          {"lower_celsius", t[wire::kTemperatureLowerThreshold]}}},
        {"allowed_clients", AllowedClientsJson(record)},
        {"http_enabled", SwitchJson(HasHttp(record), record.http)},
        {"snmp_enabled", SwitchJson(HasSnmp(record), record.snmp)},
        {"daughter_boards", BoardsJson(record)},
    };
}

}  // namespace varnex
