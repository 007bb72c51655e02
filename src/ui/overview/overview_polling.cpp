#include "ui/overview/overview_polling.h"

#include <algorithm>
#include <chrono>

namespace varnex {
namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

OverviewPolling::OverviewPolling(alarms::AlarmMonitor& monitor,
                                 const overview::OverviewOptions& options, QObject* parent)
    : QObject(parent), overview_(monitor, options) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &OverviewPolling::OnTimer);
    if (overview_.Error().empty()) {
        notifier_ =
            std::make_unique<QSocketNotifier>(overview_.Descriptor(), QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &OverviewPolling::OnReadable);
    }
    Reschedule();
}

void OverviewPolling::OnReadable() {
    overview_.OnReadable(Clock::now());
    emit rowsChanged();
    Reschedule();
}

void OverviewPolling::OnTimer() {
    const auto outcome = overview_.Advance(Clock::now(), std::chrono::system_clock::now());
    emit rowsChanged();
    if (outcome) {
        emit roundEvaluated(*outcome);
    }
    Reschedule();
}

void OverviewPolling::Reschedule() {
    if (!notifier_) {
        return;
    }
    const auto now = Clock::now();
    // Until NextRead the notifier stays off and replies wait in the socket.
    const bool reading = now >= overview_.NextRead();
    notifier_->setEnabled(reading);
    std::optional<Clock::time_point> next = overview_.NextDeadline();
    if (!reading) {
        next = next ? std::min(*next, overview_.NextRead()) : overview_.NextRead();
    }
    if (!next) {
        timer_.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    timer_.start(static_cast<int>(std::max<int64_t>(wait.count(), 0)));
}

}  // namespace varnex
