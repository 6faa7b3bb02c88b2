#include "world/world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

const TileInfo kTileTable[] = {
    {0, "empty", 3},
    {1, "block", 3},
    {2, "grass", 3},
    {3, "dirt", 3},
    {4, "corner", 3},
    {10, "plain", 3},
    {11, "forest", 9},
    {12, "forest_fruit", 18},
    {13, "forest_gray", 42},
    {14, "water", 16},
    {15, "water_deep", 50},
    {16, "swamp_a", 28},
    {17, "desert_a", 30},
    {18, "hills_a", 18},
    {19, "mountain", 300},
    {20, "mountain_high_a", 400},
    {21, "forest_leaf", 15},
    {22, "road_b", 1},
    {23, "forest_b", 3},
    {24, "forest_c", 3},
    {60, "floor", 3},
    {61, "wall", 3000},
    {68, "floor_marble", 3},
    {70, "door", 3},
    {76, "stairsu", 3},
    {77, "stairsd", 3},
    {78, "source_complete", 3},
    {79, "source", 3},
    {80, "spawn", 3},
    {81, "spawn_complete", 3},
    {82, "trap", 20},
    {83, "trap_disabled", 3},
    {84, "fountain", 3},
    {85, "fountain_drank", 3},
    {86, "candelabrum", 3},
    {87, "candelabrum_extinct", 3},
    {88, "coffin", 3},
    {89, "coffin_open", 3},
    {90, "chest", 3},
    {91, "chest_open", 3},
    {100, "scrolls", 3},
    {108, "circle", 3},
    {109, "circle_aflamed", 3},
    {111, "circle_golden", 3},
    {112, "altar", 3},
    {113, "altar_dark", 3},
    {116, "altar_jeweled", 3},
    {128, "torch", 3},
    {161, "floor_bones", 3},
    {162, "floor_bones_cleaned", 3},
    {180, "village_b", 180},
    {181, "village_b_yellow", 180},
    {182, "village_b_blue", 180},
    {183, "village_b_green", 180},
    {184, "village_b_red", 180},
    {188, "ruin_a", 3},
    {189, "castle_a", 3},
    {190, "grottus", 3},
    {191, "mine", 3},
    {192, "iron_mine", 3},
    {193, "forest_leaf", 3},
    {194, "well", 3},
    {196, "dungeon_a", 3},
    {197, "lighttower_a", 3},
    {198, "rift_a", 3},
    {211, "source", 3},
    {212, "source_red", 3},
    {218, "geer_mecanism", 3},
    {219, "lever", 3},
};
const size_t kTileTableSize = std::size(kTileTable);

void set_world_side(World& w, int32_t side) {
  w.side = side;
  w.stride = side * side;
}

void create_world_grid(World& w) {
  w.grid.reset(static_cast<uint8_t*>(std::calloc(world_grid_bytes(w), 1)));
  if (!w.grid) {
    std::fprintf(stderr, "kelvarot: cannot allocate the %zu-byte world grid\n", world_grid_bytes(w));
    std::exit(1);
  }
}

void create_object_table(World& w) {
  w.objects = std::make_unique<PlacedObject[]>(kObjectCapacity);
  w.object_count = 0;
}

void release_world_grid(World& w) { w.grid.reset(); }
void release_object_table(World& w) { w.objects.reset(); }

bool cell_inside(const World& w, int32_t x, int32_t y, int32_t z) {
  return x >= 0 && x < w.side && y >= 0 && y < w.side && z >= 0 && z < kLevelCount;
}

uint8_t cell_at(const World& w, int32_t x, int32_t y, int32_t z) {
  if (!cell_inside(w, x, y, z)) return 0;
  return w.grid[cell_index(w, x, y, z)];
}

void fill_terrain_costs(World& w) {
  for (float& c : w.cost) c = 3.0f;
  for (const TileInfo& t : kTileTable) w.cost[t.code] = t.cost;
}

void add_object(World& w, int32_t x, int32_t y, int32_t level, uint16_t code) {
  if (w.object_count < 1) w.object_count = 1;  // record 0 is never filled
  if (w.object_count >= kObjectCapacity) return;
  w.grid[cell_index(w, x, y, level)] = uint8_t(code);
  PlacedObject& o = w.objects[w.object_count];
  o.flag = 1;
  o.code = code;
  o.x = uint16_t(x);
  o.y = uint16_t(y);
  o.level = uint16_t(level);
  o.value = 0;
  ++w.object_count;
}

const char* tile_name(uint8_t code) {
  for (const TileInfo& t : kTileTable)
    if (t.code == code) return t.name;
  return nullptr;
}
