// What the two trigger dialogs share: a script picked in a picker, the
// check that turns it into a slot byte, and reading the slot a status
// record reports back into a picker row.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "automation/script_actions.h"

namespace varnex {

struct PickedScript {
    std::optional<int> row;  // the picker's selected name row
    bool stepsEmpty = true;  // its step list shows no step
};

// The slot byte of a picked script. Refuses with `chooseText` when no row is
// selected, then with "Empty Script Not Allowed !" when its steps are empty.
std::optional<uint8_t> TriggerSlotByte(const PlatformHooks& hooks, const PickedScript& picked,
                                       std::string_view chooseText);

// The picker row a reported slot byte names; nothing for a byte that names
// no slot, so a stray value never selects a row out of range.
std::optional<int> ReportedRow(uint8_t slotByte);

}  // namespace varnex
