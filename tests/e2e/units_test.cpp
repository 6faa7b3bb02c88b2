// Units on the generated map, through the binary: start, replay, wandering, orders, ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "e2e/harness.h"
#include "units/units.h"

namespace {

std::pair<int64_t, int64_t> cell_of(const Json& u) { return {u["x"].i(), u["y"].i()}; }

// The dump without what depends on the machine.
std::string stable_dump(const ScratchDir& dir) {
  std::string s = read_file(dir / "state.json");
  for (const char* key : {"\"startup_ms\"", "\"peak_rss_kb\""}) {
    const size_t at = s.find(key);
    s.erase(at, s.find('\n', at) - at);
  }
  return s;
}

TEST(UnitsOnMap, StartLoadsAllSameSeedReplaysExactlyAnotherPlacesElsewhereWanderersMove) {
  const std::string script = "3 tap A\n40 pointer 200 300\n41 click right\n";
  ScratchDir a, b, c, o;
  const GameRun start = run_script("", 1, a, {"--seed", "11"});
  const GameRun later = run_script(script, 300, b, {"--seed", "11"});
  const GameRun again = run_script(script, 300, c, {"--seed", "11"});
  const GameRun other = run_script("", 1, o, {"--seed", "12"});
  for (const GameRun* r : {&start, &later, &again, &other}) ASSERT_EQ(r->status, 0) << r->err;

  const Json& d = start.dump;
  EXPECT_EQ(start.err, "");  // nothing failed to load
  EXPECT_EQ(std::tuple(d["bitmaps_loaded"].i(), d["map_loaded"].i(), d["object_count"].i()),
            std::tuple(217, 3145728, 1 + 3 * 256));  // 256 objects on each map level
  EXPECT_GE(d["units"].items.size(), 250u);  // where each may stand is checked in-process
  // Unit 1 waits for an order on the surface; the view starts on it, clamped inward.
  const Json& u1 = unit_in(d, 1);
  EXPECT_EQ(std::tuple(u1["level"].i(), u1["order_flag"].i()), std::tuple(1, 0));
  EXPECT_EQ(std::tuple(d["SX"].i(), d["SY"].i(), d["SZ"].i()),
            std::tuple(std::clamp<int64_t>(u1["x"].i(), 1, 1023 - 640 / 16),
                       std::clamp<int64_t>(u1["y"].i(), 1, 1023 - 480 / 16), 1));

  EXPECT_EQ(stable_dump(b), stable_dump(c));
  int same = 0;
  for (const Json& u : other.dump["units"].items)
    same += cell_of(u) == cell_of(unit_in(d, u["index"].i()));
  EXPECT_LT(same, 10);

  int wanderers = 0, moved = 0, ordered = 0;
  for (const Json& u : d["units"].items) {
    if (u["index"].i() < 2) continue;
    const Json& v = unit_in(later.dump, u["index"].i());
    ++wanderers;
    moved += cell_of(v) != cell_of(u);
    ordered += v["order_flag"].i() == 1;  // once ordered, the flag stays up
  }
  EXPECT_GE(2 * moved, wanderers) << moved << " of " << wanderers;
  EXPECT_EQ(ordered, wanderers);
  EXPECT_EQ(later.dump["planning"]["in_use"].i(), 0);
}

// Unit 1, right-clicked in pass 1, is planned at the first tick frame after
// it: frame 10 at speed 1. The wanderers, ordered in frame 0 after that
// frame's tick, wait for frame 10 too.
TEST(UnitsOnMap, FirstTickAfterAnOrderComesAtTheDivisor) {
  const std::string script = "0 tap 1\n1 pointer 400 300\n1 click right\n";
  ScratchDir a, b;
  const GameRun before = run_script(script, 10, a);  // passes 0 .. 9
  const GameRun after = run_script(script, 11, b);
  ASSERT_EQ(before.status, 0) << before.err;
  ASSERT_EQ(after.status, 0) << after.err;
  const Json& u1 = unit_in(before.dump, 1);  // sent to the cell under the pointer
  EXPECT_EQ(std::tuple(u1["target_x"].i(), u1["target_y"].i()),
            std::tuple(before.dump["SX"].i() + 400 / 16, before.dump["SY"].i() + 300 / 16));
  for (const Json& u : after.dump["units"].items) {
    const Json& v = unit_in(before.dump, u["index"].i());
    EXPECT_EQ(std::tuple(v["order_flag"].i(), v["order_state"].i()), std::tuple(1, int(kNewOrder)))
        << u["index"].i();
    EXPECT_NE(u["order_state"].i(), kNewOrder) << u["index"].i();
  }
}

}  // namespace
