// The tile picture table and the level statistics rules, on made-up levels.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assetgen/pictures.h"
#include "assetgen/tiles.h"
#include "assetgen/worldgen.h"

TEST(TilePictures, HillsChangeTheirPictureWithTheLevel) {
  ASSERT_NE(tile_picture(18, 0), nullptr);
  EXPECT_STREQ(tile_picture(18, 0)->file, "forest_fruit");
  EXPECT_STREQ(tile_picture(18, 1)->file, "hills_a");
  EXPECT_STREQ(tile_picture(18, 2)->file, "desert_a");
  EXPECT_EQ(tile_picture(18, 3), nullptr);
  EXPECT_STREQ(tile_picture(10, 5)->file, "plain");
  for (int code : {0, 1, 5, 9, 25, 59, 185, 186, 187, 195, 255}) EXPECT_EQ(tile_picture(uint8_t(code), 1), nullptr) << code;
  EXPECT_STREQ(tile_picture(61, 2)->file, "wall");
  EXPECT_STREQ(tile_picture(211, 1)->file, "source");
  EXPECT_STREQ(tile_picture(193, 1)->file, "forest_leaf");
}

TEST(TilePictures, EveryTilePictureHasARecipe) {
  for (size_t i = 0; i < kTilePictureCount; ++i) {
    const TilePicture& t = kTilePictures[i];
    EXPECT_NE(find_recipe(t.folder, t.file), nullptr) << t.folder << "/" << t.file;
    EXPECT_FALSE(is_sprite(t.folder)) << t.file << " is drawn whole, so it must not be a keyed sprite";
  }
}

TEST(LevelStats, ABlockIsObstructedFromItsFiftyFirstPeak) {
  std::vector<uint8_t> level(kMapLevelBytes, 10);
  // block (0, 0): exactly 50 cells of 19 and 20; block (1, 0): 51
  for (int32_t i = 0; i < 50; ++i) level[size_t(i / 16) * 1024 + size_t(i % 16)] = uint8_t(i % 2 ? 19 : 20);
  for (int32_t i = 0; i < 51; ++i) level[size_t(i / 16) * 1024 + 16 + size_t(i % 16)] = 19;
  // walls, water and empty cells never count
  for (int32_t i = 0; i < 200; ++i) level[size_t(i / 16) * 1024 + 32 + size_t(i % 16)] = uint8_t(i % 3 ? 61 : 14);
  const LevelStats s = level_stats(level.data());
  EXPECT_DOUBLE_EQ(s.obstructed, 1.0 / 4096);
  EXPECT_EQ(s.count[19], 25 + 51);
  EXPECT_EQ(s.count[20], 25);
}

TEST(LevelStats, CodesZeroToFiveAndWallsAreNotEnterable) {
  std::vector<uint8_t> level(kMapLevelBytes, 0);
  // one cell of every code 0..255, the rest 0
  for (int32_t c = 0; c < 256; ++c) level[size_t(c)] = uint8_t(c);
  const LevelStats s = level_stats(level.data());
  EXPECT_DOUBLE_EQ(s.enterable, (256.0 - 7.0) / double(kMapLevelBytes));  // 0..5 and 61 are not
  EXPECT_EQ(s.count[0], int64_t(kMapLevelBytes) - 255);
  EXPECT_EQ(s.count[200], 1);
}
