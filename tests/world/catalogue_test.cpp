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

// Drawn cell by cell by the blitters, which take the width for both sides:
// 16 x 16 for every slot the overworld view draws and the unit sprite.
TEST_F(GeneratedCatalogue, OverworldTilesAndSpritesAreSixteenSquare) {
  std::vector<int32_t> slots{0, 849, 111, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128,
                             130, 131, 132, 133, 134, 135, 136, 137, 140, 141, 142, 144, 145, 146,
                             148, 149, 152, 155, 156, 160, 161, 167};
  for (int32_t s = 10; s <= 24; ++s) slots.push_back(s);
  for (int32_t s : {180, 181, 182, 183, 184, 188, 189, 190, 191, 192, 193, 194, 196, 197, 198})
    slots.push_back(s);
  for (int32_t slot : slots) {
    ASSERT_TRUE(slot_loaded(*store, slot)) << slot;
    EXPECT_EQ(store->slots[slot].width, 16u) << slot;
    EXPECT_EQ(store->slots[slot].height, 16u) << slot;
  }
}

TEST_F(GeneratedCatalogue, CubeTexturesAreSquarePowersOfTwoAndTheIntroFillsTheScreen) {
  for (int32_t slot = 1200; slot <= 1206; ++slot) {
    ASSERT_TRUE(slot_loaded(*store, slot)) << slot;
    const uint32_t w = store->slots[slot].width;
    EXPECT_EQ(store->slots[slot].height, w) << slot;
    EXPECT_TRUE(w >= 1 && (w & (w - 1)) == 0) << slot << ": " << w;
  }
  EXPECT_TRUE(slot_loaded(*store, 1104));  // the cursor
  ASSERT_TRUE(slot_loaded(*store, 1000));
  EXPECT_EQ(store->slots[1000].width, 640u);
  EXPECT_EQ(store->slots[1000].height, 480u);
}

}  // namespace
