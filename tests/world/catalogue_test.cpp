#include "world/catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "world/bitmap.h"

namespace {

std::string env_or(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v ? v : fallback;
}

// The generated pictures sit in the build folder once the generator exists.
// Until then there is nothing to check; after that, missing data is a failure.
bool generator_exists() {
  return std::filesystem::exists(env_or("KV_SOURCE_DIR", "..") +
                                 std::string("/tools/assetgen/CMakeLists.txt"));
}

// Slots the overworld view draws for tile codes, with the code they stand for.
struct TileSlot {
  int32_t slot;
  const char* shown_for;
};
const TileSlot kDungeonSlots[] = {
    {119, "60 floor"},           {111, "61 wall"},
    {118, "68 floor_marble"},    {128, "70 door"},
    {137, "76 stairsu"},         {136, "77 stairsd"},
    {131, "78 source_complete"}, {130, "79 source"},
    {132, "80 spawn"},           {133, "81 spawn_complete"},
    {148, "82 trap"},            {149, "83 trap_disabled"},
    {134, "84 fountain"},        {135, "85 fountain_drank"},
    {122, "86 candelabrum"},     {123, "87 candelabrum_extinct"},
    {124, "88 coffin"},          {125, "89 coffin_open"},
    {120, "90 chest"},           {121, "91 chest_open"},
    {167, "100 scrolls"},        {140, "108 circle"},
    {142, "109 circle_aflamed"}, {141, "111 circle_golden"},
    {144, "112 altar"},          {146, "113 altar_dark"},
    {145, "116 altar_jeweled"},  {152, "128 torch"},
    {126, "161 floor_bones"},    {127, "162 floor_bones_cleaned"},
    {160, "211 source"},         {161, "212 source_red"},
    {155, "218 geer_mecanism"},  {156, "219 lever"},
};

class GeneratedCatalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    store = new BitmapStore;
    create_bitmap_store(*store);
    if (generator_exists()) result = load_catalogue(*store, env_or("KV_BUILD_DIR", "."));
  }
  static void TearDownTestSuite() {
    release_bitmap_store(*store);
    delete store;
  }
  void SetUp() override {
    if (!generator_exists()) GTEST_SKIP() << "no asset generator in this tree yet";
  }

  // Drawn cell by cell: 16 x 16, and square because the blitters take the width for both sides.
  static void expect_tile(int32_t slot, const std::string& what) {
    SCOPED_TRACE("slot " + std::to_string(slot) + " " + what);
    ASSERT_TRUE(slot_loaded(*store, slot));
    EXPECT_EQ(store->slots[slot].width, 16u);
    EXPECT_EQ(store->slots[slot].height, 16u);
  }

  static BitmapStore* store;
  static CatalogueLoad result;
};
BitmapStore* GeneratedCatalogue::store = nullptr;
CatalogueLoad GeneratedCatalogue::result;

TEST_F(GeneratedCatalogue, EveryFileLoads) {
  EXPECT_EQ(result.loaded, kCatalogueSize)
      << "failed: " << result.first_failed << " (the build draws them; target assetgen_data)";
  EXPECT_EQ(result.failed, 0);
}

TEST_F(GeneratedCatalogue, OverworldTilesAndSprites) {
  expect_tile(0, "blank");
  for (int32_t slot = 10; slot <= 24; ++slot) expect_tile(slot, "land");
  for (int32_t slot : {180, 181, 182, 183, 184, 188, 189, 190, 191, 192, 193, 194, 196, 197, 198})
    expect_tile(slot, "land feature");
  for (const TileSlot& d : kDungeonSlots) expect_tile(d.slot, d.shown_for);
  expect_tile(849, "the sprite of every placed unit");
}

TEST_F(GeneratedCatalogue, CubeTexturesAreSquarePowersOfTwo) {
  for (int32_t slot = 1200; slot <= 1206; ++slot) {
    SCOPED_TRACE(slot);
    ASSERT_TRUE(slot_loaded(*store, slot));
    const uint32_t w = store->slots[slot].width;
    EXPECT_EQ(store->slots[slot].height, w);
    EXPECT_TRUE(w >= 1 && (w & (w - 1)) == 0) << w;
  }
}

TEST_F(GeneratedCatalogue, CursorAndIntro) {
  EXPECT_TRUE(slot_loaded(*store, 1104));
  ASSERT_TRUE(slot_loaded(*store, 1000));
  EXPECT_EQ(store->slots[1000].width, 640u);
  EXPECT_EQ(store->slots[1000].height, 480u);
}

TEST_F(GeneratedCatalogue, MapEightIsAFullMap) {
  const std::filesystem::path map = env_or("KV_BUILD_DIR", ".") + std::string("/map/8.overworld");
  ASSERT_TRUE(std::filesystem::exists(map)) << map;
  EXPECT_EQ(std::filesystem::file_size(map), 3u * 1024 * 1024);
}

}  // namespace
