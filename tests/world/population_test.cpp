#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "units/units.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

// A fresh, empty world of the game's size per test (the grid is lazily zeroed).
struct PopulationTest : ::testing::Test {
  World w;
  UnitTable units;
  Rng rng;
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
    create_object_table(w);
    fill_terrain_costs(w);
    units.records = std::make_unique<UnitRecord[]>(kUnitTableSize);
  }
  uint8_t& at(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  void fill_level(int32_t z, uint8_t code) {
    std::memset(&w.grid[cell_index(w, 0, 0, z)], code, size_t(w.stride));
  }
};

bool all_zero(const UnitRecord& u) {
  return u.in_use == 0 && u.x == 0 && u.y == 0 && u.level == 0 && u.target_x == 0 &&
         u.target_y == 0 && u.waypoint_x == 0 && u.waypoint_y == 0 && u.next_x == 0 &&
         u.next_y == 0 && u.order_flag == 0 && u.order_state == 0 && u.fx == 0 && u.fy == 0 &&
         u.fz == 0 && u.sprite == 0 && u.kind == 0 && u.bar_max == 0 && u.bar_value == 0 &&
         u.inactive == 0 && u.bar_state == 0 && u.walk_phase == 0;
}

bool refused_start(uint8_t code) { return code == 61 || code == 19 || code == 20 || code == 11; }

// --- coarse map ---

TEST_F(PopulationTest, CoarseBlockTurnsObstructedAboveFiftyMountainCells) {
  // block (2, 3) of level 0: 50 mountain cells, mixed 19 and 20, scattered over its rows
  for (int32_t n = 0; n < 50; ++n) at(32 + (n * 7) % 16, 48 + n % 16, 0) = n % 2 ? 19 : 20;
  // block (5, 1) of level 1: 51 of them
  for (int32_t n = 0; n < 51; ++n) at(80 + n % 16, 16 + n / 16, 1) = 19;
  // block (63, 63) of level 2 entirely high mountain
  for (int32_t y = 1008; y < 1024; ++y)
    for (int32_t x = 1008; x < 1024; ++x) at(x, y, 2) = 20;
  build_coarse_map(w);
  EXPECT_EQ(coarse_cell(w, 2, 3, 0), 10);
  EXPECT_EQ(coarse_cell(w, 5, 1, 1), 19);
  EXPECT_EQ(coarse_cell(w, 63, 63, 2), 19);
  // the same cells on the other levels leave those levels' blocks open
  EXPECT_EQ(coarse_cell(w, 5, 1, 0), 10);
  EXPECT_EQ(coarse_cell(w, 63, 63, 1), 10);
  // the block beside a full one is not affected
  EXPECT_EQ(coarse_cell(w, 62, 63, 2), 10);
  EXPECT_EQ(coarse_cell(w, 63, 62, 2), 10);
}

TEST_F(PopulationTest, OnlyMountainCodesCountTowardAnObstructedBlock) {
  // blocks of level 1 filled entirely with one other code each
  const uint8_t others[] = {0, 1, 11, 14, 15, 18, 21, 61, 188, 255};
  for (size_t k = 0; k < std::size(others); ++k)
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) at(int32_t(k) * 16 + x, y, 1) = others[k];
  build_coarse_map(w);
  for (size_t k = 0; k < std::size(others); ++k)
    EXPECT_EQ(coarse_cell(w, int32_t(k), 0, 1), 10) << "code " << int(others[k]);
}

TEST_F(PopulationTest, EmptyWorldGivesAnAllOpenCornerAndNothingOutsideIt) {
  build_coarse_map(w);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t by = 0; by < 64; ++by)
      for (int32_t bx = 0; bx < 64; ++bx) ASSERT_EQ(coarse_cell(w, bx, by, z), 10);
  for (int32_t z = 10; z <= 12; ++z) {
    EXPECT_EQ(at(64, 0, z), 0);
    EXPECT_EQ(at(0, 64, z), 0);
    EXPECT_EQ(at(1023, 1023, z), 0);
  }
  EXPECT_EQ(at(0, 0, 13), 0);
  EXPECT_EQ(at(0, 0, 9), 0);
}

// --- object scatter ---

TEST_F(PopulationTest, ScatterFillsRecordsOneTo768UnderItsOwnSeed) {
  rng_seed(rng, 12345);  // whatever the generator held, the scatter seeds it with 96
  rng_next(rng);
  scatter_objects(w, rng);
  EXPECT_EQ(w.object_count, 769);

  const PlacedObject& none = w.objects[0];
  EXPECT_EQ(none.flag, 0);
  EXPECT_EQ(none.code, 0);
  EXPECT_EQ(none.x, 0);

  constexpr int kKindCodes[] = {188, 189, 190, 196, 197, 198};  // kinds 1..6
  const std::set<int> codes(std::begin(kKindCodes), std::end(kKindCodes));
  std::set<int> seen_codes;
  Rng replay;
  rng_seed(replay, 96);
  for (int32_t i = 1; i <= 768; ++i) {
    const PlacedObject& o = w.objects[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(o.flag, 1);
    EXPECT_EQ(o.level, (i - 1) / 256);
    EXPECT_GE(o.x, 1);
    EXPECT_LE(o.x, 1022);
    EXPECT_GE(o.y, 1);
    EXPECT_LE(o.y, 1022);
    EXPECT_EQ(codes.count(o.code), 1u);
    EXPECT_EQ(o.value, 0);
    seen_codes.insert(o.code);
    // draw order: x, then y, then kind
    const int32_t x = rng_next(replay) % 1022 + 1;
    const int32_t y = rng_next(replay) % 1022 + 1;
    const int32_t kind = rng_next(replay) % 6 + 1;
    EXPECT_EQ(o.x, x);
    EXPECT_EQ(o.y, y);
    EXPECT_EQ(o.code, kKindCodes[kind - 1]);
  }
  EXPECT_EQ(seen_codes, codes);
  EXPECT_EQ(w.objects[769].flag, 0);
  // the scatter leaves the generator where the replay is
  EXPECT_EQ(rng_next(rng), rng_next(replay));
}

TEST_F(PopulationTest, ScatteredObjectsOverwriteTheirCellsAndTheLaterOneWins) {
  fill_level(0, 61);
  fill_level(1, 14);
  fill_level(2, 19);
  scatter_objects(w, rng);
  for (int32_t i = 1; i <= 768; ++i) {
    const PlacedObject& o = w.objects[i];
    // the last record placed on a cell decides its code
    int32_t last = i;
    for (int32_t j = i + 1; j <= 768; ++j)
      if (w.objects[j].x == o.x && w.objects[j].y == o.y && w.objects[j].level == o.level)
        last = j;
    ASSERT_EQ(at(o.x, o.y, o.level), w.objects[last].code) << i;
  }
}

// --- unit placement ---

TEST_F(PopulationTest, EmptyWorldPlacesEveryUnitAtItsFirstAttempt) {
  rng_seed(rng, 4242);
  place_units(w, units, rng);
  Rng replay;
  rng_seed(replay, 4242);
  for (int32_t u = 1; u <= 255; ++u) {
    SCOPED_TRACE(u);
    const int32_t x = rng_next(replay) % 1022 + 1;
    const int32_t y = rng_next(replay) % 1022 + 1;
    int32_t level = rng_next(replay) % 3;
    if (u == 1) level = 1;
    const UnitRecord& r = unit(units, u);
    EXPECT_EQ(r.in_use, 1);
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.level, level);
    EXPECT_EQ(r.target_x, x);
    EXPECT_EQ(r.target_y, y);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(r.inactive, 0);
    EXPECT_EQ(r.order_flag, 0);
    EXPECT_EQ(r.order_state, 0);
    EXPECT_EQ(r.sprite, 849);
    EXPECT_EQ(r.bar_max, 24.0f);
    EXPECT_EQ(r.bar_value, 24.0f);
    EXPECT_EQ(r.fx, 0.5f);
    EXPECT_EQ(r.fy, 0.5f);
    EXPECT_EQ(r.fz, 0.5f);
    EXPECT_EQ(r.bar_state, 0);
    EXPECT_EQ(r.waypoint_x, 0);
    EXPECT_EQ(r.waypoint_y, 0);
    EXPECT_EQ(r.next_x, 0);
    EXPECT_EQ(r.next_y, 0);
    EXPECT_EQ(r.walk_phase, 0.0f);
  }
  EXPECT_TRUE(all_zero(unit(units, 0)));
  for (int32_t u = 256; u < kUnitTableSize; ++u) ASSERT_TRUE(all_zero(unit(units, u))) << u;
}

TEST_F(PopulationTest, UnitsAvoidWallsMountainsForestAndTheOuterRing) {
  // levels 0..2 a random patchwork where refused codes dominate
  const uint8_t patch[] = {61, 19, 20, 11, 61, 19, 20, 11, 10, 14, 188, 0};
  Rng paint;
  rng_seed(paint, 99);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t y = 0; y < 1024; ++y)
      for (int32_t x = 0; x < 1024; ++x) at(x, y, z) = patch[rng_next(paint) % std::size(patch)];
  rng_seed(rng, 5);
  place_units(w, units, rng);
  std::set<int> levels;
  for (int32_t u = 1; u <= 255; ++u) {
    const UnitRecord& r = unit(units, u);
    SCOPED_TRACE(u);
    ASSERT_EQ(r.in_use, 1);
    EXPECT_GE(r.x, 1);
    EXPECT_LE(r.x, 1022);
    EXPECT_GE(r.y, 1);
    EXPECT_LE(r.y, 1022);
    EXPECT_LE(r.level, 2);
    EXPECT_FALSE(refused_start(at(r.x, r.y, r.level))) << int(at(r.x, r.y, r.level));
    levels.insert(r.level);
  }
  EXPECT_EQ(unit(units, 1).level, 1);
  EXPECT_EQ(levels, (std::set<int>{0, 1, 2}));
}

TEST_F(PopulationTest, UnitsMayStartOnObjectsButNeverOnTheRing) {
  // only scattered-object cells and the outermost ring are acceptable
  for (int32_t z = 0; z < 3; ++z) {
    fill_level(z, 19);
    for (int32_t i = 0; i < 1024; ++i) {
      at(i, 0, z) = at(i, 1023, z) = at(0, i, z) = at(1023, i, z) = 10;
    }
  }
  for (int32_t y = 1; y < 1023; y += 2)
    for (int32_t x = 1; x < 1023; x += 2)
      for (int32_t z = 0; z < 3; ++z) at(x, y, z) = 190;
  rng_seed(rng, 77);
  place_units(w, units, rng);
  for (int32_t u = 1; u <= 255; ++u) {
    const UnitRecord& r = unit(units, u);
    ASSERT_EQ(r.in_use, 1) << u;
    EXPECT_EQ(at(r.x, r.y, r.level), 190) << u;
  }
}

TEST_F(PopulationTest, UnitWithoutAnAcceptableCellIsLeftAllZero) {
  fill_level(1, 11);  // unit 1 can only stand on level 1
  rng_seed(rng, 31);
  place_units(w, units, rng);
  EXPECT_TRUE(all_zero(unit(units, 1)));
  // unit 1 spent exactly 1000 attempts of three draws; unit 2 then lands
  // on the first of its attempts that falls on level 0 or 2
  Rng replay;
  rng_seed(replay, 31);
  for (int32_t i = 0; i < 3000; ++i) rng_next(replay);
  int32_t x, y, level;
  do {
    x = rng_next(replay) % 1022 + 1;
    y = rng_next(replay) % 1022 + 1;
    level = rng_next(replay) % 3;
  } while (level == 1);
  const UnitRecord& second = unit(units, 2);
  EXPECT_EQ(second.in_use, 1);
  EXPECT_EQ(second.x, x);
  EXPECT_EQ(second.y, y);
  EXPECT_EQ(second.level, level);
  for (int32_t u = 2; u <= 255; ++u) EXPECT_NE(unit(units, u).level, 1) << u;
}

TEST_F(PopulationTest, NoAcceptableCellAnywhereLeavesTheWholeTableZero) {
  fill_level(0, 20);
  fill_level(1, 61);
  fill_level(2, 11);
  rng_seed(rng, 8);
  place_units(w, units, rng);
  for (int32_t u = 0; u < kUnitTableSize; ++u) ASSERT_TRUE(all_zero(unit(units, u))) << u;
}

// --- trig tables ---

TEST(TrigTables, EveryEntryIsTheDoubleSineRoundedToFloat) {
  TrigTables t;
  build_trig_tables(t);
  ASSERT_TRUE(t.sine);
  ASSERT_TRUE(t.cosine);
  EXPECT_EQ(t.sine[90000], 1.0f);
  EXPECT_EQ(t.cosine[0], 1.0f);
  EXPECT_EQ(t.sine[0], 0.0f);
  // The game's factor is not pi/180: 180 degrees lands a little short of pi.
  EXPECT_GT(t.sine[180000], 0.0f);
  const double factor = 0.017453292516666667;  // radians per degree
  int64_t mismatches = 0;
  for (int32_t i = 0; i < kTrigEntries; ++i) {
    const double radians = double(i) * factor / 1000.0;
    if (t.sine[i] != float(std::sin(radians)) || t.cosine[i] != float(std::cos(radians))) {
      if (++mismatches < 5) ADD_FAILURE() << "entry " << i;
    }
  }
  EXPECT_EQ(mismatches, 0);
  release_trig_tables(t);
  EXPECT_FALSE(t.sine);
  EXPECT_FALSE(t.cosine);
}

TEST(TrigTables, BuiltOnlyOnce) {
  TrigTables t;
  build_trig_tables(t);
  const float* sine = t.sine.get();
  const float* cosine = t.cosine.get();
  t.sine[5] = 7.0f;
  build_trig_tables(t);
  EXPECT_EQ(t.sine.get(), sine);
  EXPECT_EQ(t.cosine.get(), cosine);
  EXPECT_EQ(t.sine[5], 7.0f);
}

}  // namespace
