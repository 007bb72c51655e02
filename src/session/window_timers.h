// The main window's timers: the core keeps the table, the UI keeps one timer
// per id in step with it and reports each tick back by id.
#pragma once

#include <array>

namespace varnex {

enum TimerId : int {
    kCreditsTimer = 1,
    kPollTimer = 2,
    kPulseTimer = 3,
    kStationChoiceTimer = 11,
    kTimerButtonTimer = 12,
};

struct WindowTimer {
    int id;
    int periodMs;
    bool running;
};

// Timer 1 runs from start-up to exit; the others start on their events.
using WindowTimerTable = std::array<WindowTimer, 5>;
inline constexpr WindowTimerTable kInitialWindowTimers = {{
    {kCreditsTimer, 2000, true},
    {kPollTimer, 1000, false},
    {kPulseTimer, 50, false},
    {kStationChoiceTimer, 10, false},
    {kTimerButtonTimer, 500, false},
}};

}  // namespace varnex
