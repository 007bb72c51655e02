#include "settings/uptime.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(UptimeTexts, EachRowDividesTheTextShownAbove) {
    struct Case {
        uint32_t seconds;
        std::array<std::string, kUptimeRows> texts;
    };
    const Case cases[] = {
        {86400, {"86400", " 1440.00", " 24.00", " 1.00", " 0.03", " 0.00"}},
        {0, {"0", " 0", " 0", " 0", " 0", " 0"}},
        {59, {"59", " 0.98", " 0.02", " 0.00", " 0", " 0"}},
        // 31104000 s is 360 days: one year of twelve 30-day months.
        {31104000, {"31104000", " 518400.00", " 8640.00", " 360.00", " 12.00", " 1.00"}},
        {4294967295u,
         {"4294967295", " 71582788.25", " 1193046.47", " 49710.27", " 1657.01", " 138.08"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UptimeTexts(c.seconds), c.texts) << c.seconds;
    }
}

}  // namespace
}  // namespace varnex
