// The exposition text: escaping, numbers, and promtool's verdict.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "varnexd/exposition_writer.h"
#include "varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

TEST(ExpositionWriter, EscapesLabelValuesAndWritesNumbersExactly) {
    ExpositionWriter out;
    out.Family("x_total", "counter", "line one\nline two");
    out.Sample("x_total", {{"a", "back\\slash \"quoted\"\nnew"}}, 3);
    out.Sample("x_total", {}, 0.1, ",b=\"1\"");
    out.Family("y", "gauge", "numbers");
    for (const double value :
         {1e21, -0.5, std::nan(""), -std::numeric_limits<double>::infinity()}) {
        out.Sample("y", {{"v", std::to_string(value)}}, value);
    }
    EXPECT_EQ(out.Text(),
              "# HELP x_total line one line two\n# TYPE x_total counter\n"
              "x_total{a=\"back\\\\slash \\\"quoted\\\"\\nnew\"} 3\n"
              "x_total{b=\"1\"} 0.1\n"
              "# HELP y numbers\n# TYPE y gauge\n"
              "y{v=\"1000000000000000000000.000000\"} 1e+21\ny{v=\"-0.500000\"} -0.5\n"
              "y{v=\"nan\"} NaN\ny{v=\"-inf\"} -Inf\n");
    EXPECT_EQ(PromtoolCheckMetrics(out.Text()).first, 0);
}

}  // namespace
}  // namespace varnex::varnexd::testing
