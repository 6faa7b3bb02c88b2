#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "world/catalogue.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

// Addressing and loading are the map file's tests, placed objects the population's.
TEST(World, OffTheGridReadsEmptyUnlistedCodesCostThreeAndTheObjectTableNeverOverflows) {
  World w;
  set_world_side(w, 4);
  create_world_grid(w);
  create_object_table(w);
  fill_terrain_costs(w);
  std::memset(w.grid.get(), 61, world_grid_bytes(w));  // so a wrapped index reads a wall
  EXPECT_EQ(cell_at(w, 3, 3, kLevelCount - 1), 61);
  for (auto [x, y, z] :
       {std::tuple{-1, 1, 1}, {4, 1, 1}, {1, -1, 1}, {1, 4, 1}, {1, 1, -1}, {1, 1, kLevelCount}})
    EXPECT_EQ(cell_at(w, x, y, z), 0) << x << "," << y << "," << z;
  for (int code : {5, 7, 59, 255}) EXPECT_FLOAT_EQ(terrain_cost(w, uint8_t(code)), 3.0f) << code;
  for (int i = 0; i < 2000; ++i) add_object(w, 1, 1, 0, 188);
  EXPECT_EQ(w.object_count, kObjectCapacity);
  EXPECT_EQ(w.objects[0].flag, 0);  // record 0 is never filled
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
