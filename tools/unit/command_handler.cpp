#include "unit/command_handler.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "unit/reply_encoding.h"
#include "unit/unit_behaviour.h"

namespace varnex::unit {
namespace {

using Frame = std::span<const uint8_t>;

enum class ReplyKind { Status, ScriptTable, Code };

struct Outcome {
    ReplyKind kind = ReplyKind::Status;
    uint8_t code = 0;
    std::string action;
    std::optional<Address4> moveTo;
};

// Return codes, by the command that earns them.
constexpr uint8_t kScriptExecuted = 3;
constexpr uint8_t kTimerStopped = 4;
constexpr uint8_t kTimerReceived = 5;
constexpr uint8_t kIoReceived = 6;
constexpr uint8_t kTemperatureReceived = 7;
constexpr uint8_t kHttpChanged = 8;
constexpr uint8_t kBoardSuccess = 9;
constexpr uint8_t kBoardAbsent = 10;
constexpr uint8_t kBoardMalformed = 11;
constexpr uint8_t kSnmpChanged = 12;
constexpr uint8_t kBusReset = 13;
constexpr uint8_t kAllowedChanged = 20;
constexpr uint8_t kOneToggleOnly = 100;

constexpr std::string_view kOnLetters = "258";
constexpr std::string_view kOffLetters = "369";
constexpr std::string_view kToggleLetters = "47A";
constexpr int kMaxToggleSeconds = 60;
constexpr uint8_t kMaxThreshold = 50;

Outcome Status(std::string action) {
    return {ReplyKind::Status, 0, std::move(action), {}};
}
Outcome Code(uint8_t code, std::string action) {
    return {ReplyKind::Code, code, std::move(action), {}};
}
// A malformed setting changes nothing and earns no acknowledgement: the
// status record shows the client that nothing changed.
Outcome Refuse(const std::string& why) {
    return Status("refused (" + why + "), status record");
}

std::string Number(unsigned value) {
    return std::to_string(value);
}

std::string AddressText(const Address4& a) {
    return Number(a[0]) + "." + Number(a[1]) + "." + Number(a[2]) + "." + Number(a[3]);
}

Address4 AddressAt(Frame f, std::size_t offset) {
    return {f[offset], f[offset + 1], f[offset + 2], f[offset + 3]};
}

bool IsSlotByte(uint8_t value) {
    return SlotIndex(value).has_value();
}
bool IsZeroOrOne(uint8_t value) {
    return value <= 1;
}

Outcome ToggleRelay(UnitState& state, std::size_t relay, Frame f, UnitTime now) {
    if (state.toggle) {
        return Code(kOneToggleOnly, "relay toggle refused: a toggle runs");
    }
    const int seconds = std::clamp<int>(f[wire::kToggleSecondsOffset], 1, kMaxToggleSeconds);
    state.relayOn[relay] = true;
    state.toggle = ToggleTimer{false, relay, 0, false, now + UnitTime(seconds * 1000)};
    return Status("relay " + Number(relay + 1) + " on for " + Number(seconds) + " s");
}

Outcome SetMac(UnitState& state, Frame f) {
    std::array<uint8_t, wire::kMacSize> mac;
    std::copy_n(f.begin() + wire::kNewMacOffset, mac.size(), mac.begin());
    // A group address or all zeros would take the unit off the network.
    if ((mac[0] & 0x01) != 0 ||
        std::all_of(mac.begin(), mac.end(), [](uint8_t b) { return b == 0; })) {
        return Refuse("not a unicast MAC address");
    }
    state.mac = mac;
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return Status(std::string("MAC set to ") + text);
}

Outcome SetAddress(UnitState& state, Frame f) {
    state.address = AddressAt(f, wire::kNewAddressOffset);
    Outcome outcome = Status("address set to " + AddressText(state.address));
    if (state.address[0] == 127) {
        outcome.moveTo = state.address;
    }
    return outcome;
}

Outcome SetPassword(UnitState& state, Frame f) {
    std::copy_n(f.begin() + wire::kNewPasswordOffset, wire::kPasswordSize, state.password.begin());
    return Status("password changed");
}

Outcome SetAllowedClients(UnitState& state, Frame f) {
    const uint8_t mode = f[wire::kAllowModeOffset];
    if (!IsZeroOrOne(mode)) {
        return Refuse("allow mode " + Number(mode));
    }
    state.allowMode = mode;
    if (mode == 0) {
        return Code(kAllowedChanged, "every client allowed");
    }
    std::string listed;
    for (std::size_t i = 0; i < state.allowed.size(); ++i) {
        state.allowed[i] = AddressAt(f, wire::kAllowAddressesOffset + 4 * i);
        listed += (i == 0 ? "" : " ") + AddressText(state.allowed[i]);
    }
    return Code(kAllowedChanged, "only allowed: " + listed);
}

Outcome SetName(UnitState& state, Frame f) {
    // Printable text only; a zero byte ends the name.
    bool ended = false;
    for (std::size_t i = 0; i < state.name.size(); ++i) {
        const uint8_t byte = f[wire::kParameterOffset + i];
        ended = ended || byte == 0;
        state.name[i] = (ended || byte < 0x20 || byte > 0x7E) ? ' ' : byte;
    }
    return Status("name set to \"" + std::string(state.name.begin(), state.name.end()) + "\"");
}

Outcome UploadScript(UnitState& state, Frame f) {
    const auto slot = SlotIndex(f[wire::kUploadSlotOffset]);
    if (!slot) {
        return Refuse("slot byte " + Number(f[wire::kUploadSlotOffset]));
    }
    ScriptSlot& target = state.scriptSlots[*slot];
    const auto record = f.begin() + wire::kUploadRecordOffset;
    std::copy_n(record, wire::kScriptFieldSize, target.codes.begin());
    std::copy_n(record + wire::kScriptFieldSize, wire::kScriptFieldSize, target.name.begin());
    return Status("script uploaded into slot " + Number(*slot + 1));
}

Outcome ExecuteScript(UnitState& state, Frame f, UnitTime now, UnitEvents& events) {
    const auto slot = SlotIndex(f[wire::kExecuteSlotOffset]);
    if (!slot) {
        return Refuse("slot byte " + Number(f[wire::kExecuteSlotOffset]));
    }
    StartScript(state, *slot, now, events);
    return Code(kScriptExecuted, "script in slot " + Number(*slot + 1) + " executed");
}

Outcome SetTimer(UnitState& state, Frame f, UnitTime now) {
    const uint32_t delay = uint32_t{f[wire::kTimerDelayOffset]} << 16 |
                           uint32_t{f[wire::kTimerDelayOffset + 1]} << 8 |
                           f[wire::kTimerDelayOffset + 2];
    const uint8_t slotByte = f[wire::kTimerScriptOffset];
    const uint8_t mode = f[wire::kTimerModeOffset];
    if (delay == 0 || delay > wire::kTimerMaxDelay || !IsSlotByte(slotByte) || !IsZeroOrOne(mode)) {
        return Refuse("timer delay " + Number(delay) + ", slot byte " + Number(slotByte) +
                      ", mode " + Number(mode));
    }
    state.timer = {true, mode == 1, delay, slotByte, now + UnitTime(int64_t{delay} * 1000)};
    return Code(kTimerReceived, "timer set: " + Number(delay) + " s, slot " +
                                    Number(*SlotIndex(slotByte) + 1) +
                                    (mode == 1 ? ", continuous" : ", one shot"));
}

Outcome SetIoTrigger(UnitState& state, Frame f) {
    const uint8_t pin = f[wire::kIoPinIndexOffset];
    const auto setting = f.subspan(wire::kIoSettingOffset, wire::kIoSettingSize);
    const bool enabled = setting[wire::kIoEnabled] == 1;
    if (pin >= wire::kPinCount || !IsZeroOrOne(setting[wire::kIoEnabled]) ||
        (enabled && !(IsSlotByte(setting[wire::kIoSlotForZero]) &&
                      IsSlotByte(setting[wire::kIoSlotForOne])))) {
        return Refuse("I/O trigger setting");
    }
    const auto stored = state.ioTriggers.begin() + wire::kIoSettingSize * pin;
    if (enabled) {
        std::copy(setting.begin(), setting.end(), stored);
    } else {
        std::fill_n(stored, wire::kIoSettingSize, 0);
    }
    return Code(kIoReceived, "I/O trigger of pin " + Number(pin + 1u) + (enabled ? " on" : " off"));
}

Outcome SetTemperatureTrigger(UnitState& state, Frame f) {
    const auto setting = f.subspan(wire::kTemperatureSettingOffset, wire::kTemperatureTriggerSize);
    const bool enabled = setting[wire::kTemperatureEnabled] == 1;
    const uint8_t upper = setting[wire::kTemperatureUpperThreshold];
    const uint8_t lower = setting[wire::kTemperatureLowerThreshold];
    if (!IsZeroOrOne(setting[wire::kTemperatureEnabled]) ||
        (enabled && !(IsSlotByte(setting[wire::kTemperatureUpperSlot]) &&
                      IsSlotByte(setting[wire::kTemperatureLowerSlot]) && upper <= kMaxThreshold &&
                      lower < upper))) {
        return Refuse("temperature trigger setting");
    }
    if (enabled) {
        std::copy(setting.begin(), setting.end(), state.temperatureTrigger.begin());
    } else {
        state.temperatureTrigger.fill(0);
    }
    ArmTemperatureTrigger(state);
    return Code(kTemperatureReceived, enabled ? "temperature trigger on: above " + Number(upper) +
                                                    ", below " + Number(lower)
                                              : std::string("temperature trigger off"));
}

Outcome SetSwitch(uint8_t& flag, Frame f, uint8_t code, const std::string& what) {
    const uint8_t value = f[wire::kSwitchOffset];
    if (!IsZeroOrOne(value)) {
        return Refuse(what + " switch " + Number(value));
    }
    flag = value;
    return Code(code, what + (value == 0 ? " enabled" : " disabled"));
}

std::optional<std::size_t> BoardIndex(const UnitState& state, uint8_t address) {
    const int offset = address - wire::kBoardAddressFirst;
    if (offset < 0 || offset % 2 != 0 || offset / 2 >= static_cast<int>(wire::kBoardCount) ||
        !state.boardPresent[offset / 2] || FirmwareNumber(state) < wire::kFirmwareDaughterBoards) {
        return std::nullopt;
    }
    return offset / 2;
}

Outcome BoardCommand(UnitState& state, Frame f, UnitTime now) {
    const auto board = BoardIndex(state, f[wire::kBoardAddressOffset]);
    if (!board) {
        return Code(kBoardAbsent, "board command refused: no board at address " +
                                      Number(f[wire::kBoardAddressOffset]));
    }
    const uint8_t mask = f[wire::kBoardMaskOffset];
    const uint8_t action = f[wire::kBoardActionOffset];
    const uint8_t delay = f[wire::kBoardDelayOffset];
    const bool oneElement = mask != 0 && mask <= wire::kBoardOutputMask && (mask & (mask - 1)) == 0;
    if (!oneElement || action > 2 || (action == 2 && (delay < 1 || delay > kMaxToggleSeconds))) {
        return Code(kBoardMalformed, "board command refused: mask " + Number(mask) + ", action " +
                                         Number(action) + ", delay " + Number(delay));
    }
    uint8_t& bits = state.boardStates[*board];
    const std::string target = "board " + Number(*board + 1) + " mask " + Number(mask);
    if (action == 2) {
        if (state.toggle) {
            return Code(kOneToggleOnly, target + " toggle refused: a toggle runs");
        }
        state.toggle =
            ToggleTimer{true, *board, mask, (bits & mask) != 0, now + UnitTime(delay * 1000)};
        bits ^= mask;
        return Code(kBoardSuccess, target + " toggled for " + Number(delay) + " s");
    }
    // A set bit is a relay on NC or the output off: action 0 sets it.
    bits = action == 0 ? (bits | mask) : (bits & ~mask);
    return Code(kBoardSuccess, target + (action == 0 ? " NC/off" : " NO/on"));
}

// `letter` is one of the catalogue's.
Outcome Dispatch(UnitState& state, char letter, Frame f, UnitTime now, UnitEvents& events) {
    if (const auto i = kOnLetters.find(letter); i != std::string_view::npos) {
        state.relayOn[i] = true;
        return Status("relay " + Number(i + 1) + " on");
    }
    if (const auto i = kOffLetters.find(letter); i != std::string_view::npos) {
        state.relayOn[i] = false;
        return Status("relay " + Number(i + 1) + " off");
    }
    if (const auto i = kToggleLetters.find(letter); i != std::string_view::npos) {
        return ToggleRelay(state, i, f, now);
    }
    switch (letter) {
        case 'E':
            return SetMac(state, f);
        case 'F':
            return SetAddress(state, f);
        case 'G':
            return SetPassword(state, f);
        case 'H':
            return SetAllowedClients(state, f);
        case 'I':
            return SetName(state, f);
        case 'J':
            return UploadScript(state, f);
        case 'K':
            return ExecuteScript(state, f, now, events);
        case 'L':
            return Outcome{ReplyKind::ScriptTable, 0, "script table", {}};
        case 'M':
            return SetTimer(state, f, now);
        case 'N':
            state.timer.running = false;
            return Code(kTimerStopped, "timer stopped");
        case 'O':
            return SetIoTrigger(state, f);
        case 'P':
            return SetTemperatureTrigger(state, f);
        case 'Q':
            return SetSwitch(state.http, f, kHttpChanged, "HTTP");
        case 'R':
            return BoardCommand(state, f, now);
        case 'S':
            return SetSwitch(state.snmp, f, kSnmpChanged, "SNMP");
        case 'T':
            RearmTemperatureTrigger(state, now, events);
            return Code(kBusReset, "sensor bus reset, temperature trigger rearmed");
        default:  // "1"
            return Status("status record");
    }
}

bool ClientAllowed(const UnitState& state, const Address4& sender) {
    return state.allowMode == 0 ||
           std::find(state.allowed.begin(), state.allowed.end(), sender) != state.allowed.end();
}

Bytes EncodeOutcome(const UnitState& state, const Outcome& outcome, UnitTime now) {
    switch (outcome.kind) {
        case ReplyKind::ScriptTable:
            return EncodeScriptTable(state);
        case ReplyKind::Code:
            return EncodeReturnCode(outcome.code);
        case ReplyKind::Status:
            break;
    }
    return EncodeStatusRecord(state, now);
}

}  // namespace

HandledDatagram HandleDatagram(UnitState& state, std::span<const uint8_t> datagram,
                               const Address4& sender, UnitTime now) {
    HandledDatagram handled;
    AdvanceUnit(state, now, handled.events);
    if (datagram.size() < wire::kCommandFrameSize) {
        handled.action = "short datagram (" + Number(datagram.size()) + " bytes), no answer";
        return handled;
    }
    if (!std::equal(wire::kMagic.begin(), wire::kMagic.end(),
                    datagram.begin() + wire::kMagicOffset)) {
        handled.action = "no magic, no answer";
        return handled;
    }
    if (!ClientAllowed(state, sender)) {
        handled.action = "client " + AddressText(sender) + " not allowed, no answer";
        return handled;
    }
    const char letter = static_cast<char>(datagram[wire::kLetterOffset]);
    const auto password = datagram.subspan(wire::kPasswordOffset, wire::kPasswordSize);
    const bool passwordMatches =
        std::equal(password.begin(), password.end(), state.password.begin());
    if (std::find(wire::kCommandLetters.begin(), wire::kCommandLetters.end(), letter) ==
        wire::kCommandLetters.end()) {
        handled.action =
            "unknown command byte " + Number(datagram[wire::kLetterOffset]) + ", no answer";
        return handled;
    }
    handled.letter = letter;
    if (!passwordMatches) {
        handled.action = "wrong password, refused";
        handled.reply = EncodeRefusal();
        return handled;
    }
    Outcome outcome = Dispatch(state, letter, datagram, now, handled.events);
    handled.reply = EncodeOutcome(state, outcome, now);
    handled.action = std::move(outcome.action);
    handled.moveTo = outcome.moveTo;
    return handled;
}

}  // namespace varnex::unit
