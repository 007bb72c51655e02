#include "varnexctl/status_report.h"

#include <cmath>
#include <cstdio>

#include "protocol/address_bytes.h"
#include "protocol/script_record.h"
#include "text/conversions.h"
#include "varnexctl/formatted_text.h"

namespace varnex::ctl {
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
    return {{"only_listed", r.allowedClients[0] != 0}, {"addresses", addresses}};
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
                          {"relays_no", relays},
                          {"output_on", (states & wire::kBoardOutputMask) == 0}});
    }
    return {{"boards", boards}, {"toggle_seconds", r.boards[kBoardToggleIndex]}};
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
        {"schema_version", kSchemaVersion},
        {"station_name", readings.stationName},
        {"mac_address", readings.macAddress},
        {"firmware", readings.firmwareText},
        {"uptime_seconds", readings.uptimeSeconds},
        {"temperature_celsius", temperature},
        {"temperature_raw",
         {{"whole_degrees", record.temperature}, {"flags", record.temperatureFlags}}},
        {"voltmeters", voltmeters},
        {"relays", relays},
        {"pins", pins},
        {"timer",
         {{"running", readings.timerRunning},
          {"remaining_seconds", readings.timerRemainingSeconds},
          {"slot", SlotNumber(record.timerSlot)}}},
        {"io_triggers", ioTriggers},
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

std::string UptimeText(uint32_t seconds) {
    return Formatted("%u d %02u:%02u:%02u", seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60,
                     seconds % 60);
}

std::string StatusText(const StatusRecord& record, const VoltmeterJumpers& jumpers) {
    const Readings r = DecodeReadings(record, jumpers);
    std::string text;
    const auto row = [&text](const std::string& label, const std::string& value) {
        text += Formatted("%-22s", label.c_str()) + value + "\n";
    };
    row("Station name", r.stationName);
    row("MAC address", r.macAddress);
    row("Firmware", r.firmwareText);
    row("Uptime", UptimeText(r.uptimeSeconds) + Formatted(" (%u s)", r.uptimeSeconds));
    row("Temperature", r.temperature
                           ? Formatted("%.1f C", static_cast<double>(r.temperature->Celsius()))
                           : "unreadable");
    for (std::size_t n = 0; n < r.voltmeters.size(); ++n) {
        const VoltmeterReading& v = r.voltmeters[n];
        row(Formatted("Voltmeter %zu", n + 1),
            Formatted("%7.3f V  (raw %4u, 0-%d V)", static_cast<double>(v.volts), v.raw,
                      v.fullScaleVolts));
    }
    for (std::size_t n = 0; n < r.relays.size(); ++n) {
        row(Formatted("Relay %zu", n + 1),
            r.relays[n].unitSaysOn ? "ON  (coil at rest)" : "OFF (coil energised)");
    }
    std::string pins;
    for (bool high : r.pinsHigh) {
        pins += high ? "1 " : "0 ";
    }
    row("I/O pins 1-5", pins);
    row("Relay timer", r.timerRunning ? Formatted("%u s left, slot ", r.timerRemainingSeconds) +
                                            JsonText(SlotNumber(record.timerSlot))
                                      : "stopped");
    const json allowed = AllowedClientsJson(record);
    std::string clients = "every client";
    if (allowed["only_listed"]) {
        clients = "only";
        for (const auto& a : allowed["addresses"]) {
            clients += " " + a.get<std::string>();
        }
    }
    row("Allowed clients", clients);
    row("HTTP server", HasHttp(record) ? (record.http == 0 ? "enabled" : "disabled") : "n/a");
    row("SNMP access", HasSnmp(record) ? (record.snmp == 0 ? "enabled" : "disabled") : "n/a");
    if (HasBoards(record)) {
        std::string boards;
        for (std::size_t b = 0; b < wire::kBoardCount; ++b) {
            if (record.boards[b] == wire::kBoardDetected) {
                boards += Formatted("%zu:0x%02X ", b + 1, record.boards[kBoardStatesIndex + b]);
            }
        }
        row("Daughter boards", boards.empty() ? "none" : boards);
    }
    return text;
}

}  // namespace varnex::ctl
