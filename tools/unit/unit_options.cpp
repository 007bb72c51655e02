#include "unit/unit_options.h"

#include <charconv>
#include <functional>
#include <map>

#include "text/conversions.h"
#include "unit/unit_console.h"

namespace varnex::unit {
namespace {

constexpr unsigned kMaxDelayMs = 60000;
// A /16 of loopback addresses.
constexpr unsigned kMaxUnits = 65536;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool Printable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

std::optional<std::array<uint8_t, 3>> ParseFirmware(const std::string& text) {
    const auto parts = Split(text, '.');
    if (parts.size() != 3) {
        return std::nullopt;
    }
    std::array<uint8_t, 3> digits{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto digit = ParseWhole(parts[i], 9);
        if (!digit || parts[i].size() != 1) {
            return std::nullopt;
        }
        digits[i] = static_cast<uint8_t>(*digit);
    }
    return digits;
}

std::optional<std::array<uint8_t, wire::kMacSize>> ParseMac(const std::string& text) {
    const auto parts = Split(text, ':');
    if (parts.size() != wire::kMacSize) {
        return std::nullopt;
    }
    std::array<uint8_t, wire::kMacSize> mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        const std::string& part = parts[i];
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(part.data(), part.data() + part.size(), value, 16);
        if (part.size() != 2 || error != std::errc() || end != part.data() + part.size()) {
            return std::nullopt;
        }
        mac[i] = static_cast<uint8_t>(value);
    }
    return mac;
}

std::optional<std::array<bool, wire::kBoardCount>> ParseBoards(const std::string& text) {
    std::array<bool, wire::kBoardCount> boards{};
    if (text == "none") {
        return boards;
    }
    for (const std::string& part : Split(text, ',')) {
        const auto board = ParseWhole(part, wire::kBoardCount);
        if (!board || *board == 0) {
            return std::nullopt;
        }
        boards[*board - 1] = true;
    }
    return boards;
}

// Each option that takes a value: how to store it; false when it is bad.
using Setter = std::function<bool(UnitOptions&, const std::string&)>;

const std::map<std::string, Setter>& ValueOptions() {
    static const std::map<std::string, Setter> options = {
        {"--address",
         [](UnitOptions& o, const std::string& v) {
             const auto address = ParseDottedAddress(v);
             o.address = v;
             o.setup.address = AddressBytes(address.value_or(0));
             return address.has_value();
         }},
        {"--port",
         [](UnitOptions& o, const std::string& v) {
             const auto port = ParseWhole(v, 65535);
             o.port = static_cast<uint16_t>(port.value_or(0));
             return port.has_value();
         }},
        {"--password",
         [](UnitOptions& o, const std::string& v) {
             o.setup.password = v;
             return !v.empty() && v.size() <= wire::kPasswordSize && Printable(v) &&
                    v.find(' ') == std::string::npos;
         }},
        {"--firmware",
         [](UnitOptions& o, const std::string& v) {
             const auto firmware = ParseFirmware(v);
             o.setup.firmware = firmware.value_or(std::array<uint8_t, 3>{});
             return firmware.has_value();
         }},
        {"--name",
         [](UnitOptions& o, const std::string& v) {
             o.setup.name = v;
             return v.size() <= wire::kStationNameSize && Printable(v);
         }},
        {"--mac",
         [](UnitOptions& o, const std::string& v) {
             const auto mac = ParseMac(v);
             o.setup.mac = mac.value_or(o.setup.mac);
             return mac.has_value();
         }},
        {"--boards",
         [](UnitOptions& o, const std::string& v) {
             const auto boards = ParseBoards(v);
             o.setup.boards = boards.value_or(o.setup.boards);
             return boards.has_value();
         }},
        {"--drop-every",
         [](UnitOptions& o, const std::string& v) {
             const auto every = ParseWhole(v, 1000000);
             o.dropEvery = static_cast<unsigned>(every.value_or(0));
             return every.has_value();
         }},
        {"--delay-ms",
         [](UnitOptions& o, const std::string& v) {
             const auto delay = ParseWhole(v, kMaxDelayMs);
             o.delayMs = static_cast<unsigned>(delay.value_or(0));
             return delay.has_value();
         }},
        {"--units",
         [](UnitOptions& o, const std::string& v) {
             const auto units = ParseWhole(v, kMaxUnits);
             o.units = static_cast<std::size_t>(units.value_or(0));
             return units.has_value() && *units > 0;
         }},
        {"--seed",
         [](UnitOptions& o, const std::string& v) {
             const auto seed = ParseWhole(v, UINT64_MAX);
             o.setup.seed = seed.value_or(0);
             return seed.has_value();
         }},
    };
    return options;
}

}  // namespace

std::optional<uint64_t> ParseWhole(const std::string& text, uint64_t max) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

ParsedOptions ParseUnitOptions(const std::vector<std::string>& arguments) {
    UnitOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if ((name == "--help" || name == "-h") && !value) {
            options.help = true;
            continue;
        }
        if (name == "--quiet" && !value) {
            options.quiet = true;
            continue;
        }
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            return {std::nullopt, "unknown option " + name};
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                return {std::nullopt, name + " needs a value"};
            }
            value = arguments[++i];
        }
        if (!option->second(options, *value)) {
            return {std::nullopt, "bad value for " + name + ": " + *value};
        }
    }
    return {options, ""};
}

std::string UsageText() {
    return R"(Usage: varnex-unit [options]

A monitoring-and-control unit in software. It answers the client's UDP
datagrams like a real unit: status record, script table, return codes,
password, relay timer, scripts, triggers and daughter boards.

Options:
  --address A        IPv4 address to bind (default 127.0.0.1)
  --port P           UDP port (default 7; 0 lets the system choose)
  --password PW      the unit's password, 1 to 10 characters (default tamble)
  --firmware D.D.D   firmware version to report (default 1.7.4); it decides
                     which fields exist: 1.6.8 HTTP switch and signed half
                     degrees, 1.7.0 daughter boards, 1.7.1 SNMP switch
  --name TEXT        station name, up to 20 characters (default Varnex Unit)
  --mac MAC          MAC address XX:XX:XX:XX:XX:XX (default 02:56:4E:58:00:01)
  --boards LIST      daughter boards plugged in, e.g. 1,3 (default none)
  --drop-every N     leave every Nth reply unsent (default 0: send all)
  --delay-ms N       delay every reply by N milliseconds, up to 60000
  --seed N           seed of the voltmeters' drift (default 1)
  --units N          serve N units (up to 65536) on consecutive addresses
                     from --address on, all on --port with --password;
                     unit k gets seed+k-1, the MAC's last two bytes
                     counted up by k-1 and the name "NAME k"
  --quiet            no log line per datagram
  --help             this text

It prints the address and port it listens on (the first and last unit's
for a fleet), then one line per datagram
(seconds since start, sender, command letter, what it did). A bad option or
an address it cannot bind ends it with exit status 2.

)" + ConsoleHelp();
}

}  // namespace varnex::unit
