// Frame pacing: the sleeps after each swap for a sequence of swap times.
#include <gtest/gtest.h>

#include <vector>

#include "shell/pacing.h"

TEST(FramePacing, SleepsOnlyWhereSwapsComeTooSoon) {
  constexpr int64_t P = 16667;  // 60 Hz
  const struct {
    const char* what;
    std::vector<int64_t> work;   // µs from the end of one sleep to the next swap's return
    std::vector<int64_t> sleep;  // expected sleeps, µs
  } cases[] = {
      // a swap that does not wait: every frame after the first is held to the period
      {"swap returns at once", {1000, 1000, 1000, 1000}, {0, P - 1000, P - 1000, P - 1000}},
      // a display that waits: the swaps land on their due times, nothing is slept
      {"swap waits for the display", {0, P, P, P + 300, P - 300}, {0, 0, 0, 0, 0}},
      // a little early is the display's jitter, not a swap that did not wait
      {"early by less than a quarter period", {0, P - 3000}, {0, 0}},
      // a pause or a slow frame starts a new timeline rather than hurrying
      {"fell behind, then fast again", {0, 3 * P, 1000}, {0, 0, P - 1000}},
      // frames a bit slower than the period run unslept
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
}

TEST(FramePacing, RefreshPeriodFromTheDisplayModeOrSixtyHertz) {
  const struct {
    int hz;
    int64_t period;
  } cases[] = {{60, 16667}, {144, 6944}, {0, 16667}, {-1, 16667}, {100000, 16667}};
  for (const auto& c : cases) EXPECT_EQ(refresh_period_us(c.hz), c.period) << c.hz;
}
