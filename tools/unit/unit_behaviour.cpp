#include "unit/unit_behaviour.h"

#include <algorithm>
#include <string>

#include "unit/script_steps.h"
#include "unit/voltage_drift.h"

namespace varnex::unit {
namespace {

// A continuous one-second timer after a clock jump of days would otherwise
// loop for a long time; what is left waits for the next call.
constexpr int kMaxEventsPerAdvance = 10000;

std::string SlotText(std::size_t slot) {
    return "slot " + std::to_string(slot + 1);
}

// Stored slot bytes were checked when they arrived; this keeps a bad one harmless.
void StartSlotByte(UnitState& state, uint8_t slotByte, UnitTime at, UnitEvents& events) {
    if (const auto slot = SlotIndex(slotByte)) {
        StartScript(state, *slot, at, events);
    }
}

void RunScriptSteps(UnitState& state, UnitEvents& events) {
    RunningScript& script = *state.script;
    while (script.nextStep < script.codes.size()) {
        const auto step = StepFromCode(script.codes[script.nextStep]);
        if (step.kind == StepKind::End) {
            break;
        }
        ++script.nextStep;
        if (step.kind == StepKind::Relay) {
            state.relayOn[step.relay] = step.on;
        } else if (step.kind == StepKind::Delay) {
            script.resumeAt += UnitTime(step.seconds * 1000);
            return;
        }
    }
    events.push_back("script " + SlotText(script.slot) + " finished");
    state.script.reset();
}

void EndToggle(UnitState& state, UnitEvents& events) {
    const ToggleTimer& toggle = *state.toggle;
    if (toggle.onBoard) {
        uint8_t& bits = state.boardStates[toggle.index];
        bits = toggle.bitBefore ? (bits | toggle.mask) : (bits & ~toggle.mask);
        events.push_back("board " + std::to_string(toggle.index + 1) + " toggle ended");
    } else {
        state.relayOn[toggle.index] = false;
        events.push_back("relay " + std::to_string(toggle.index + 1) + " toggle ended: off");
    }
    state.toggle.reset();
}

void FireTimer(UnitState& state, UnitEvents& events) {
    RelayTimer& timer = state.timer;
    const UnitTime firedAt = timer.firesAt;
    if (timer.continuous) {
        timer.firesAt += UnitTime(int64_t{timer.delaySeconds} * 1000);
    } else {
        timer.running = false;
    }
    events.push_back("timer fired" + std::string(timer.continuous ? " (reloaded)" : ""));
    StartSlotByte(state, timer.slotByte, firedAt, events);
}

TemperatureZone ZoneOf(const UnitState& state) {
    const int upper = state.temperatureTrigger[wire::kTemperatureUpperThreshold] * 2;
    const int lower = state.temperatureTrigger[wire::kTemperatureLowerThreshold] * 2;
    if (state.temperatureHalves > upper) {
        return TemperatureZone::Above;
    }
    if (state.temperatureHalves < lower) {
        return TemperatureZone::Below;
    }
    return TemperatureZone::Between;
}

void CheckTemperatureTrigger(UnitState& state, UnitTime now, UnitEvents& events) {
    if (state.temperatureTrigger[wire::kTemperatureEnabled] == 0) {
        return;
    }
    const TemperatureZone zone = ZoneOf(state);
    if (zone == state.temperatureZone) {
        return;
    }
    state.temperatureZone = zone;
    if (zone == TemperatureZone::Between) {
        return;
    }
    const bool above = zone == TemperatureZone::Above;
    const uint8_t slotByte =
        state.temperatureTrigger[above ? wire::kTemperatureUpperSlot : wire::kTemperatureLowerSlot];
    events.push_back(std::string("temperature ") + (above ? "above upper" : "below lower") +
                     " threshold");
    StartSlotByte(state, slotByte, now, events);
}

enum class DueEvent { None, ToggleEnds, ScriptResumes, TimerFires };

// The earliest of the unit's own events due by `now`; on a tie the toggle,
// then the script, then the timer.
DueEvent NextDue(const UnitState& state, UnitTime now) {
    DueEvent next = DueEvent::None;
    UnitTime nextAt = now;
    const auto consider = [&](bool pending, UnitTime at, DueEvent event) {
        if (pending && (next == DueEvent::None ? at <= now : at < nextAt)) {
            next = event;
            nextAt = at;
        }
    };
    consider(state.toggle.has_value(), state.toggle ? state.toggle->endsAt : now,
             DueEvent::ToggleEnds);
    consider(state.script.has_value(), state.script ? state.script->resumeAt : now,
             DueEvent::ScriptResumes);
    consider(state.timer.running, state.timer.firesAt, DueEvent::TimerFires);
    return next;
}

}  // namespace

uint32_t SecondsLeft(UnitTime end, UnitTime now) {
    const int64_t ms = (end - now).count();
    return ms <= 0 ? 0 : static_cast<uint32_t>((ms + 999) / 1000);
}

void StartScript(UnitState& state, std::size_t slot, UnitTime at, UnitEvents& events) {
    events.push_back("script " + SlotText(slot) + " started");
    state.script = RunningScript{state.scriptSlots[slot].codes, slot, 0, at};
    RunScriptSteps(state, events);
}

void AdvanceUnit(UnitState& state, UnitTime now, UnitEvents& events) {
    DriftVoltmeters(state, now);
    for (int handled = 0; handled < kMaxEventsPerAdvance; ++handled) {
        switch (NextDue(state, now)) {
            case DueEvent::None:
                return;
            case DueEvent::ToggleEnds:
                EndToggle(state, events);
                break;
            case DueEvent::ScriptResumes:
                RunScriptSteps(state, events);
                break;
            case DueEvent::TimerFires:
                FireTimer(state, events);
                break;
        }
    }
}

void SetPin(UnitState& state, std::size_t pin, bool level, UnitTime now, UnitEvents& events) {
    AdvanceUnit(state, now, events);
    if (state.pins[pin] == level) {
        return;
    }
    state.pins[pin] = level;
    const std::size_t setting = wire::kIoSettingSize * pin;
    if (state.ioTriggers[setting + wire::kIoEnabled] == 0) {
        return;
    }
    const uint8_t slotByte =
        state.ioTriggers[setting + (level ? wire::kIoSlotForOne : wire::kIoSlotForZero)];
    events.push_back("pin " + std::to_string(pin + 1) + " changed to " + (level ? "1" : "0"));
    StartSlotByte(state, slotByte, now, events);
}

void SetTemperature(UnitState& state, int halves, UnitTime now, UnitEvents& events) {
    AdvanceUnit(state, now, events);
    state.temperatureHalves = halves;
    CheckTemperatureTrigger(state, now, events);
}

void ArmTemperatureTrigger(UnitState& state) {
    state.temperatureZone = ZoneOf(state);
}

void RearmTemperatureTrigger(UnitState& state, UnitTime now, UnitEvents& events) {
    AdvanceUnit(state, now, events);
    state.temperatureZone = TemperatureZone::Unknown;
    CheckTemperatureTrigger(state, now, events);
}

}  // namespace varnex::unit
