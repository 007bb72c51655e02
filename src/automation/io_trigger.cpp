#include "automation/io_trigger.h"

#include "session/session.h"

namespace varnex {
namespace {

constexpr std::string_view kChooseForZeroText =
    "Choose a Relay Script to execute when I/O state changes to 0 !";
constexpr std::string_view kChooseForOneText =
    "Choose a Relay Script to execute when I/O state changes to 1 !";

}  // namespace

bool ValidPin(int pin) {
    return pin >= 1 && pin <= int(wire::kPinCount);
}

ReportedIoTrigger ReportedIo(const StatusSnapshot& snapshot, int pin) {
    if (!ValidPin(pin)) {
        return {};
    }
    const uint8_t* setting =
        snapshot.ioTrigger.data() + wire::kIoSettingSize * std::size_t(pin - 1);
    ReportedIoTrigger reported;
    reported.executeOn = setting[wire::kIoEnabled] != 0;
    reported.enabled = setting[wire::kIoEnabled] == 1;
    reported.rowForZero = ReportedRow(setting[wire::kIoSlotForZero]);
    reported.rowForOne = ReportedRow(setting[wire::kIoSlotForOne]);
    return reported;
}

ScriptAction UploadIoTrigger(Session& session, const PlatformHooks& hooks, int pin,
                             const IoChoice& choice) {
    if (!ValidPin(pin)) {
        return ScriptAction::Refused;
    }
    const std::string& password = session.station().password;
    if (choice.disableOn) {
        BuildIoTriggerCommand(session.command(), password, pin, false, 0, 0);
        return SendBuiltCommand(session);
    }
    const std::optional<uint8_t> forZero =
        TriggerSlotByte(hooks, choice.forZero, kChooseForZeroText);
    if (!forZero) {
        return ScriptAction::Refused;
    }
    const std::optional<uint8_t> forOne = TriggerSlotByte(hooks, choice.forOne, kChooseForOneText);
    if (!forOne) {
        return ScriptAction::Refused;
    }
    BuildIoTriggerCommand(session.command(), password, pin, true, *forZero, *forOne);
    return SendBuiltCommand(session);
}

}  // namespace varnex
