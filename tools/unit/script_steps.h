// The unit's reading of one step code of a stored script.
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

struct ScriptStep {
    StepKind kind = StepKind::Unknown;
    std::size_t relay = 0;  // 0..2
    bool on = false;
    int seconds = 0;
};

// "1".."6": relay 1 on, relay 1 off, ... relay 3 off; "7".."9", "A", "B":
// delay 1 to 5 seconds.
ScriptStep StepFromCode(uint8_t code);

}  // namespace varnex::unit
