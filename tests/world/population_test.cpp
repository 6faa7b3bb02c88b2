#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "world/population.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

// A fresh, empty world of the game's size per test (the grid is lazily zeroed).
struct PopulationTest : ::testing::Test {
  World w;
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
    create_object_table(w);
  }
  uint8_t& at(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
};

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
  for (int32_t z = 0; z < 3; ++z) std::memset(&at(0, 0, z), 61 - 20 * z, size_t(w.stride));
  Rng rng, replay;
  rng_seed(rng, 12345);  // whatever the generator held, the scatter seeds it with 96
  scatter_objects(w, rng);
  EXPECT_EQ(w.object_count, 769);
  rng_seed(replay, 96);
  auto draw = [&](int32_t n) { return rng_next(replay) % n; };
  const int kKindCodes[] = {188, 189, 190, 196, 197, 198};  // object kinds 1..6
  for (int32_t i = 1; i <= 768; ++i) {
    const PlacedObject& o = w.objects[i];
    SCOPED_TRACE(i);
    // draw order: x, then y, then kind; x and y in 1..1022
    const int32_t x = draw(1022) + 1, y = draw(1022) + 1, code = kKindCodes[draw(6)];
    EXPECT_TRUE(o.flag == 1 && o.value == 0 && o.level == (i - 1) / 256 && o.x == x && o.y == y &&
                o.code == code);
    int32_t last = i;
    for (int32_t j = i + 1; j <= 768; ++j)
      if (w.objects[j].x == o.x && w.objects[j].y == o.y && w.objects[j].level == o.level) last = j;
    ASSERT_EQ(at(o.x, o.y, o.level), w.objects[last].code);
  }
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // and leaves the generator there
}

// Every entry against the plain formula: the tables are built by rotation, and only
// this catches an entry where that rounds otherwise than the library would.
TEST(TrigTables, EveryEntryIsTheDoubleSineRoundedToFloatAndBuiltOnce) {
  TrigTables t;
  build_trig_tables(t);
  EXPECT_GT(t.sine[180000], 0.0f);             // the game's factor falls just short of pi/180
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
