#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "units/placement.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

// A fresh, empty world of the game's size per test (the grid is lazily zeroed).
struct PlacementTest : ::testing::Test {
  World w;
  UnitTable units;
  Rng rng, replay;
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
    units.records = std::make_unique<UnitRecord[]>(kUnitTableSize);
  }
  uint8_t& at(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  void fill_level(int32_t z, uint8_t code) { std::memset(&at(0, 0, z), code, size_t(w.stride)); }
  int32_t draw(int32_t n) { return rng_next(replay) % n; }
};

bool same_record(const UnitRecord& a, const UnitRecord& b) {
  return a.in_use == b.in_use && a.x == b.x && a.y == b.y && a.level == b.level &&
         a.target_x == b.target_x && a.target_y == b.target_y && a.waypoint_x == b.waypoint_x &&
         a.waypoint_y == b.waypoint_y && a.next_x == b.next_x && a.next_y == b.next_y &&
         a.order_flag == b.order_flag && a.order_state == b.order_state && a.fx == b.fx &&
         a.fy == b.fy && a.fz == b.fz && a.sprite == b.sprite && a.kind == b.kind &&
         a.bar_max == b.bar_max && a.bar_value == b.bar_value && a.inactive == b.inactive &&
         a.bar_state == b.bar_state && a.walk_phase == b.walk_phase;
}
bool all_zero(const UnitRecord& u) { return same_record(u, UnitRecord{}); }

TEST_F(PlacementTest, EmptyWorldPlacesEveryUnitAtItsFirstAttempt) {
  rng_seed(rng, 4242);
  rng_seed(replay, 4242);
  place_units(w, units, rng);
  for (int32_t u = 1; u <= 255; ++u) {
    UnitRecord want;
    want.in_use = 1;
    want.kind = 1;
    want.sprite = 849;
    want.bar_max = want.bar_value = 24.0f;
    want.fx = want.fy = want.fz = 0.5f;
    want.x = want.target_x = uint16_t(draw(1022) + 1);
    want.y = want.target_y = uint16_t(draw(1022) + 1);
    want.level = uint16_t(draw(3));
    if (u == 1) want.level = 1;  // drawn all the same
    ASSERT_TRUE(same_record(unit(units, u), want)) << u;
  }
  EXPECT_TRUE(all_zero(unit(units, 0)));
  for (int32_t u = 256; u < kUnitTableSize; ++u) ASSERT_TRUE(all_zero(unit(units, u))) << u;
}

TEST_F(PlacementTest, UnitsAvoidWallsMountainsForestAndTheOuterRing) {
  // refused codes dominate a random patchwork; objects and other codes are fine
  const uint8_t patch[] = {61, 19, 20, 11, 61, 19, 20, 11, 10, 14, 188, 0};
  rng_seed(replay, 99);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < 1024 * 1024; ++i) at(i % 1024, i / 1024, z) = patch[draw(12)];
  // the outermost ring would be acceptable, but is never drawn
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < 1024; ++i)
      at(i, 0, z) = at(i, 1023, z) = at(0, i, z) = at(1023, i, z) = 10;
  rng_seed(rng, 5);
  place_units(w, units, rng);
  std::set<int> levels;
  for (int32_t u = 1; u <= 255; ++u) {
    const UnitRecord& r = unit(units, u);
    SCOPED_TRACE(u);
    ASSERT_EQ(r.in_use, 1);
    EXPECT_TRUE(r.x >= 1 && r.x <= 1022 && r.y >= 1 && r.y <= 1022);
    ASSERT_LE(r.level, 2);
    const uint8_t code = at(r.x, r.y, r.level);
    EXPECT_TRUE(code != 61 && code != 19 && code != 20 && code != 11) << int(code);
    levels.insert(r.level);
  }
  EXPECT_EQ(unit(units, 1).level, 1);
  EXPECT_EQ(levels, (std::set<int>{0, 1, 2}));
}

TEST_F(PlacementTest, UnitWithoutAnAcceptableCellIsLeftAllZero) {
  fill_level(1, 11);  // unit 1 can only stand on level 1
  rng_seed(rng, 31);
  place_units(w, units, rng);
  EXPECT_TRUE(all_zero(unit(units, 1)));
  // unit 1 spent exactly 1000 attempts of three draws; unit 2 then lands on the
  // first of its attempts that falls on level 0 or 2
  rng_seed(replay, 31);
  for (int32_t i = 0; i < 3000; ++i) rng_next(replay);
  int32_t x, y, level;
  do {
    x = draw(1022) + 1;
    y = draw(1022) + 1;
    level = draw(3);
  } while (level == 1);
  const UnitRecord& second = unit(units, 2);
  EXPECT_TRUE(second.in_use == 1 && second.x == x && second.y == y && second.level == level);
}

}  // namespace
