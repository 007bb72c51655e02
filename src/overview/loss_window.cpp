#include "overview/loss_window.h"

namespace varnex::overview {
namespace {

int64_t MinuteOf(Time time) {
    return std::chrono::duration_cast<std::chrono::minutes>(time.time_since_epoch()).count();
}

std::size_t SlotOf(int64_t minute) {
    const auto count = static_cast<int64_t>(LossWindow::kMinutes);
    return static_cast<std::size_t>(((minute % count) + count) % count);
}

}  // namespace

void LossWindow::Add(Time now, uint64_t finished, uint64_t lost) {
    if (finished == 0) {
        return;
    }
    const int64_t minute = MinuteOf(now);
    Bucket& bucket = buckets_[SlotOf(minute)];
    if (bucket.minute != minute) {
        bucket = {minute, 0, 0};
    }
    bucket.finished += finished;
    bucket.lost += lost;
}

std::optional<double> LossWindow::Percent(Time now) const {
    const int64_t minute = MinuteOf(now);
    uint64_t finished = 0;
    uint64_t lost = 0;
    for (const Bucket& bucket : buckets_) {
        // The current minute and the 59 before it: an hour, give or take the
        // part of the oldest minute already gone.
        if (bucket.minute > minute - static_cast<int64_t>(kMinutes) && bucket.minute <= minute) {
            finished += bucket.finished;
            lost += bucket.lost;
        }
    }
    if (finished == 0) {
        return std::nullopt;
    }
    return 100.0 * static_cast<double>(lost) / static_cast<double>(finished);
}

}  // namespace varnex::overview
