// Helpers shared by the window tests: bounded event pumping.
#pragma once

#include <QDeadlineTimer>
#include <QTest>
#include <functional>

namespace varnex {

// Runs the event loop in short slices until `done` holds or `timeoutMs` has
// passed; answers whether it holds.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace varnex
