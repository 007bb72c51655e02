// Round trips of a whole fleet in fixed buckets, cumulative as Prometheus
// histograms are, so an exporter can hand them over without keeping every
// sample.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace varnex::fleet {

class RoundTripHistogram {
  public:
    // Upper bounds in seconds; loopback answers in tens of microseconds, a
    // unit on a busy network in tens of milliseconds, a timeout ends at seconds.
    static constexpr std::array<double, 12> kBounds{0.0001, 0.00025, 0.0005, 0.001, 0.0025, 0.005,
                                                    0.01,   0.025,   0.05,   0.1,   0.25,   1.0};

    void Add(std::chrono::nanoseconds roundTrip) {
        const double seconds = std::chrono::duration<double>(roundTrip).count();
        for (std::size_t i = 0; i < kBounds.size(); ++i) {
            if (seconds <= kBounds[i]) {
                ++buckets_[i];
            }
        }
        ++count_;
        sumSeconds_ += seconds;
    }
    // Samples at or below kBounds[i].
    uint64_t Bucket(std::size_t i) const { return buckets_[i]; }
    uint64_t Count() const { return count_; }
    double SumSeconds() const { return sumSeconds_; }

  private:
    std::array<uint64_t, kBounds.size()> buckets_{};
    uint64_t count_ = 0;
    double sumSeconds_ = 0;
};

}  // namespace varnex::fleet
