#include "world/world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void set_world_side(World& w, int32_t side) {
  w.side = side;
  w.stride = side * side;
}

namespace {
int32_t regions_per_row(const World& w) { return (w.side + kEditRegion - 1) / kEditRegion; }
}  // namespace

void create_world_grid(World& w) {
  const size_t regions = size_t(regions_per_row(w)) * size_t(regions_per_row(w)) * kLevelCount;
  w.grid.reset(static_cast<uint8_t*>(std::calloc(world_grid_bytes(w), 1)));
  w.region_edits.reset(static_cast<uint64_t*>(std::calloc(regions, sizeof(uint64_t))));
  if (!w.grid || !w.region_edits) {
    std::fprintf(stderr, "kelvarot: cannot allocate the %zu-byte world grid\n",
                 world_grid_bytes(w));
    std::exit(1);
  }
}

void create_object_table(World& w) {
  w.objects = std::make_unique<PlacedObject[]>(kObjectCapacity);
  w.object_count = 0;
}

void release_world_grid(World& w) {
  w.grid.reset();
  w.region_edits.reset();
}
void release_object_table(World& w) { w.objects.reset(); }

bool cell_inside(const World& w, int32_t x, int32_t y, int32_t z) {
  return x >= 0 && x < w.side && y >= 0 && y < w.side && z >= 0 && z < kLevelCount;
}

const uint8_t* grid_cells(const World& w) { return w.grid.get(); }

uint8_t cell_at(const World& w, int32_t x, int32_t y, int32_t z) {
  if (!cell_inside(w, x, y, z)) return 0;
  return grid_cells(w)[cell_index(w, x, y, z)];
}

void set_cell(World& w, int32_t x, int32_t y, int32_t z, uint8_t code) {
  if (!cell_inside(w, x, y, z)) return;
  w.grid[cell_index(w, x, y, z)] = code;
  const int32_t n = regions_per_row(w);
  ++w.region_edits[(size_t(z) * size_t(n) + size_t(y / kEditRegion)) * size_t(n) +
                   size_t(x / kEditRegion)];
}

uint64_t writes_in(const World& w, int32_t x, int32_t y, int32_t z, int32_t size) {
  const int32_t n = regions_per_row(w);
  uint64_t sum = 0;
  for (int32_t ry = y / kEditRegion; ry <= (y + size - 1) / kEditRegion; ++ry)
    for (int32_t rx = x / kEditRegion; rx <= (x + size - 1) / kEditRegion; ++rx)
      sum += w.region_edits[(size_t(z) * size_t(n) + size_t(ry)) * size_t(n) + size_t(rx)];
  return sum;
}

void add_object(World& w, int32_t x, int32_t y, int32_t level, uint16_t code) {
  if (w.object_count < 1) w.object_count = 1;  // record 0 is never filled
  if (w.object_count >= kObjectCapacity) return;
  set_cell(w, x, y, level, uint8_t(code));
  PlacedObject& o = w.objects[w.object_count];
  o.flag = 1;
  o.code = code;
  o.x = uint16_t(x);
  o.y = uint16_t(y);
  o.level = uint16_t(level);
  o.value = 0;
  ++w.object_count;
}
