#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "units/units.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int kKindCodes[] = {188, 189, 190, 196, 197, 198};  // object kinds 1..6

// A fresh, empty world of the game's size per test (the grid is lazily zeroed).
struct PopulationTest : ::testing::Test {
  World w;
  UnitTable units;
  Rng rng, replay;
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
    create_object_table(w);
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

TEST_F(PopulationTest, CoarseBlockTurnsObstructedAboveFiftyMountainCells) {
  // level 0 block (2, 3): 50 mountain cells, mixed 19 and 20; level 1 block (5, 1): 51;
  // level 2: the last block all 20
  for (int32_t n = 0; n < 50; ++n) at(32 + n % 16, 48 + n / 16, 0) = n % 2 ? 19 : 20;
  for (int32_t n = 0; n < 51; ++n) at(80 + n % 16, 16 + n / 16, 1) = 19;
  for (int32_t c = 0; c < 256; ++c) at(1008 + c % 16, 1008 + c / 16, 2) = 20;
  // level 1 blocks (k, 0) each full of one other code
  const uint8_t others[] = {0, 1, 11, 14, 15, 18, 21, 61, 188, 255};
  for (size_t k = 0; k < std::size(others); ++k)
    for (int32_t c = 0; c < 256; ++c) at(int32_t(k) * 16 + c % 16, c / 16, 1) = others[k];
  build_coarse_map(w);
  // each level has its own coarse level, ten up, filling only its 64 x 64 corner
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t b = 0; b < 64 * 64; ++b) {
      const bool obstructed = (z == 1 && b == 64 + 5) || (z == 2 && b == 64 * 64 - 1);
      ASSERT_EQ(coarse_cell(w, b % 64, b / 64, z), obstructed ? 19 : 10) << b << " on " << z;
    }
  for (int32_t z = 10; z <= 12; ++z)
    EXPECT_TRUE(at(64, 0, z) == 0 && at(0, 64, z) == 0 && at(1023, 1023, z) == 0) << z;
  EXPECT_TRUE(at(0, 0, 9) == 0 && at(0, 0, 13) == 0);
}

TEST_F(PopulationTest, ScatterFillsRecordsOneTo768UnderItsOwnSeedAndTheLaterObjectWins) {
  fill_level(0, 61);
  fill_level(1, 14);
  fill_level(2, 19);
  rng_seed(rng, 12345);  // whatever the generator held, the scatter seeds it with 96
  scatter_objects(w, rng);
  EXPECT_EQ(w.object_count, 769);
  EXPECT_TRUE(w.objects[0].flag == 0 && w.objects[0].code == 0 && w.objects[769].flag == 0);
  rng_seed(replay, 96);
  std::set<int> seen;
  for (int32_t i = 1; i <= 768; ++i) {
    const PlacedObject& o = w.objects[i];
    SCOPED_TRACE(i);
    EXPECT_TRUE(o.flag == 1 && o.value == 0);
    EXPECT_EQ(o.level, (i - 1) / 256);
    seen.insert(o.code);
    // draw order: x, then y, then kind; x and y in 1..1022
    EXPECT_EQ(o.x, draw(1022) + 1);
    EXPECT_EQ(o.y, draw(1022) + 1);
    EXPECT_EQ(o.code, kKindCodes[draw(6)]);
    int32_t last = i;
    for (int32_t j = i + 1; j <= 768; ++j)
      if (w.objects[j].x == o.x && w.objects[j].y == o.y && w.objects[j].level == o.level) last = j;
    ASSERT_EQ(at(o.x, o.y, o.level), w.objects[last].code);
  }
  EXPECT_EQ(seen, std::set<int>(std::begin(kKindCodes), std::end(kKindCodes)));
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // and leaves the generator there
}

TEST_F(PopulationTest, EmptyWorldPlacesEveryUnitAtItsFirstAttempt) {
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

TEST_F(PopulationTest, UnitsAvoidWallsMountainsForestAndTheOuterRing) {
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

TEST_F(PopulationTest, UnitWithoutAnAcceptableCellIsLeftAllZero) {
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

TEST(TrigTables, EveryEntryIsTheDoubleSineRoundedToFloatAndBuiltOnce) {
  TrigTables t;
  build_trig_tables(t);
  ASSERT_TRUE(t.sine && t.cosine);
  EXPECT_TRUE(t.sine[90000] == 1.0f && t.cosine[0] == 1.0f && t.sine[0] == 0.0f);
  EXPECT_GT(t.sine[180000], 0.0f);  // the game's factor falls just short of pi/180
  const double factor = 0.017453292516666667;  // radians per degree
  int64_t mismatches = 0;
  for (int32_t i = 0; i < kTrigEntries; ++i) {
    const double radians = double(i) * factor / 1000.0;
    if ((t.sine[i] != float(std::sin(radians)) || t.cosine[i] != float(std::cos(radians))) &&
        ++mismatches < 5)
      ADD_FAILURE() << "entry " << i;
  }
  EXPECT_EQ(mismatches, 0);
  const float* sine = t.sine.get();
  t.sine[5] = 7.0f;
  build_trig_tables(t);  // already there: left alone
  EXPECT_TRUE(t.sine.get() == sine && t.sine[5] == 7.0f);
  release_trig_tables(t);
  EXPECT_FALSE(t.sine || t.cosine);
}

}  // namespace
