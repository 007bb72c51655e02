#include "unit/unit_state.h"

#include <algorithm>

#include "unit/voltage_drift.h"

namespace varnex::unit {

UnitState MakeUnitState(const UnitSetup& setup, UnitTime now) {
    UnitState state;
    state.mac = setup.mac;
    state.randomState = setup.seed;
    StartVoltmeters(state);
    state.firmware = setup.firmware;
    state.temperatureHalves = kStartTemperatureHalves;
    state.startedAt = now;
    state.lastDrift = now;
    state.name.fill(' ');
    std::copy_n(setup.name.begin(), std::min(setup.name.size(), state.name.size()),
                state.name.begin());
    state.password = PasswordField(setup.password);
    state.address = setup.address;
    for (ScriptSlot& slot : state.scriptSlots) {
        slot.codes.fill(' ');
        slot.name.fill(' ');
    }
    state.boardPresent = setup.boards;
    state.boardStates.fill(kBoardRestingState);
    return state;
}

unsigned FirmwareNumber(const UnitState& state) {
    return 100u * state.firmware[0] + 10u * state.firmware[1] + state.firmware[2];
}

std::array<uint8_t, wire::kPasswordSize> PasswordField(const std::string& password) {
    std::array<uint8_t, wire::kPasswordSize> field;
    field.fill(static_cast<uint8_t>(wire::kFiller));
    std::copy_n(password.begin(), std::min(password.size(), field.size()), field.begin());
    return field;
}

std::optional<std::size_t> SlotIndex(uint8_t slotByte) {
    if (slotByte % wire::kScriptSlotStride != 0) {
        return std::nullopt;
    }
    return slotByte / wire::kScriptSlotStride;
}

}  // namespace varnex::unit
