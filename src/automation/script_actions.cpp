#include "automation/script_actions.h"

#include <string>

#include "protocol/script_record.h"
#include "session/session.h"

namespace varnex {

ScriptAction SendBuiltCommand(Session& session) {
    return session.SendPacket() ? ScriptAction::Sent : ScriptAction::SendFailed;
}

std::optional<uint8_t> ChosenSlotByte(std::optional<int> row) {
    if (!row || *row < 0 || *row >= int(wire::kScriptSlotCount)) {
        return std::nullopt;
    }
    return SlotByte(static_cast<std::size_t>(*row));
}

bool ConsumeScriptTable(Session& session) {
    if (!session.ScriptTableReceived()) {
        return false;
    }
    session.LowerScriptTableReceived();
    return true;
}

void ShowScriptMessage(const PlatformHooks& hooks, std::string_view text, MessageIcon icon) {
    hooks.showMessage(Message{MessageOwner::ActiveDialog, std::string(text), "", icon});
}

bool AskScriptQuestion(const PlatformHooks& hooks, std::string_view text,
                       std::string_view caption) {
    return hooks.askYesNo(Message{MessageOwner::ActiveDialog, std::string(text),
                                  std::string(caption), MessageIcon::None});
}

}  // namespace varnex
