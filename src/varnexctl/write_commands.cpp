#include "varnexctl/write_commands.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "protocol/address_bytes.h"
#include "protocol/reply_kind.h"
#include "protocol/unit_frames.h"
#include "text/conversions.h"
#include "varnexctl/argument_checks.h"

namespace varnex::ctl {
namespace {

constexpr uint8_t kExecutedCode = 3;
constexpr uint8_t kTimerDataCode = 5;
constexpr uint8_t kIoDataCode = 6;
constexpr uint8_t kTemperatureDataCode = 7;
constexpr uint8_t kHttpChangedCode = 8;
constexpr uint8_t kSnmpChangedCode = 12;
constexpr uint8_t kAllowedChangedCode = 20;
constexpr std::size_t kBoardStatesIndex = wire::kBoardStatesOffset - wire::kBoardPresentOffset;

// Unpacks a checked value or hands its failure on.
#define VARNEX_CHECKED(name, expression)                         \
    auto name##_checked = (expression);                          \
    if (auto* failure = std::get_if<Failure>(&name##_checked)) { \
        return *failure;                                         \
    }                                                            \
    const auto name = std::get<0>(name##_checked)

std::variant<long, Failure> Slot(const std::string& text, const std::string& name) {
    return CheckWhole(text, name, 1, wire::kScriptSlotCount);
}

uint8_t SlotByteOf(long slot) {
    return SlotByte(static_cast<std::size_t>(slot - 1));
}

std::optional<Failure> Required(const std::optional<std::string>& value, const std::string& name) {
    if (!value) {
        return UsageError(name + " is required");
    }
    return std::nullopt;
}

}  // namespace

Plan RelayPlan(const std::string& relayText, const std::string& action,
               const std::optional<std::string>& secondsText) {
    VARNEX_CHECKED(relay, CheckWhole(relayText, "RELAY", 1, wire::kRelayCount));
    WritePlan plan;
    const auto index = static_cast<std::size_t>(relay - 1);
    if (action == "toggle") {
        if (auto missing = Required(secondsText, "--seconds")) {
            return *missing;
        }
        VARNEX_CHECKED(seconds,
                       CheckWhole(*secondsText, "--seconds", kToggleSecondsMin, kToggleSecondsMax));
        plan.what = "relay " + relayText + " toggle for " + *secondsText + " s";
        plan.build = [relay, seconds](CommandPacket& p, std::string_view pw) {
            BuildRelayCommand(p, pw, int(relay), RelayAction::Toggle, int(seconds));
        };
        // The unit switches the relay on for the toggle's seconds.
        plan.statusShows = [index](const StatusRecord& r) { return r.relays[index] == 0; };
        return plan;
    }
    if (secondsText) {
        return UsageError("--seconds: only a toggle takes seconds");
    }
    VARNEX_CHECKED(on, CheckOnOff(action, "ACTION (on, off or toggle)"));
    plan.what = "relay " + relayText + (on ? " on" : " off");
    plan.build = [relay, on](CommandPacket& p, std::string_view pw) {
        BuildRelayCommand(p, pw, int(relay), on ? RelayAction::On : RelayAction::Off, 0);
    };
    plan.statusShows = [index, on](const StatusRecord& r) { return (r.relays[index] == 0) == on; };
    return plan;
}

Plan BoardPlan(const std::string& boardText, const std::string& elementText,
               const std::string& action, const std::optional<std::string>& secondsText) {
    VARNEX_CHECKED(board, CheckWhole(boardText, "BOARD", 1, wire::kBoardCount));
    long element = kBoardOutputElement;
    if (elementText != "output") {
        VARNEX_CHECKED(relay,
                       CheckWhole(elementText, "ELEMENT (1-6 or output)", 1, kBoardRelayCount));
        element = relay;
    }
    const uint8_t mask = ElementMask(int(element));
    const auto b = static_cast<std::size_t>(board - 1);
    WritePlan plan;
    plan.acknowledgement = kBoardSuccessCode;
    if (action == "toggle") {
        if (auto missing = Required(secondsText, "--seconds")) {
            return *missing;
        }
        VARNEX_CHECKED(seconds, CheckWhole(*secondsText, "--seconds", kBoardToggleMinSeconds,
                                           kBoardToggleMaxSeconds));
        plan.what = "board " + boardText + " " + elementText + " toggle for " + *secondsText + " s";
        plan.build = [board, element, seconds](CommandPacket& p, std::string_view pw) {
            BuildDaughterBoardCommand(p, pw, int(board), int(element), BoardAction::Toggle,
                                      int(seconds));
        };
        plan.acknowledgementConfirms = true;
        return plan;
    }
    if (secondsText) {
        return UsageError("--seconds: only a toggle takes seconds");
    }
    VARNEX_CHECKED(on, CheckOnOff(action, "ACTION (on, off or toggle)"));
    plan.what = "board " + boardText + " " + elementText + (on ? " on" : " off");
    plan.build = [board, element, on](CommandPacket& p, std::string_view pw) {
        BuildDaughterBoardCommand(p, pw, int(board), int(element),
                                  on ? BoardAction::Work : BoardAction::Rest, 0);
    };
    plan.statusShows = [b, mask, on](const StatusRecord& r) {
        // A set bit is an element at rest (relay NC, output off).
        return r.boards[b] == wire::kBoardDetected &&
               ((r.boards[kBoardStatesIndex + b] & mask) == 0) == on;
    };
    return plan;
}

Plan TimerSetPlan(const std::string& slotText, const std::string& secondsText, bool continuous) {
    VARNEX_CHECKED(slot, Slot(slotText, "--slot"));
    VARNEX_CHECKED(seconds, CheckWhole(secondsText, "--seconds", 1, wire::kTimerMaxDelay));
    WritePlan plan;
    plan.what = "timer set to run slot " + slotText + " after " + secondsText + " s" +
                (continuous ? ", again and again" : ", once");
    const uint8_t slotByte = SlotByteOf(slot);
    plan.build = [seconds, slotByte, continuous](CommandPacket& p, std::string_view pw) {
        BuildSetTimerCommand(p, pw, uint32_t(seconds), slotByte,
                             continuous ? TimerMode::Continuous : TimerMode::OneShot);
    };
    plan.acknowledgement = kTimerDataCode;
    plan.statusShows = [slotByte](const StatusRecord& r) {
        return r.timerRunning && r.timerSlot == slotByte;
    };
    return plan;
}

Plan TimerStopPlan() {
    WritePlan plan;
    plan.what = "timer stop";
    plan.build = [](CommandPacket& p, std::string_view pw) {
        BuildCommand(p, Command::StopRelayTimer, pw);
    };
    plan.acknowledgement = kTimerStoppedCode;
    plan.statusShows = [](const StatusRecord& r) { return !r.timerRunning; };
    return plan;
}

Plan ScriptUploadPlan(const std::string& slotText, const std::string& name,
                      const std::vector<std::string>& steps) {
    VARNEX_CHECKED(slot, Slot(slotText, "SLOT"));
    if (auto bad = CheckUnitText(name, "--name", kScriptNameSent, true)) {
        return *bad;
    }
    VARNEX_CHECKED(texts, CheckSteps(steps));
    const std::string record = EncodeScriptRecord(texts, name);
    const uint8_t slotByte = SlotByteOf(slot);
    WritePlan plan;
    plan.what = "script upload to slot " + slotText;
    plan.build = [slotByte, record](CommandPacket& p, std::string_view pw) {
        BuildUploadScriptCommand(p, pw, slotByte, record);
    };
    const std::string codes = record.substr(0, kScriptStepCount);
    plan.tableShows = [slot, codes, name](const ScriptTable& table) {
        const ScriptSlot& stored = table[static_cast<std::size_t>(slot - 1)];
        return stored.codes == codes && TrimRight(stored.name) == TrimRight(name);
    };
    return plan;
}

Plan ScriptRunPlan(const std::string& slotText) {
    VARNEX_CHECKED(slot, Slot(slotText, "SLOT"));
    const uint8_t slotByte = SlotByteOf(slot);
    WritePlan plan;
    plan.what = "script run of slot " + slotText;
    plan.build = [slotByte](CommandPacket& p, std::string_view pw) {
        BuildExecuteScriptCommand(p, pw, slotByte);
    };
    plan.acknowledgement = kExecutedCode;
    plan.acknowledgementConfirms = true;
    return plan;
}

Plan TemperatureTriggerPlan(const TemperatureTriggerArguments& a) {
    WritePlan plan;
    plan.acknowledgement = kTemperatureDataCode;
    std::array<uint8_t, wire::kTemperatureTriggerSize> expected{};
    if (a.off) {
        if (a.upper || a.upperSlot || a.lower || a.lowerSlot) {
            return UsageError("off: takes no thresholds or slots");
        }
        plan.what = "temperature trigger off";
    } else {
        for (const auto& [value, name] : {std::pair{&a.upper, "--upper"},
                                          {&a.upperSlot, "--upper-slot"},
                                          {&a.lower, "--lower"},
                                          {&a.lowerSlot, "--lower-slot"}}) {
            if (auto missing = Required(*value, name)) {
                return *missing;
            }
        }
        VARNEX_CHECKED(upper, CheckWhole(*a.upper, "--upper", 1, 50));
        VARNEX_CHECKED(lower, CheckWhole(*a.lower, "--lower", 0, 49));
        if (upper <= lower) {
            return UsageError("--upper: must be at least one degree above --lower");
        }
        VARNEX_CHECKED(upperSlot, Slot(*a.upperSlot, "--upper-slot"));
        VARNEX_CHECKED(lowerSlot, Slot(*a.lowerSlot, "--lower-slot"));
        expected = {1, SlotByteOf(upperSlot), SlotByteOf(lowerSlot), uint8_t(upper),
                    uint8_t(lower)};
        plan.what = "temperature trigger above " + *a.upper + " C and below " + *a.lower + " C";
    }
    plan.build = [expected](CommandPacket& p, std::string_view pw) {
        BuildTemperatureTriggerCommand(p, pw, expected[0] != 0, expected[1], expected[2],
                                       expected[3], expected[4]);
    };
    plan.statusShows = [expected](const StatusRecord& r) {
        return expected[0] == 0 ? r.temperatureTrigger[wire::kTemperatureEnabled] == 0
                                : r.temperatureTrigger == expected;
    };
    return plan;
}

Plan IoTriggerPlan(const IoTriggerArguments& a) {
    VARNEX_CHECKED(pin, CheckWhole(a.pin, "PIN", 1, wire::kPinCount));
    WritePlan plan;
    plan.acknowledgement = kIoDataCode;
    std::array<uint8_t, wire::kIoSettingSize> expected{};
    if (a.off) {
        if (a.slotFor0 || a.slotFor1) {
            return UsageError("off: takes no slots");
        }
        plan.what = "I/O trigger of pin " + a.pin + " off";
    } else {
        if (auto missing = Required(a.slotFor0, "--slot-for-0")) {
            return *missing;
        }
        if (auto missing = Required(a.slotFor1, "--slot-for-1")) {
            return *missing;
        }
        VARNEX_CHECKED(for0, Slot(*a.slotFor0, "--slot-for-0"));
        VARNEX_CHECKED(for1, Slot(*a.slotFor1, "--slot-for-1"));
        expected = {1, SlotByteOf(for0), SlotByteOf(for1)};
        plan.what = "I/O trigger of pin " + a.pin;
    }
    plan.build = [pin, expected](CommandPacket& p, std::string_view pw) {
        BuildIoTriggerCommand(p, pw, int(pin), expected[0] != 0, expected[1], expected[2]);
    };
    const std::size_t at = static_cast<std::size_t>(pin - 1) * wire::kIoSettingSize;
    plan.statusShows = [at, expected](const StatusRecord& r) {
        return expected[0] == 0
                   ? r.ioTrigger[at + wire::kIoEnabled] == 0
                   : std::equal(expected.begin(), expected.end(), r.ioTrigger.begin() + long(at));
    };
    return plan;
}

Plan NamePlan(const std::string& name) {
    if (auto bad = CheckUnitText(name, "NAME", wire::kStationNameCommandSize, false)) {
        return *bad;
    }
    WritePlan plan;
    plan.what = "name " + Shown(name);
    std::string field = name;
    field.resize(wire::kStationNameCommandSize, ' ');
    plan.build = [field](CommandPacket& p, std::string_view pw) {
        BuildStationNameCommand(p, pw, field);
    };
    plan.statusShows = [shown = TrimRight(name)](const StatusRecord& r) {
        return r.stationName == shown;
    };
    return plan;
}

Plan SwitchPlan(bool http, const std::string& onOff) {
    VARNEX_CHECKED(on, CheckOnOff(onOff, "STATE"));
    WritePlan plan;
    plan.what = std::string(http ? "HTTP server " : "SNMP access ") + (on ? "on" : "off");
    plan.build = [http, on](CommandPacket& p, std::string_view pw) {
        BuildSwitchCommand(p, pw, http ? Command::SetHttpServer : Command::SetSnmpAccess, on);
    };
    plan.acknowledgement = http ? kHttpChangedCode : kSnmpChangedCode;
    plan.statusShows = [http, on](const StatusRecord& r) {
        return ((http ? r.http : r.snmp) == 0) == on;
    };
    return plan;
}

Plan MacPlan(const std::string& text) {
    VARNEX_CHECKED(mac, CheckMac(text, "MAC"));
    WritePlan plan;
    plan.what = "MAC address " + text;
    plan.build = [mac](CommandPacket& p, std::string_view pw) { BuildMacCommand(p, pw, mac); };
    plan.statusShows = [mac](const StatusRecord& r) { return r.mac == mac; };
    return plan;
}

Plan IpPlan(const std::string& text, const UnitAddress& unit) {
    VARNEX_CHECKED(address, CheckAddress(text, "ADDRESS"));
    WritePlan plan;
    plan.what = "address " + text;
    plan.build = [address](CommandPacket& p, std::string_view pw) {
        BuildIpCommand(p, pw, address);
    };
    plan.statusShows = [](const StatusRecord&) { return true; };  // it answers there
    UnitAddress moved = unit;
    moved.address = text;
    plan.confirmAt = moved;
    return plan;
}

Plan PasswordPlan(const std::string& newPassword, const UnitAddress& unit) {
    WritePlan plan;
    plan.what = "password change";
    const std::string stored =
        newPassword + std::string(wire::kPasswordSize - newPassword.size(), '*');
    plan.build = [stored](CommandPacket& p, std::string_view pw) {
        BuildPasswordCommand(p, pw, stored);
    };
    plan.statusShows = [](const StatusRecord&) { return true; };  // it takes the new one
    UnitAddress changed = unit;
    changed.password = newPassword;
    plan.confirmAt = changed;
    return plan;
}

Plan AllowedClientsPlan(const std::string& mode, const std::vector<std::string>& texts,
                        std::optional<uint32_t> ownAddress, bool force) {
    WritePlan plan;
    plan.acknowledgement = kAllowedChangedCode;
    AllowedAddresses addresses{};
    const bool onlyListed = mode == "only";
    if (mode == "all") {
        if (!texts.empty()) {
            return UsageError("ADDRESS: \"all\" takes no addresses");
        }
        plan.what = "allowed clients: every client";
    } else if (onlyListed) {
        if (texts.empty() || texts.size() > addresses.size()) {
            return UsageError("ADDRESS: \"only\" takes 1 to 5 addresses");
        }
        for (std::size_t n = 0; n < texts.size(); ++n) {
            VARNEX_CHECKED(address, CheckAddress(texts[n], "ADDRESS"));
            addresses[n] = address;
        }
        if (!force && (!ownAddress || std::find(addresses.begin(), addresses.end(), *ownAddress) ==
                                          addresses.end())) {
            return UsageError(
                "ADDRESS: the list leaves out this computer's address" +
                (ownAddress ? " " + FormatDottedAddress(*ownAddress) : std::string()) +
                ", which would lock it out; add --force to send it anyway");
        }
        plan.what = "allowed clients: only the listed";
    } else {
        return UsageError("MODE: " + Shown(mode) + " is neither all nor only");
    }
    plan.build = [onlyListed, addresses](CommandPacket& p, std::string_view pw) {
        BuildAllowedClientsCommand(p, pw, onlyListed, addresses);
    };
    plan.statusShows = [onlyListed, addresses](const StatusRecord& r) {
        if ((r.allowedClients[0] != 0) != onlyListed) {
            return false;
        }
        for (std::size_t n = 0; onlyListed && n < addresses.size(); ++n) {
            if (ReadAddressBytes(&r.allowedClients[1 + n * kAddressBytes]) != addresses[n]) {
                return false;
            }
        }
        return true;
    };
    return plan;
}

std::optional<uint32_t> OwnAddressToward(const UnitAddress& unit) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(unit.port);
    sockaddr_in local{};
    socklen_t size = sizeof local;
    // Connecting a datagram socket only picks the route; nothing is sent.
    const bool found =
        inet_pton(AF_INET, unit.address.c_str(), &remote.sin_addr) == 1 &&
        connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0;
    close(fd);
    if (!found) {
        return std::nullopt;
    }
    return ntohl(local.sin_addr.s_addr);
}

}  // namespace varnex::ctl
