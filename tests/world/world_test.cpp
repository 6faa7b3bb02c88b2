#include <gtest/gtest.h>

#include "world/rng.h"
#include "world/world.h"

#include <cstdlib>

namespace {

struct WorldTest : ::testing::Test {
  static World* w;
  static void SetUpTestSuite() {
    w = new World;
    set_world_side(*w, kWorldSide);
    create_world_grid(*w);
    create_object_table(*w);
    fill_terrain_costs(*w);
  }
  static void TearDownTestSuite() { delete w; }
};
World* WorldTest::w = nullptr;

TEST_F(WorldTest, GridIsOneZeroFilledBlockAddressedLevelByLevel) {
  EXPECT_EQ(w->stride, 1048576);
  EXPECT_EQ(world_grid_bytes(*w), 188743680u);
  // the last cell is the last byte; rows follow x, levels follow rows
  EXPECT_EQ(cell_index(*w, 1023, 1023, 179), 188743679u);
  EXPECT_EQ(cell_index(*w, 0, 1, 0), 1024u);
  EXPECT_EQ(cell_index(*w, 0, 0, 1), 1048576u);
  EXPECT_EQ(cell_index(*w, 0, 1, 1), 1049600u);
  const uint8_t* g = w->grid.get();
  for (size_t i = 0; i < world_grid_bytes(*w); i += 4093) ASSERT_EQ(g[i], 0) << i;
  EXPECT_EQ(g[world_grid_bytes(*w) - 1], 0);
}

TEST_F(WorldTest, CellAtIsBoundedAndCoarseCellsLiveTenLevelsUp) {
  w->grid[cell_index(*w, 5, 6, 7)] = 61;
  EXPECT_EQ(cell_at(*w, 5, 6, 7), 61);
  EXPECT_EQ(cell_at(*w, -1, 0, 0), 0);
  EXPECT_EQ(cell_at(*w, 1024, 0, 0), 0);
  EXPECT_EQ(cell_at(*w, 0, 1024, 0), 0);
  EXPECT_EQ(cell_at(*w, 0, 0, 180), 0);
  EXPECT_EQ(cell_at(*w, 0, 0, -1), 0);
  w->grid[cell_index(*w, 63, 63, 12)] = 19;
  EXPECT_EQ(coarse_cell(*w, 63, 63, 2), 19);
  EXPECT_EQ(coarse_cell(*w, 64, 0, 0), 0);
  w->grid[cell_index(*w, 5, 6, 7)] = 0;
  w->grid[cell_index(*w, 63, 63, 12)] = 0;
}

TEST_F(WorldTest, TerrainCostsAndCodeClasses) {
  EXPECT_FLOAT_EQ(terrain_cost(*w, 22), 1.0f);
  EXPECT_FLOAT_EQ(terrain_cost(*w, 61), 3000.0f);
  EXPECT_FLOAT_EQ(terrain_cost(*w, 7), 3.0f);
  EXPECT_FLOAT_EQ(terrain_cost(*w, 20), 400.0f);
  EXPECT_FLOAT_EQ(terrain_cost(*w, 82), 20.0f);
  for (int c = 180; c <= 184; ++c) EXPECT_FLOAT_EQ(terrain_cost(*w, uint8_t(c)), 180.0f);
  int costly = 0;
  for (int c = 0; c < 256; ++c)
    if (terrain_cost(*w, uint8_t(c)) != 3.0f) ++costly;
  EXPECT_EQ(costly, 19);  // 11..22 but not 23/24, 61, 82, 180..184
  for (int c = 0; c < 256; ++c) {
    const bool blocked = c <= 5 || c == 61;
    EXPECT_EQ(tile_enterable(uint8_t(c)), !blocked) << c;
    const bool open = c == 10 || c == 11 || c == 18 || c == 60;
    EXPECT_EQ(tile_open_ground(uint8_t(c)), open) << c;
  }
}

TEST_F(WorldTest, AddObjectWritesTheCellAndTheNextRecord) {
  create_object_table(*w);
  add_object(*w, 10, 20, 1, 189);
  add_object(*w, 10, 20, 1, 196);  // same cell: the grid keeps the later code
  EXPECT_EQ(w->object_count, 3);
  EXPECT_EQ(w->objects[0].flag, 0);
  EXPECT_EQ(w->objects[1].code, 189);
  EXPECT_EQ(w->objects[2].code, 196);
  EXPECT_EQ(w->objects[2].x, 10);
  EXPECT_EQ(w->objects[2].y, 20);
  EXPECT_EQ(w->objects[2].level, 1);
  EXPECT_EQ(w->objects[2].flag, 1);
  EXPECT_EQ(cell_at(*w, 10, 20, 1), 196);
  // the table never overflows
  for (int i = 0; i < 2000; ++i) add_object(*w, 1, 1, 0, 188);
  EXPECT_EQ(w->object_count, kObjectCapacity);
  w->grid[cell_index(*w, 10, 20, 1)] = 0;
  w->grid[cell_index(*w, 1, 1, 0)] = 0;
}

TEST(Rng, MatchesTheCLibraryGenerator) {
  for (unsigned seed : {0u, 1u, 96u, 1733000000u, 4294967295u}) {
    std::srand(seed);
    Rng g;
    rng_seed(g, seed);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(rng_next(g), std::rand()) << seed << " draw " << i;
  }
}

}  // namespace
