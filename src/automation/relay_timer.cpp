#include "automation/relay_timer.h"

#include "session/session.h"
#include "text/conversions.h"

namespace varnex {
namespace {

constexpr std::string_view kSetTimerQuestion = "Are you sure you want to Set a Timer?";
constexpr std::string_view kSetTimerCaption = "Set Timer?";

}  // namespace

std::vector<std::string> TimerFieldValues(const TimerField& field) {
    std::vector<std::string> values;
    for (uint32_t n = 0; n <= field.largest; ++n) {
        values.push_back((n < 10 ? "0" : "") + std::to_string(n));
    }
    return values;
}

std::optional<std::string> TypedTimerValue(const TimerField& field, std::string_view typed) {
    constexpr std::size_t kDigits = 2;
    if (typed.empty()) {
        return std::string(kTimerValueStart);
    }
    if (typed.size() > kDigits || typed.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const uint32_t value = ParseUnsigned(typed);
    if (value > field.largest) {
        return std::nullopt;
    }
    return TimerFieldValues(field)[value];
}

uint32_t TimerDelaySeconds(const std::array<std::string, 4>& readouts) {
    uint64_t delay = 0;
    for (std::size_t k = 0; k < kTimerFields.size(); ++k) {
        delay += uint64_t{ParseUnsigned(readouts[k])} * kTimerFields[k].seconds;
    }
    // A value past the largest delay cannot come from the lists; never let
    // it wrap into a short one on the wire.
    return delay > wire::kTimerMaxDelay ? 0 : static_cast<uint32_t>(delay);
}

std::string TimerScriptLabel(std::string_view name) {
    return TrimRight(name);
}

ScriptAction SetRelayTimer(Session& session, const PlatformHooks& hooks,
                           const TimerChoice& choice) {
    if (choice.stepsEmpty) {
        ShowScriptMessage(hooks, kEmptyTimerScriptText, MessageIcon::Exclamation);
        return ScriptAction::Refused;
    }
    const std::optional<uint8_t> slot = ChosenSlotByte(choice.row);
    if (!slot) {
        ShowScriptMessage(hooks, kChooseScriptText, MessageIcon::Exclamation);
        return ScriptAction::Refused;
    }
    const uint32_t delay = TimerDelaySeconds(choice.readouts);
    if (delay == 0) {
        ShowScriptMessage(hooks, kChooseDelayText, MessageIcon::Exclamation);
        return ScriptAction::Refused;
    }
    if (!AskScriptQuestion(hooks, kSetTimerQuestion, kSetTimerCaption)) {
        return ScriptAction::Declined;
    }
    BuildSetTimerCommand(session.command(), session.station().password, delay, *slot, choice.mode);
    return SendBuiltCommand(session);
}

ScriptAction StopRelayTimer(Session& session) {
    return session.SendCommand(Command::StopRelayTimer) ? ScriptAction::Sent
                                                        : ScriptAction::SendFailed;
}

}  // namespace varnex
