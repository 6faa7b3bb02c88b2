#pragma once
// The world map: levels 0 (heights), 1 (surface) and 2 (underworld) of the grid.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t kMapSide = 1024;  // cells per row and column
constexpr int32_t kMapLevels = 3;
constexpr size_t kMapLevelBytes = size_t(kMapSide) * size_t(kMapSide);
constexpr size_t kMapBytes = kMapLevelBytes * kMapLevels;  // 3,145,728
constexpr uint64_t kDefaultMapSeed = 8;

struct CellRect {
  int32_t x = 0, y = 0;  // top-left cell
  int32_t w = 0, h = 0;  // cells
};
struct CellPoint {
  int32_t x = 0, y = 0;  // cells
};

// Made once per generation; the generator's own record of what it placed.
struct WorldMap {
  std::vector<uint8_t> cells;       // kMapBytes: level 0, 1, 2, each row by row (y, then x)
  std::vector<CellRect> dungeons;   // footprints on level 1
  std::vector<CellPoint> villages;  // village wells on level 1
};

WorldMap generate_map(uint64_t seed);

inline size_t map_index(int32_t x, int32_t y, int32_t z) { return size_t(z) * kMapLevelBytes + size_t(y) * size_t(kMapSide) + size_t(x); }
inline uint8_t map_cell(const WorldMap& m, int32_t x, int32_t y, int32_t z) { return m.cells[map_index(x, y, z)]; }

// What the game makes of a level: code shares, enterable cells, obstructed blocks.
struct LevelStats {
  int64_t count[256] = {};  // cells per code
  double enterable = 0;     // share of cells with a code outside 0..5 and 61
  double obstructed = 0;    // share of blocks holding more than 50 cells of 19 or 20
};
LevelStats level_stats(const uint8_t* level);  // kMapLevelBytes codes
