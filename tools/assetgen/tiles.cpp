#include "assetgen/tiles.h"

#include <iterator>

const TilePicture kTilePictures[] = {
    {10, "bmp_land", "plain"},
    {11, "bmp_land", "forest"},
    {12, "bmp_land", "forest_fruit"},
    {13, "bmp_land", "forest_gray"},
    {14, "bmp_land", "water"},
    {15, "bmp_land", "water_deep"},
    {16, "bmp_land", "swamp_a"},
    {17, "bmp_land", "desert_a"},
    {18, "bmp_land", "hills_a"},  // forest_fruit on level 0, desert_a on level 2
    {19, "bmp_land", "mountain"},
    {20, "bmp_land", "mountain_high_a"},
    {21, "bmp_land", "forest_leaf"},
    {22, "bmp_land", "road_b"},
    {23, "bmp_land", "forest_b"},
    {24, "bmp_land", "forest_c"},
    {60, "bmp_dungeon", "floor"},
    {61, "bmp_dungeon", "wall"},
    {68, "bmp_dungeon", "floor_marble"},
    {70, "bmp_dungeon", "door"},
    {76, "bmp_dungeon", "stairsu"},
    {77, "bmp_dungeon", "stairsd"},
    {78, "bmp_dungeon", "source_complete"},
    {79, "bmp_dungeon", "source"},
    {80, "bmp_dungeon", "spawn"},
    {81, "bmp_dungeon", "spawn_complete"},
    {82, "bmp_dungeon", "trap"},
    {83, "bmp_dungeon", "trap_disabled"},
    {84, "bmp_dungeon", "fountain"},
    {85, "bmp_dungeon", "fountain_drank"},
    {86, "bmp_dungeon", "candelabrum"},
    {87, "bmp_dungeon", "candelabrum_extinct"},
    {88, "bmp_dungeon", "coffin"},
    {89, "bmp_dungeon", "coffin_open"},
    {90, "bmp_dungeon", "chest"},
    {91, "bmp_dungeon", "chest_open"},
    {100, "bmp_dungeon", "scrolls"},
    {108, "bmp_dungeon", "circle"},
    {109, "bmp_dungeon", "circle_aflamed"},
    {111, "bmp_dungeon", "circle_golden"},
    {112, "bmp_dungeon", "altar"},
    {113, "bmp_dungeon", "altar_dark"},
    {116, "bmp_dungeon", "altar_jeweled"},
    {128, "bmp_dungeon", "torch"},
    {161, "bmp_dungeon", "floor_bones"},
    {162, "bmp_dungeon", "floor_bones_cleaned"},
    {180, "bmp_land", "village_b"},
    {181, "bmp_land", "village_b_yellow"},
    {182, "bmp_land", "village_b_blue"},
    {183, "bmp_land", "village_b_green"},
    {184, "bmp_land", "village_b_red"},
    {188, "bmp_land", "ruin_a"},
    {189, "bmp_land", "castle_a"},
    {190, "bmp_land", "grottus"},
    {191, "bmp_land", "mine"},
    {192, "bmp_land", "iron_mine"},
    {193, "bmp_land", "forest_leaf"},
    {194, "bmp_land", "well"},
    {196, "bmp_land", "dungeon_a"},
    {197, "bmp_land", "lighttower_a"},
    {198, "bmp_land", "rift_a"},
    {211, "bmp_dungeon", "source"},
    {212, "bmp_dungeon", "source_red"},
    {218, "bmp_dungeon", "geer_mecanism"},
    {219, "bmp_dungeon", "lever"},
};
const size_t kTilePictureCount = std::size(kTilePictures);

const TilePicture* tile_picture(uint8_t code, int32_t level) {
  static const TilePicture kHillsBelow[] = {
      {18, "bmp_land", "forest_fruit"},  // level 0
      {18, "bmp_land", "desert_a"},      // level 2
  };
  if (code == 18) {
    if (level == 0) return &kHillsBelow[0];
    if (level == 2) return &kHillsBelow[1];
    if (level != 1) return nullptr;
  }
  for (const TilePicture& t : kTilePictures)
    if (t.code == code) return &t;
  return nullptr;
}
