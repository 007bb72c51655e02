#include "unit/unit_console.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "unit/unit_behaviour.h"
#include "unit/unit_options.h"
#include "unit/voltage_drift.h"

namespace varnex::unit {
namespace {

// What the sensor can report.
constexpr double kLowestTemperature = -55.0;
constexpr double kHighestTemperature = 125.0;

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

std::optional<double> ParseNumber(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// 1-based index word within 1..count.
std::optional<std::size_t> ParseIndex(const std::string& text, std::size_t count) {
    const auto number = ParseWhole(text, count);
    if (!number || *number == 0) {
        return std::nullopt;
    }
    return *number - 1;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Pin(UnitServer& server, const std::vector<std::string>& w) {
    const auto pin = w.size() == 3 ? ParseIndex(w[1], wire::kPinCount) : std::nullopt;
    if (!pin || (w[2] != "0" && w[2] != "1")) {
        return "usage: pin N 0|1  (N 1-5)\n";
    }
    UnitEvents events;
    SetPin(server.State(), *pin, w[2] == "1", server.Now(), events);
    server.LogEvents(events);
    return "pin " + w[1] + " is " + w[2] + "\n";
}

std::string Temperature(UnitServer& server, const std::vector<std::string>& w) {
    const auto celsius = w.size() == 2 ? ParseNumber(w[1]) : std::nullopt;
    if (!celsius || *celsius < kLowestTemperature || *celsius > kHighestTemperature) {
        return "usage: temp C  (-55 to 125, in steps of 0.5)\n";
    }
    const int halves = static_cast<int>(std::lround(*celsius * 2));
    UnitEvents events;
    SetTemperature(server.State(), halves, server.Now(), events);
    server.LogEvents(events);
    return "temperature is " + Fixed(halves / 2.0, 1) + " C\n";
}

std::string Volts(UnitServer& server, const std::vector<std::string>& w) {
    const auto meter = w.size() == 3 ? ParseIndex(w[1], wire::kVoltmeterCount) : std::nullopt;
    const auto volts = w.size() == 3 ? ParseNumber(w[2]) : std::nullopt;
    if (!meter || (!volts && w[2] != "drift")) {
        return "usage: volts N V | volts N drift  (N 1-8)\n";
    }
    Voltmeter& voltmeter = server.State().voltmeters[*meter];
    voltmeter.held = volts.has_value();
    if (volts) {
        voltmeter.raw = VoltsToRaw(*meter, *volts);
    }
    return "voltmeter " + w[1] +
           (volts ? " held at " + Fixed(RawToVolts(*meter, voltmeter.raw), 3) + " V\n"
                  : " drifts\n");
}

std::string Board(UnitServer& server, const std::vector<std::string>& w) {
    const auto board = w.size() == 3 ? ParseIndex(w[1], wire::kBoardCount) : std::nullopt;
    if (!board || (w[2] != "on" && w[2] != "off")) {
        return "usage: board N on|off  (N 1-6)\n";
    }
    server.State().boardPresent[*board] = w[2] == "on";
    server.State().boardStates[*board] = kBoardRestingState;
    return "board " + w[1] + (w[2] == "on" ? " plugged in\n" : " removed\n");
}

std::string Policy(UnitServer& server, const std::vector<std::string>& w) {
    const auto value = w.size() == 2 ? ParseWhole(w[1], 60000) : std::nullopt;
    if (!value) {
        return "usage: " + w[0] + " N\n";
    }
    if (w[0] == "drop") {
        server.SetDropEvery(static_cast<unsigned>(*value));
        return *value == 0 ? "every reply is sent\n" : "1 reply in " + w[1] + " is dropped\n";
    }
    server.SetReplyDelay(std::chrono::milliseconds(*value));
    return "replies are delayed " + w[1] + " ms\n";
}

std::string Hex(uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

}  // namespace

std::string ConsoleHelp() {
    return R"(Console (one command a line on standard input; end of input stops the unit):
  pin N 0|1        set I/O pin N (1-5); runs its I/O trigger script
  temp C           set the temperature, e.g. temp -20.5 (steps of 0.5);
                   crossing a threshold runs the temperature trigger script
  volts N V        hold voltmeter N (1-8) at V volts (1-5: 0-30, 6-8: 0-5)
  volts N drift    let voltmeter N drift again
  board N on|off   plug daughter board N (1-6) in or take it out
  drop N           leave every Nth reply unsent (0: send all)
  delay MS         delay every reply by MS milliseconds (0: none)
  allow all        accept every client again (undoes an "H" list)
  state            print the unit's state
  help             this list
  quit             stop the unit
With --units, "@ADDRESS command" speaks to the unit on ADDRESS (e.g.
@127.1.0.3 volts 2 12.5); a command without it goes to the first unit.
With standard input at /dev/null the console is off and the unit runs
until it is stopped by a signal.
)";
}

std::string DescribeState(const UnitServer& server) {
    const UnitState& s = server.State();
    const UnitTime now = server.Now();
    std::string text = "name \"" + std::string(s.name.begin(), s.name.end()) + "\"  mac ";
    for (std::size_t i = 0; i < s.mac.size(); ++i) {
        text += (i == 0 ? "" : ":") + Hex(s.mac[i]);
    }
    text += "  firmware " + std::to_string(s.firmware[0]) + "." + std::to_string(s.firmware[1]) +
            "." + std::to_string(s.firmware[2]) + "  uptime " +
            std::to_string((now - s.startedAt).count() / 1000) + " s\n";
    text += "relays";
    for (std::size_t i = 0; i < wire::kRelayCount; ++i) {
        text += " " + std::to_string(i + 1) + (s.relayOn[i] ? ":on" : ":off");
    }
    text += "  pins";
    for (bool pin : s.pins) {
        text += pin ? " 1" : " 0";
    }
    text += "  temperature " + Fixed(s.temperatureHalves / 2.0, 1) + " C\n";
    text += "volts";
    for (std::size_t i = 0; i < wire::kVoltmeterCount; ++i) {
        text +=
            " " + Fixed(RawToVolts(i, s.voltmeters[i].raw), 2) + (s.voltmeters[i].held ? "*" : "");
    }
    text += "\ntimer ";
    if (s.timer.running) {
        text += std::to_string(SecondsLeft(s.timer.firesAt, now)) + " s left, slot " +
                std::to_string(s.timer.slotByte / wire::kScriptSlotStride + 1) +
                (s.timer.continuous ? ", continuous" : ", one shot");
    } else {
        text += "stopped";
    }
    text += s.script ? "  script in slot " + std::to_string(s.script->slot + 1) + " runs" : "";
    text += "\nboards";
    for (std::size_t i = 0; i < wire::kBoardCount; ++i) {
        text += s.boardPresent[i] ? " " + std::to_string(i + 1) + ":" + Hex(s.boardStates[i]) : "";
    }
    text += std::string(s.allowMode == 0 ? "  every client allowed" : "  listed clients only") +
            "  drop every " + std::to_string(server.DropEvery()) + "  delay " +
            std::to_string(server.ReplyDelay().count()) + " ms\n";
    return text;
}

ConsoleReply RunConsoleLine(UnitServer& server, const std::string& line) {
    const std::vector<std::string> w = Words(line);
    if (w.empty()) {
        return {};
    }
    const std::string& command = w[0];
    if (command == "quit") {
        return {"", true};
    }
    if (command == "help") {
        return {ConsoleHelp()};
    }
    if (command == "state") {
        return {DescribeState(server)};
    }
    if (command == "pin") {
        return {Pin(server, w)};
    }
    if (command == "temp") {
        return {Temperature(server, w)};
    }
    if (command == "volts") {
        return {Volts(server, w)};
    }
    if (command == "board") {
        return {Board(server, w)};
    }
    if (command == "drop" || command == "delay") {
        return {Policy(server, w)};
    }
    if (command == "allow" && w.size() == 2 && w[1] == "all") {
        server.State().allowMode = 0;
        return {"every client is allowed\n"};
    }
    return {"unknown command: " + line + " (try help)\n"};
}

ConsoleReply RunFleetConsoleLine(UnitFleet& fleet, const std::string& line) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] != '@') {
        return RunConsoleLine(fleet.Unit(0), line);
    }
    const auto end = std::min(line.find_first_of(" \t", start), line.size());
    const std::string address = line.substr(start + 1, end - start - 1);
    UnitServer* unit = fleet.Find(address);
    if (unit == nullptr) {
        return {"no unit on " + address + "\n"};
    }
    return RunConsoleLine(*unit, line.substr(end));
}

}  // namespace varnex::unit
