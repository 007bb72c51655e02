// The unit's reading of one step code of a stored script: what to switch
// or how long to wait.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnex::unit {

enum class StepKind {
    End,      // a blank: the script stops here
    Relay,    // switch a power relay
    Delay,    // wait whole seconds
    Unknown,  // any other byte: skipped
};

struct StepAction {
    StepKind kind = StepKind::Unknown;
    std::size_t relay = 0;  // 0..2
    bool on = false;
    int seconds = 0;
};

StepAction StepFromCode(uint8_t code);

}  // namespace varnex::unit
