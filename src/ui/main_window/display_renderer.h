// Puts the core's display state on the main window's controls, colours
// included. Called after every event; a control whose content is unchanged
// is left alone so nothing flickers.
#pragma once

#include "session/display_state.h"
#include "ui/main_window/main_window_controls.h"

namespace varnex {

void RenderDisplayState(const DisplayState& state, MainWindowControls& controls);

// Only the "Aquire Data" indicator: all a pulse tick changes.
void RenderPulse(const DisplayState& state, MainWindowControls& controls);

// Colours that never change, set once when the window is built.
void ApplyFixedColours(MainWindowControls& controls);

}  // namespace varnex
