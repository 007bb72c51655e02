// When a unit counts as silent: the one rule that the main window, and every
// other reader of a unit, applies. It counts status requests sent since the
// last valid status record. Neither the Lost counter (which can go negative)
// nor "any datagram" will do: a unit that sends only return codes or garbage
// must still count as silent.
#pragma once

#include <cstdint>

namespace varnex {

// Status requests in a row without a valid status record after which the
// unit is silent. The request just sent is one of them, so at one poll a
// second a unit is silent two seconds after its last answer was due.
inline constexpr int kSilentAfterPolls = 3;

class ReplySilence {
  public:
    // A session (or a watch of the unit) starts: nothing has been asked yet,
    // and the silence's age counts from `nowMs`.
    void Restart(uint32_t nowMs) {
        pollsSinceStatus_ = 0;
        lastStatusMs_ = nowMs;
    }
    void PollSent() { ++pollsSinceStatus_; }
    void StatusReceived(uint32_t nowMs) {
        pollsSinceStatus_ = 0;
        lastStatusMs_ = nowMs;
    }

    bool Silent() const { return pollsSinceStatus_ >= kSilentAfterPolls; }
    int pollsSinceStatus() const { return pollsSinceStatus_; }
    // Whole seconds since the last valid status record (or the restart);
    // the millisecond clock may wrap.
    uint32_t SecondsSinceStatus(uint32_t nowMs) const { return (nowMs - lastStatusMs_) / 1000; }

  private:
    int pollsSinceStatus_ = 0;
    uint32_t lastStatusMs_ = 0;
};

}  // namespace varnex
