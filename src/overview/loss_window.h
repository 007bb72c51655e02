// Lost status requests over the last hour, per station: a ring of one-minute
// buckets, so an hour of polls costs a fixed few hundred bytes whatever the
// polling interval.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace varnex::overview {

using Time = std::chrono::steady_clock::time_point;

class LossWindow {
  public:
    static constexpr std::size_t kMinutes = 60;

    // `finished` requests ended at `now` (answered or lost), `lost` of them lost.
    void Add(Time now, uint64_t finished, uint64_t lost);
    // Percent of the requests finished within the hour before `now` that
    // were lost; nullopt when none finished.
    std::optional<double> Percent(Time now) const;

  private:
    struct Bucket {
        int64_t minute = -1;
        uint64_t finished = 0;
        uint64_t lost = 0;
    };
    std::array<Bucket, kMinutes> buckets_{};
};

}  // namespace varnex::overview
