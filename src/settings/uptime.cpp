#include "settings/uptime.h"

#include <optional>

#include "text/conversions.h"

namespace varnex {
namespace {

// Each row divides the row above it by this.
constexpr std::array<long double, kUptimeRows - 1> kDivisors = {60.0L, 60.0L, 24.0L, 30.0L, 12.0L};

}  // namespace

std::array<std::string, kUptimeRows> UptimeTexts(uint32_t seconds) {
    std::array<std::string, kUptimeRows> texts;
    texts[0] = std::to_string(seconds);
    std::optional<long double> above = static_cast<long double>(seconds);
    for (std::size_t row = 1; row < kUptimeRows; ++row) {
        const std::optional<long double> value =
            above ? std::optional<long double>(*above / kDivisors[row - 1]) : std::nullopt;
        texts[row] = FormatDecimal(value, 2);
        above = ParseDecimal(texts[row]);
    }
    return texts;
}

}  // namespace varnex
