// Frame pacing, and the 99th percentile the state dump reports for ticks and frames.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "shell/pacing.h"
#include "shell/ticks.h"

TEST(FramePacing, SleepsOnlyWhereSwapsComeTooSoonWithThePeriodOfTheDisplay) {
  constexpr int64_t P = 16667;  // 60 Hz
  const struct {
    const char* what;
    std::vector<int64_t> work;   // µs from the end of one sleep to the next swap's return
    std::vector<int64_t> sleep;  // expected sleeps, µs
  } cases[] = {
      {"swap returns at once: held to the period", {1000, 1000, 1000}, {0, P - 1000, P - 1000}},
      {"swap waits for the display", {0, P, P, P + 300, P - 300}, {0, 0, 0, 0, 0}},
      {"early by under a quarter period is jitter", {0, P - 3000}, {0, 0}},
      {"fell behind: a new timeline, no hurrying", {0, 3 * P, 1000}, {0, 0, P - 1000}},
      {"slow frames", {0, P + 2000, P + 2000}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FramePacer p;
    int64_t now = 500000;
    std::vector<int64_t> slept;
    for (int64_t w : c.work) {
      now += w;
      slept.push_back(pace_frame(p, now, P));
      now += slept.back();
    }
    EXPECT_EQ(slept, c.sleep);
  }
  // the period from the display mode's rate, or 60 Hz where that is unknown or absurd
  for (auto [hz, period] : {std::pair{60, P}, {144, int64_t(6944)}, {0, P}, {-1, P}, {100000, P}})
    EXPECT_EQ(refresh_period_us(hz), period) << hz;
}

TEST(TickFigures, P99IsTheStepAtNinetyNinePercentAndTheWorstTheSlowestSample) {
  using Runs = std::vector<std::pair<int32_t, double>>;  // (count, ms)
  const std::tuple<const char*, Runs, double, double> cases[] = {
      {"no samples", {}, 0.0, 0.0},
      {"all alike", {{100, 0.004}}, 0.004, 0.004},
      {"one slow in a hundred is left out", {{99, 0.5}, {1, 50.0}}, 0.5, 50.0},
      {"two slow in a hundred are not", {{98, 0.004}, {2, 2.0}}, 2.0, 2.0},
      {"the rank rounds up", {{1000, 1.0}, {11, 7.0}}, 7.0, 7.0},
      {"slower than the steps reach", {{1, 500.0}}, 100.0, 500.0},
      {"the worst comes first", {{1, 3.0}, {5, 0.2}}, 3.0, 3.0},
  };
  for (const auto& [what, samples, p99, worst] : cases) {
    CpuHistogram h;
    for (const auto& [count, ms] : samples)
      for (int32_t i = 0; i < count; ++i) add_sample(h, ms);
    EXPECT_GE(p99_ms(h), p99) << what;
    EXPECT_LE(p99_ms(h), p99 + CpuHistogram::kStepMs * 1.01) << what;
    EXPECT_EQ(h.worst_ms, worst) << what;  // exact, not to a step
  }
}
