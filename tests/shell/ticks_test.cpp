// The 99th percentile the state dump reports for ticks and frames: the slowest one in a
// hundred is left out, and the figure never understates the sample it stands for.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "shell/ticks.h"

namespace {

TEST(TickFigures, P99IsTheStepHoldingTheSampleAtNinetyNinePercent) {
  using Runs = std::vector<std::pair<int32_t, double>>;  // (count, ms)
  const struct {
    const char* what;
    Runs samples;
    double p99;
  } cases[] = {
      {"no samples", {}, 0.0},
      {"all alike", {{100, 0.004}}, 0.004},
      {"one slow in a hundred is left out", {{99, 0.5}, {1, 50.0}}, 0.5},
      {"two slow in a hundred are not", {{98, 0.004}, {2, 2.0}}, 2.0},
      {"the rank rounds up", {{1000, 1.0}, {11, 7.0}}, 7.0},
      {"slower than the steps reach", {{1, 500.0}}, 100.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CpuHistogram h;
    for (const auto& [count, ms] : c.samples)
      for (int32_t i = 0; i < count; ++i) add_sample(h, ms);
    const double p = p99_ms(h);
    EXPECT_GE(p, c.p99);
    EXPECT_LE(p, c.p99 + CpuHistogram::kStepMs * 1.01);
  }
}

}  // namespace
