#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "world/catalogue.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

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
  EXPECT_EQ(world_grid_bytes(*w), 188743680u);
  // rows follow x, levels follow rows; the last cell is the last byte
  for (auto [x, y, z, index] : {std::tuple{0, 1, 0, 1024u}, {0, 0, 1, 1048576u},
                                {0, 1, 1, 1049600u}, {1023, 1023, 179, 188743679u}})
    EXPECT_EQ(cell_index(*w, x, y, z), index);
  const uint8_t* g = w->grid.get();
  for (size_t i = 0; i < world_grid_bytes(*w); i += 4093) ASSERT_EQ(g[i], 0) << i;
  EXPECT_EQ(g[world_grid_bytes(*w) - 1], 0);
}

TEST_F(WorldTest, CellAtIsBoundedAndCoarseCellsLiveTenLevelsUp) {
  w->grid[cell_index(*w, 5, 6, 7)] = 61;
  w->grid[cell_index(*w, 63, 63, 12)] = 19;
  EXPECT_EQ(cell_at(*w, 5, 6, 7), 61);
  for (auto [x, y, z] : {std::tuple{-1, 0, 0}, {1024, 0, 0}, {0, 1024, 0}, {0, 0, 180}, {0, 0, -1}})
    EXPECT_EQ(cell_at(*w, x, y, z), 0) << x << "," << y << "," << z;
  EXPECT_EQ(coarse_cell(*w, 63, 63, 2), 19);
  EXPECT_EQ(coarse_cell(*w, 64, 0, 0), 0);
  w->grid[cell_index(*w, 5, 6, 7)] = w->grid[cell_index(*w, 63, 63, 12)] = 0;
}

TEST_F(WorldTest, CodesWithoutARowCostThree) {
  for (int code : {5, 7, 59, 255}) EXPECT_FLOAT_EQ(terrain_cost(*w, uint8_t(code)), 3.0f) << code;
}

// A row's picture slot and the catalogue agree on the picture's name.
TEST(TileTable, EachPictureIsTheCataloguePictureOfTheTilesName) {
  int pictures = 0;
  for (const TileInfo& t : kTileTable) {
    const int32_t slot = tile_picture_slot(t.code, 1);
    if (slot == kNoPicture) continue;
    ++pictures;
    const CatalogueEntry* e = catalogue_entry(slot);
    ASSERT_NE(e, nullptr) << "code " << int(t.code) << ": slot " << slot << " is never loaded";
    EXPECT_STREQ(e->file, t.name) << "code " << int(t.code) << ": slot " << slot;
  }
  EXPECT_GT(pictures, 60);
  // hills are fruit forest on the heights and desert in the underworld
  for (auto [level, file] : {std::pair{0, "forest_fruit"}, {1, "hills_a"}, {2, "desert_a"}}) {
    const CatalogueEntry* e = catalogue_entry(tile_picture_slot(kTileHills, level));
    ASSERT_NE(e, nullptr) << level;
    EXPECT_STREQ(e->file, file) << level;
  }
  EXPECT_EQ(tile_picture_slot(kTileHills, 3), kNoPicture);
}

TEST_F(WorldTest, AddObjectWritesTheCellAndTheNextRecordAndNeverOverflows) {
  create_object_table(*w);
  add_object(*w, 10, 20, 1, 189);
  add_object(*w, 10, 20, 1, 196);  // same cell: the grid keeps the later code
  EXPECT_EQ(w->object_count, 3);
  EXPECT_EQ(w->objects[0].flag, 0);
  EXPECT_EQ(w->objects[1].code, 189);
  const PlacedObject& o = w->objects[2];
  EXPECT_TRUE(o.code == 196 && o.x == 10 && o.y == 20 && o.level == 1 && o.flag == 1);
  EXPECT_EQ(cell_at(*w, 10, 20, 1), 196);
  for (int i = 0; i < 2000; ++i) add_object(*w, 1, 1, 0, 188);
  EXPECT_EQ(w->object_count, kObjectCapacity);
  w->grid[cell_index(*w, 10, 20, 1)] = w->grid[cell_index(*w, 1, 1, 0)] = 0;
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
