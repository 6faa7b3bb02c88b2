#pragma once
// The world grid, tile codes and the placed-object table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

constexpr int32_t kWorldSide = 1024;      // cells per row and column
constexpr int32_t kLevelCount = 180;      // levels 0..179
constexpr int32_t kCoarseLevelBase = 10;  // coarse map of level z lives on level 10 + z
constexpr int32_t kObjectCapacity = 1000;

// Tile codes the game and the map maker test or write; world/tiletable.h
// holds what each named code costs and shows.
enum TileCode : uint8_t {
  kTileEmpty = 0,
  kTileBlock = 1,
  kTileGrass = 2,
  kTileDirt = 3,
  kTileCorner = 4,
  kTilePlain = 10,
  kTileForest = 11,
  kTileForestFruit = 12,
  kTileForestGray = 13,
  kTileWater = 14,
  kTileWaterDeep = 15,
  kTileSwamp = 16,
  kTileDesert = 17,
  kTileHills = 18,
  kTileMountain = 19,
  kTileMountainHigh = 20,
  kTileForestLeaf = 21,
  kTileRoad = 22,
  kTileForestB = 23,
  kTileForestC = 24,
  kTileFloor = 60,  // '<'
  kTileWall = 61,   // '='
  kTileFloorMarble = 68,
  kTileDoor = 70,
  kTileStairsUp = 76,
  kTileStairsDown = 77,
  kTileTrap = 82,
  kTileBones = 161,
  kTileBonesCleaned = 162,
  kTileVillage = 180,
  kTileRuin = 188,
  kTileCastle = 189,
  kTileGrotto = 190,
  kTileMine = 191,
  kTileIronMine = 192,
  kTileGrove = 193,
  kTileWell = 194,
  kTileDungeonSign = 196,
  kTileLighthouse = 197,
  kTileRift = 198,
};

struct PlacedObject {
  uint16_t x = 0;      // cells
  uint16_t y = 0;      // cells
  uint16_t level = 0;  // 0..2 for objects placed at start
  uint8_t flag = 0;    // 1 = filled
  uint16_t code = 0;   // tile code written into the object's cell
  int32_t value = 0;   // always 0; nothing reads it
};

// calloc'd so the 180 MB grid costs nothing until a level is touched
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

// Created once during start-up loading, lives until shutdown. The cells are private: reads
// go through cell_at or grid_cells, every write through set_cell, which counts it.
struct World {
  int32_t side = 0;                         // cells; set to 1024 first thing at start
  int32_t stride = 0;                       // cells from one level to the next (side * side)
  std::unique_ptr<PlacedObject[]> objects;  // kObjectCapacity records, 0 never filled
  int32_t object_count = 0;                 // index of the next free record

 private:
  std::unique_ptr<uint8_t[], FreeDeleter> grid;  // side * side * kLevelCount tile codes
  // Writes since loading, per square region of each level: whoever keeps something read
  // from a window can tell that nothing in it has changed since.
  std::unique_ptr<uint64_t[], FreeDeleter> region_edits;

  friend void create_world_grid(World& w);
  friend void release_world_grid(World& w);
  friend const uint8_t* grid_cells(const World& w);
  friend void set_cell(World& w, int32_t x, int32_t y, int32_t z, uint8_t code);
  friend uint64_t writes_in(const World& w, int32_t x, int32_t y, int32_t z, int32_t size);
  friend int64_t load_overworld_map(World& w, const std::string& path, uint32_t levels,
                                    std::string* why);
  friend void build_coarse_map(World& w);
};

constexpr int32_t kEditRegion = 64;  // cells per side of a region whose writes are counted

// Sets the side and the stride; allocates nothing.
void set_world_side(World& w, int32_t side);
// Allocates the grid zero-filled (188,743,680 bytes at side 1024) and its write counts.
void create_world_grid(World& w);
void create_object_table(World& w);
void release_world_grid(World& w);
void release_object_table(World& w);

inline size_t world_grid_bytes(const World& w) { return size_t(w.stride) * size_t(kLevelCount); }

// The addressing rule; callers take care of bounds.
inline size_t cell_index(const World& w, int32_t x, int32_t y, int32_t z) {
  return size_t(z) * size_t(w.stride) + size_t(y) * size_t(w.side) + size_t(x);
}

// The cells, addressed by cell_index, for readers that walk rows; null before the grid is made.
const uint8_t* grid_cells(const World& w);
// Bounds-tested read: 0 outside the grid.
uint8_t cell_at(const World& w, int32_t x, int32_t y, int32_t z);
bool cell_inside(const World& w, int32_t x, int32_t y, int32_t z);
// Every write to the grid after loading goes through here, so that it is counted. A cell
// outside the grid is left alone: the flat index would wrap onto another row or level.
void set_cell(World& w, int32_t x, int32_t y, int32_t z, uint8_t code);
// The writes so far in the regions a square of `size` cells at (x, y) on level z touches:
// any write inside the square raises it. The square must lie inside the grid.
uint64_t writes_in(const World& w, int32_t x, int32_t y, int32_t z, int32_t size);

// Writes the code into the cell and fills the next object record.
void add_object(World& w, int32_t x, int32_t y, int32_t level, uint16_t code);

// Code classes used by the path search.
constexpr bool tile_enterable(uint8_t code) { return code > 5 && code != kTileWall; }
constexpr bool tile_open_ground(uint8_t code) {
  return code == kTilePlain || code == kTileForest || code == kTileHills || code == kTileFloor;
}
