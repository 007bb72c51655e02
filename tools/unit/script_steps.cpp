#include "unit/script_steps.h"

namespace varnex::unit {

ScriptStep StepFromCode(uint8_t code) {
    if (code == ' ') {
        return {StepKind::End};
    }
    if (code >= '1' && code <= '6') {
        const int offset = code - '1';
        return {StepKind::Relay, static_cast<std::size_t>(offset / 2), offset % 2 == 0};
    }
    if (code >= '7' && code <= '9') {
        return {StepKind::Delay, 0, false, code - '6'};
    }
    if (code == 'A' || code == 'B') {
        return {StepKind::Delay, 0, false, code - 'A' + 4};
    }
    return {StepKind::Unknown};
}

}  // namespace varnex::unit
