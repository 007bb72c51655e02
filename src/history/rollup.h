// Roll-ups: minimum, maximum and sum of every value per 10 s, 1 min and
// 10 min bucket, kept with the range of reading rows each bucket covers, so
// that a week reads as fast as an hour and the raw rows of a range are found
// without an index on time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "history/stored_reading.h"

namespace varnex {

inline constexpr std::size_t kRollupLevels = 3;
inline constexpr std::array<int64_t, kRollupLevels> kRollupWidthsMs{10'000, 60'000, 600'000};
inline constexpr std::size_t kRollupValueCount = wire::kVoltmeterCount + 1;
inline constexpr std::size_t kRollupTemperatureIndex = wire::kVoltmeterCount;

// Values 0..7 are raw voltmeter codes, value 8 the temperature in signed half
// degrees (counted apart: a record may carry none).
struct RollupBucket {
    int64_t startMs = 0;
    int64_t firstRow = 0;
    int64_t lastRow = 0;
    int64_t count = 0;
    int64_t temperatureCount = 0;
    int64_t lastState = 0;  // the state column of the bucket's last reading
    std::array<int64_t, kRollupValueCount> min{};
    std::array<int64_t, kRollupValueCount> max{};
    std::array<int64_t, kRollupValueCount> sum{};
    bool operator==(const RollupBucket&) const = default;
};

// The start of the bucket holding `timeMs` (floored, also before 1970).
int64_t BucketStart(int64_t timeMs, int64_t widthMs);

// Adds the reading stored in `row` to the bucket (which starts empty).
void AddToBucket(RollupBucket& bucket, const StoredReading& reading, int64_t state, int64_t row);

// Minimum and maximum of value `index` in one column, and back.
int64_t PackRange(std::size_t index, int64_t min, int64_t max);
void UnpackRange(std::size_t index, int64_t packed, RollupBucket& bucket);

// Volts of a (possibly fractional, e.g. a mean) raw code through the shared
// scaling, which is proportional to the code.
long double ScaledVolts(std::size_t index, long double code, const VoltmeterJumpers& jumpers);

}  // namespace varnex
