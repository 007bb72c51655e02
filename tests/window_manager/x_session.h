// A throw-away X display with a window manager: Xvfb on a display number it
// chooses itself (so parallel runs never meet), then openbox on it. Both are
// stopped when the session ends.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varnex::testing {

class XSession {
  public:
    XSession() = default;
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    ~XSession();

    // Starts both and points DISPLAY at the new display; on failure says why.
    bool Start(std::string& error);
    const std::string& display() const { return display_; }

  private:
    pid_t xvfb_ = -1;
    pid_t windowManager_ = -1;
    std::string display_;
};

// The client windows the window manager stacks, bottom first.
std::vector<uint32_t> StackingOrder();
// The window that has the keyboard focus.
uint32_t InputFocus();

}  // namespace varnex::testing
