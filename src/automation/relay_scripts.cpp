#include "automation/relay_scripts.h"

#include "protocol/script_record.h"
#include "session/session.h"

namespace varnex {
namespace {

constexpr std::string_view kExecuteQuestion = "Are you sure you want to Execute this Relay Script?";
constexpr std::string_view kExecuteCaption = "Execute Script?";
constexpr std::string_view kUploadQuestion = "Are you sure you want to Upload this Relay Script?";
constexpr std::string_view kUploadCaption = "Upload Script?";

}  // namespace

ScriptAction ExecuteScript(Session& session, const PlatformHooks& hooks,
                           const ScriptChoice& choice) {
    if (choice.steps.empty()) {
        ShowScriptMessage(hooks, kEmptyScriptText, MessageIcon::None);
        return ScriptAction::Refused;
    }
    const std::optional<uint8_t> slot = ChosenSlotByte(choice.row);
    if (!slot) {
        ShowScriptMessage(hooks, kChooseScriptText, MessageIcon::None);
        return ScriptAction::Refused;
    }
    if (!AskScriptQuestion(hooks, kExecuteQuestion, kExecuteCaption)) {
        return ScriptAction::Declined;
    }
    BuildExecuteScriptCommand(session.command(), session.station().password, *slot);
    return SendBuiltCommand(session);
}

bool RoomForStep(const PlatformHooks& hooks, std::size_t steps) {
    if (steps < kScriptStepCount) {
        return true;
    }
    ShowScriptMessage(hooks, kScriptFullText, MessageIcon::Exclamation);
    return false;
}

bool ConfirmUpload(const PlatformHooks& hooks, const ScriptChoice& choice) {
    if (choice.steps.empty() || !ChosenSlotByte(choice.row)) {
        ShowScriptMessage(hooks, kEmptyScriptText, MessageIcon::Stop);
        return false;
    }
    return AskScriptQuestion(hooks, kUploadQuestion, kUploadCaption);
}

ScriptAction UploadScript(Session& session, const PlatformHooks& hooks, const ScriptChoice& choice,
                          std::string_view typedName) {
    // The list may have been emptied or deselected while the panel was open.
    if (choice.steps.empty()) {
        ShowScriptMessage(hooks, kEmptyScriptText, MessageIcon::Stop);
        return ScriptAction::Refused;
    }
    const std::optional<uint8_t> slot = ChosenSlotByte(choice.row);
    if (!slot) {
        ShowScriptMessage(hooks, kChooseScriptText, MessageIcon::Stop);
        return ScriptAction::Refused;
    }
    BuildUploadScriptCommand(session.command(), session.station().password, *slot,
                             EncodeScriptRecord(choice.steps, typedName));
    return SendBuiltCommand(session);
}

}  // namespace varnex
