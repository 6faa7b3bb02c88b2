// Units on the generated map, through the binary: placement, replay, wandering, orders, ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "e2e/harness.h"
#include "units/units.h"

namespace {

std::pair<int64_t, int64_t> cell_of(const Json& u) { return {u["x"].i(), u["y"].i()}; }

TEST(UnitsOnMap, StartUpLoadsEverythingScattersObjectsAndPlacesUnits) {
  ScratchDir dir;
  const GameRun r = run_script("", 1, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& d = r.dump;
  EXPECT_EQ(std::tuple(d["bitmaps_loaded"].i(), d["map_loaded"].i(), d["object_count"].i(),
                       d["planning"]["in_use"].i()),
            std::tuple(217, 3145728, 769, 0));
  EXPECT_EQ(r.err.find("failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("map file"), std::string::npos) << r.err;
  EXPECT_GE(d["units"].size(), 250u);  // where each may stand is checked in-process
  // Unit 1 waits for an order; the view starts on it, clamped inward.
  const Json& u1 = unit_in(d, 1);
  EXPECT_EQ(std::tuple(u1["level"].i(), u1["order_flag"].i()), std::tuple(1, 0));
  EXPECT_EQ(std::tuple(d["SX"].i(), d["SY"].i(), d["SZ"].i()),
            std::tuple(std::clamp<int64_t>(u1["x"].i(), 1, 1023 - 640 / 16),
                       std::clamp<int64_t>(u1["y"].i(), 1, 1023 - 480 / 16), 1));
}

TEST(UnitsOnMap, SameSeedAndScriptReplayExactlyAnotherSeedPlacesElsewhereWanderersMove) {
  const std::string script = "3 tap A\n40 pointer 200 300\n41 click right\n";
  ScratchDir a, b, c, o;
  const GameRun start = run_script("", 1, a, {"--seed", "11"});
  const GameRun later = run_script(script, 300, b, {"--seed", "11"});
  const GameRun again = run_script(script, 300, c, {"--seed", "11"});
  const GameRun other = run_script("", 1, o, {"--seed", "12"});
  for (const GameRun* r : {&start, &later, &again, &other}) ASSERT_EQ(r->status, 0) << r->err;

  const Json &ua = later.dump["units"], &ub = again.dump["units"];
  ASSERT_EQ(ua.size(), ub.size());
  for (size_t i = 0; i < ua.size(); ++i) {
    ASSERT_EQ(ua[i].fields.size(), ub[i].fields.size());
    for (const auto& [key, value] : ua[i].fields)
      ASSERT_EQ(value.number, ub[i][key].number) << "unit " << ua[i]["index"].i() << " " << key;
  }
  int same = 0;
  for (const Json& u : other.dump["units"].items)
    same += cell_of(u) == cell_of(unit_in(start.dump, u["index"].i()));
  EXPECT_LT(same, 10);

  int wanderers = 0, moved = 0, ordered = 0;
  for (const Json& u : start.dump["units"].items) {
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
// it: frame d for divisor d. The wanderers, ordered in frame 0 after that
// frame's tick, wait for frame d too.
TEST(UnitsOnMap, FirstTickAfterAnOrderComesAtTheDivisor) {
  for (auto [key, divisor] : {std::pair{"1", 10}, {"2", 30}, {"3", 60}}) {
    SCOPED_TRACE(divisor);
    const std::string script = std::string("0 tap ") + key + "\n1 pointer 400 300\n1 click right\n";
    ScratchDir a, b;
    const GameRun before = run_script(script, divisor, a);  // passes 0 .. d-1
    const GameRun after = run_script(script, divisor + 1, b);
    ASSERT_EQ(before.status, 0) << before.err;
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(before.dump["tick_divisor"].d(), double(divisor));
    const Json& u1 = unit_in(before.dump, 1);  // sent to the cell under the pointer
    EXPECT_EQ(std::tuple(u1["target_x"].i(), u1["target_y"].i()),
              std::tuple(before.dump["SX"].i() + 400 / 16, before.dump["SY"].i() + 300 / 16));
    int wanderers = 0, planned = 0;
    for (const Json& u : after.dump["units"].items) {
      const Json& v = unit_in(before.dump, u["index"].i());
      EXPECT_EQ(std::tuple(v["order_flag"].i(), v["order_state"].i()), std::tuple(1, int(kNewOrder)))
          << u["index"].i();
      if (u["index"].i() < 2) continue;
      ++wanderers;
      planned += u["order_state"].i() != kNewOrder;
    }
    EXPECT_EQ(planned, wanderers);
    EXPECT_NE(unit_in(after.dump, 1)["order_state"].i(), kNewOrder);
  }
}

}  // namespace
