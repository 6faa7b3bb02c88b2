#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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
    units.records = std::make_unique<UnitRecord[]>(kUnitTableSize);  // zeroed, padding too
  }
  uint8_t& at(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  int32_t draw(int32_t n) { return rng_next(replay) % n; }
  void seed(uint32_t s) { rng_seed(rng, s), rng_seed(replay, s); }
};

bool same_record(const UnitRecord& a, const UnitRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(PlacementTest, EmptyWorldPlacesEveryUnitAtItsFirstAttempt) {
  seed(4242);
  place_units(w, units, rng);
  for (int32_t u = 1; u <= 255; ++u) {
    UnitRecord want{};
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
  for (int32_t u : {0, 256, kUnitTableSize - 1}) EXPECT_TRUE(same_record(unit(units, u), {})) << u;
}

TEST_F(PlacementTest, UnitsAvoidWallsMountainsAndForest) {
  // refused codes dominate a random patchwork; objects and other codes are fine
  const uint8_t patch[] = {61, 19, 20, 11, 61, 19, 20, 11, 10, 14, 188, 0};
  seed(99);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < 1024 * 1024; ++i) at(i % 1024, i / 1024, z) = patch[draw(12)];
  place_units(w, units, rng);
  for (int32_t u = 1; u <= 255; ++u) {
    const UnitRecord& r = unit(units, u);
    ASSERT_EQ(r.in_use, 1) << u;
    const uint8_t code = at(r.x, r.y, r.level);
    EXPECT_TRUE(code != 61 && code != 19 && code != 20 && code != 11) << u << " " << int(code);
  }
}

TEST_F(PlacementTest, UnitWithoutAnAcceptableCellIsLeftAllZero) {
  std::memset(&at(0, 0, 1), 11, size_t(w.stride));  // unit 1 can only stand on level 1
  seed(33);  // attempts 1000 and 1001 draw level 2 here: a miscounted limit shows
  place_units(w, units, rng);
  EXPECT_TRUE(same_record(unit(units, 1), {}));
  // unit 1 spent exactly 1000 attempts of three draws; unit 2 then lands on the
  // first of its attempts that falls on level 0 or 2
  for (int32_t i = 0; i < 3000; ++i) rng_next(replay);
  int32_t x, y, level;
  do {
    x = draw(1022) + 1;
    y = draw(1022) + 1;
    level = draw(3);
  } while (level == 1);
  const UnitRecord& second = unit(units, 2);
  EXPECT_EQ(std::tuple(second.in_use, second.x, second.y, second.level), std::tuple(1, x, y, level));
}

}  // namespace
