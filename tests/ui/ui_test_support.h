// Helpers shared by the window tests: bounded event pumping.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
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

// Closes any modal window still open when it fires, so that a test whose
// dialog was never answered fails instead of waiting for ever.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(int timeoutMs = 5000) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
                QApplication::processEvents();
                if (QApplication::activeModalWidget() == modal) {
                    modal->hide();
                }
            }
        });
        timer_.start(timeoutMs);
    }

  private:
    QTimer timer_;
};

}  // namespace varnex
