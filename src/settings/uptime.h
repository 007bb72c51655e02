// The unit's uptime in six units at once, each row computed from the text
// shown in the row above it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace varnex {

inline constexpr std::size_t kUptimeRows = 6;

inline constexpr std::array<const char*, kUptimeRows> kUptimeCaptions = {
    "SECONDS:", "MINUTES:", "HOURS:", "DAYS:", "MONTHS:", "YEARS:"};

// Seconds as a whole number, then minutes, hours, days, months of 30 days
// and years of 12 such months with two decimals.
std::array<std::string, kUptimeRows> UptimeTexts(uint32_t seconds);

}  // namespace varnex
