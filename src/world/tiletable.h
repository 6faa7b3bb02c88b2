#pragma once
// Every named tile code: what entering it costs and the picture the overworld shows for it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

constexpr float kDefaultTerrainCost = 3.0f;  // codes not in the table cost this too
constexpr int16_t kNoPicture = -1;           // the overworld draws nothing for the code
constexpr int16_t kPictureByLevel = -2;      // see kHillsPictures

struct TileInfo {
  uint8_t code;
  const char* name;  // also the file name of its overworld picture, where it has one
  float cost;        // terrain cost of entering the cell
  int16_t picture;   // bitmap slot of its overworld picture
};

// In code order.
inline constexpr TileInfo kTileTable[] = {
    {0, "empty", 3, kNoPicture},
    {1, "block", 3, kNoPicture},
    {2, "grass", 3, kNoPicture},
    {3, "dirt", 3, kNoPicture},
    {4, "corner", 3, kNoPicture},
    {10, "plain", 3, 10},
    {11, "forest", 9, 11},
    {12, "forest_fruit", 18, 12},
    {13, "forest_gray", 42, 13},
    {14, "water", 16, 14},
    {15, "water_deep", 50, 15},
    {16, "swamp_a", 28, 16},
    {17, "desert_a", 30, 17},
    {18, "hills_a", 18, kPictureByLevel},
    {19, "mountain", 300, 19},
    {20, "mountain_high_a", 400, 20},
    {21, "forest_leaf", 15, 21},
    {22, "road_b", 1, 22},
    {23, "forest_b", 3, 23},
    {24, "forest_c", 3, 24},
    {60, "floor", 3, 119},
    {61, "wall", 3000, 111},
    {68, "floor_marble", 3, 118},
    {70, "door", 3, 128},
    {76, "stairsu", 3, 137},
    {77, "stairsd", 3, 136},
    {78, "source_complete", 3, 131},
    {79, "source", 3, 130},
    {80, "spawn", 3, 132},
    {81, "spawn_complete", 3, 133},
    {82, "trap", 20, 148},
    {83, "trap_disabled", 3, 149},
    {84, "fountain", 3, 134},
    {85, "fountain_drank", 3, 135},
    {86, "candelabrum", 3, 122},
    {87, "candelabrum_extinct", 3, 123},
    {88, "coffin", 3, 124},
    {89, "coffin_open", 3, 125},
    {90, "chest", 3, 120},
    {91, "chest_open", 3, 121},
    {100, "scrolls", 3, 167},
    {108, "circle", 3, 140},
    {109, "circle_aflamed", 3, 142},
    {111, "circle_golden", 3, 141},
    {112, "altar", 3, 144},
    {113, "altar_dark", 3, 146},
    {116, "altar_jeweled", 3, 145},
    {128, "torch", 3, 152},
    {161, "floor_bones", 3, 126},
    {162, "floor_bones_cleaned", 3, 127},
    {180, "village_b", 180, 180},
    {181, "village_b_yellow", 180, 181},
    {182, "village_b_blue", 180, 182},
    {183, "village_b_green", 180, 183},
    {184, "village_b_red", 180, 184},
    {188, "ruin_a", 3, 188},
    {189, "castle_a", 3, 189},
    {190, "grottus", 3, 190},
    {191, "mine", 3, 191},
    {192, "iron_mine", 3, 192},
    {193, "forest_leaf", 3, 193},  // the same picture as 21, loaded twice
    {194, "well", 3, 194},
    {196, "dungeon_a", 3, 196},
    {197, "lighttower_a", 3, 197},
    {198, "rift_a", 3, 198},
    {211, "source", 3, 160},  // the same picture as 79, loaded twice
    {212, "source_red", 3, 161},
    {218, "geer_mecanism", 3, 155},
    {219, "lever", 3, 156},
};

constexpr bool codes_ascend() {
  for (size_t i = 1; i < std::size(kTileTable); ++i)
    if (kTileTable[i].code <= kTileTable[i - 1].code) return false;
  return true;
}
static_assert(codes_ascend(), "one row per code, in code order");

// Code 18's picture by level: the heights show it as fruit forest, the
// surface as hills, the underworld as desert; other levels show nothing.
inline constexpr int16_t kHillsPictures[] = {12, 18, 17};

inline constexpr std::array<int16_t, 256> kPictureOfCode = [] {
  std::array<int16_t, 256> t{};
  t.fill(kNoPicture);
  for (const TileInfo& r : kTileTable) t[r.code] = r.picture;
  return t;
}();

// The price of entering a cell, by code. It never changes while the game runs: the path
// search orders its open nodes by it.
inline constexpr std::array<float, 256> kTerrainCost = [] {
  std::array<float, 256> t{};
  t.fill(kDefaultTerrainCost);
  for (const TileInfo& r : kTileTable) t[r.code] = r.cost;
  return t;
}();

// Bitmap slot the overworld draws for a code on a level, or kNoPicture.
constexpr int32_t tile_picture_slot(uint8_t code, int32_t level) {
  const int16_t s = kPictureOfCode[code];
  if (s != kPictureByLevel) return s;
  if (level < 0 || level >= int32_t(std::size(kHillsPictures))) return kNoPicture;
  return kHillsPictures[level];
}
