#include "history/rollup.h"

#include <algorithm>
#include <optional>

namespace varnex {
namespace {

constexpr uint16_t kFullScaleCode = 4095;
constexpr int kRangeBits = 12;
constexpr int64_t kRangeMask = (int64_t{1} << kRangeBits) - 1;
// Half degrees run from -511 to 511; codes need no offset.
constexpr int64_t kTemperatureOffset = 512;

int64_t RangeOffset(std::size_t index) {
    return index == kRollupTemperatureIndex ? kTemperatureOffset : 0;
}

void AddValue(RollupBucket& bucket, std::size_t index, int64_t value, bool first) {
    bucket.min[index] = first ? value : std::min(bucket.min[index], value);
    bucket.max[index] = first ? value : std::max(bucket.max[index], value);
    bucket.sum[index] += value;
}

}  // namespace

int64_t BucketStart(int64_t timeMs, int64_t widthMs) {
    const int64_t quotient = timeMs / widthMs;
    return (timeMs % widthMs < 0 ? quotient - 1 : quotient) * widthMs;
}

void AddToBucket(RollupBucket& bucket, const StoredReading& reading, int64_t state, int64_t row) {
    const bool first = bucket.count == 0;
    if (first) {
        bucket.firstRow = row;
    }
    bucket.lastRow = row;
    bucket.lastState = state;
    for (std::size_t n = 0; n < wire::kVoltmeterCount; ++n) {
        AddValue(bucket, n, reading.raw[n], first);
    }
    ++bucket.count;
    if (const std::optional<int> halfDegrees = HalfDegreesOf(reading)) {
        AddValue(bucket, kRollupTemperatureIndex, *halfDegrees, bucket.temperatureCount == 0);
        ++bucket.temperatureCount;
    }
}

int64_t PackRange(std::size_t index, int64_t min, int64_t max) {
    const int64_t offset = RangeOffset(index);
    return ((min + offset) & kRangeMask) | (((max + offset) & kRangeMask) << kRangeBits);
}

void UnpackRange(std::size_t index, int64_t packed, RollupBucket& bucket) {
    const int64_t offset = RangeOffset(index);
    bucket.min[index] = (packed & kRangeMask) - offset;
    bucket.max[index] = ((packed >> kRangeBits) & kRangeMask) - offset;
}

long double ScaledVolts(std::size_t index, long double code, const VoltmeterJumpers& jumpers) {
    return DecodeVoltmeter(index, kFullScaleCode, jumpers).volts * code / kFullScaleCode;
}

}  // namespace varnex
