#include "automation/trigger_choice.h"

#include "automation/relay_scripts.h"
#include "protocol/script_record.h"

namespace varnex {

std::optional<uint8_t> TriggerSlotByte(const PlatformHooks& hooks, const PickedScript& picked,
                                       std::string_view chooseText) {
    const std::optional<uint8_t> slot = ChosenSlotByte(picked.row);
    if (!slot) {
        ShowScriptMessage(hooks, chooseText, MessageIcon::Exclamation);
        return std::nullopt;
    }
    if (picked.stepsEmpty) {
        ShowScriptMessage(hooks, kEmptyScriptText, MessageIcon::Exclamation);
        return std::nullopt;
    }
    return slot;
}

std::optional<int> ReportedRow(uint8_t slotByte) {
    const int index = SlotIndex(slotByte);
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

}  // namespace varnex
