#include "varnexctl/status_report.h"

#include "varnexctl/formatted_text.h"

namespace varnex::ctl {
namespace {

using json = nlohmann::ordered_json;

// A switch the firmware may lack: null in the JSON object.
std::string SwitchText(const json& enabled) {
    return enabled.is_null() ? "n/a" : (enabled.get<bool>() ? "enabled" : "disabled");
}

}  // namespace

std::string StatusText(const StatusRecord& record, const VoltmeterJumpers& jumpers) {
    const Readings r = DecodeReadings(record, jumpers);
    const json status = StatusJson(record, jumpers);
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
                                            JsonText(status["timer"]["slot"])
                                      : "stopped");
    const json& allowed = status["allowed_clients"];
    std::string clients = "every client";
    if (allowed["only_listed"]) {
        clients = "only";
        for (const auto& a : allowed["addresses"]) {
            clients += " " + a.get<std::string>();
        }
    }
    row("Allowed clients", clients);
    row("HTTP server", SwitchText(status["http_enabled"]));
    row("SNMP access", SwitchText(status["snmp_enabled"]));
    if (const json& daughter = status["daughter_boards"]; !daughter.is_null()) {
        std::string boards;
        for (const json& b : daughter["boards"]) {
            if (b["detected"].get<bool>()) {
                boards +=
                    Formatted("%d:0x%02X ", b["board"].get<int>(), b["states_raw"].get<unsigned>());
            }
        }
        row("Daughter boards", boards.empty() ? "none" : boards);
    }
    return text;
}

}  // namespace varnex::ctl
