// The images on the main window's image buttons, kept as Qt resources.
#pragma once

#include <QIcon>

namespace varnex {

enum class ButtonImage { Temperature, VoltmeterOptions, IoPin, DaughterBoard, Program };

inline constexpr int kTimerButtonFrames = 4;

QIcon ButtonIcon(ButtonImage image);
// Frame 0 is the resting image; 1..3 follow it while the unit's timer runs.
QIcon TimerButtonIcon(int frame);

}  // namespace varnex
