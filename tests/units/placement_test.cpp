// Where units stand at start, replayed from the same random draws.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "units/placement.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

bool same(const UnitRecord& a, const UnitRecord& b) { return !std::memcmp(&a, &b, sizeof a); }

class Placement : public ::testing::Test {
 protected:
  void SetUp() override {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    for (int32_t z = 0; z < 3; ++z)
      for (int32_t c = 0; c < world.stride; ++c)
        set_cell(world, c % kWorldSide, c / kWorldSide, z, kTilePlain);
    create_unit_table(units);
  }
  void seed(uint32_t s) { rng_seed(rng, s), rng_seed(replay, s); }
  int32_t draw(int32_t n) { return rng_next(replay) % n; }

  World world;
  UnitTable units;
  Rng rng, replay;
};

TEST_F(Placement, OpenWorldPlacesEveryUnitAtItsFirstAttempt) {
  seed(4242);
  place_units(world, units, rng);
  for (int32_t u = 1; u <= 255; ++u) {
    UnitRecord want{};
    want.in_use = 1, want.kind = 1, want.sprite = 849;
    want.bar_max = want.bar_value = 24.0f;
    want.fx = want.fy = want.fz = 0.5f;
    want.x = want.target_x = uint16_t(draw(1022) + 1);
    want.y = want.target_y = uint16_t(draw(1022) + 1);
    want.level = uint16_t(draw(3));
    if (u == 1) want.level = 1;  // drawn all the same
    ASSERT_TRUE(same(unit(units, u), want)) << u;
  }
  for (int32_t u : {0, 256, kUnitTableSize - 1}) EXPECT_TRUE(same(unit(units, u), {})) << u;
}

TEST_F(Placement, UnitsAvoidWallsMountainsAndForestAndGiveUpAfter1000Attempts) {
  // Level 1, the only one unit 1 may stand on, holds nothing but refused codes;
  // levels 0 and 2 are walled where the column is past the row.
  const uint8_t refused[] = {61, 19, 20, 11};
  for (int32_t y = 0; y < 1024; ++y)
    for (int32_t x = 0; x < 1024; ++x) {
      set_cell(world, x, y, 1, refused[(x + 2 * y) % 4]);
      if (x > y) set_cell(world, x, y, 0, 61), set_cell(world, x, y, 2, 61);
    }
  seed(2);  // attempts 1000 and 1001 would both be taken by unit 2: a miscounted limit shows
  place_units(world, units, rng);
  EXPECT_TRUE(same(unit(units, 1), {}));
  for (int32_t u = 2; u <= 255; ++u) {
    const UnitRecord& r = unit(units, u);
    ASSERT_EQ(r.in_use, 1) << u;
    EXPECT_LE(r.x, r.y) << u;
  }
  // unit 1 spent exactly 1000 attempts of three draws; unit 2 then lands on the
  // first of its attempts that falls on open ground
  for (int32_t i = 0; i < 3000; ++i) rng_next(replay);
  int32_t x, y, level;
  do x = draw(1022) + 1, y = draw(1022) + 1, level = draw(3);
  while (level == 1 || x > y);
  EXPECT_EQ(std::tuple(unit(units, 2).x, unit(units, 2).y, unit(units, 2).level),
            std::tuple(x, y, level));
}

}  // namespace
