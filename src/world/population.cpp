#include "world/population.h"

#include <algorithm>
#include <iterator>

#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kCoarseBlocks = 64;     // blocks per row and column of a coarse level
constexpr int32_t kObstructedAbove = 50;  // mountain cells a block may hold and stay open
constexpr int32_t kObjectsPerLevel = 256;
constexpr int32_t kScatterSeed = 96;

// Tile code written by each scattered object kind (index = kind - 1).
constexpr uint8_t kObjectKindCode[] = {
    188,  // 1 ruin_a
    189,  // 2 castle_a
    190,  // 3 grottus
    196,  // 4 dungeon_a
    197,  // 5 lighttower_a
    198,  // 6 rift_a
};
constexpr int32_t kObjectKinds = int32_t(std::size(kObjectKindCode));

bool is_mountain(uint8_t code) { return code == kTileMountain || code == kTileMountainHigh; }

int32_t draw_mod(Rng& rng, int32_t n) { return rng_next(rng) % n; }

}  // namespace

void build_coarse_map(World& w) {
  const int32_t block = w.side / kCoarseBlocks;  // cells
  if (block < 1) return;
  for (int32_t z = 0; z < 3; ++z) {
    for (int32_t by = 0; by + block <= w.side; by += block) {
      for (int32_t bx = 0; bx + block <= w.side; bx += block) {
        int32_t mountains = 0;
        for (int32_t dy = 0; dy < block && mountains <= kObstructedAbove; ++dy) {
          const uint8_t* row = &w.grid[cell_index(w, bx, by + dy, z)];
          for (int32_t dx = 0; dx < block; ++dx) mountains += is_mountain(row[dx]);
        }
        const uint8_t code = mountains > kObstructedAbove ? kTileMountain : kTilePlain;
        w.grid[cell_index(w, bx / block, by / block, kCoarseLevelBase + z)] = code;
      }
    }
  }
}

void scatter_objects(World& w, Rng& rng) {
  rng_seed(rng, kScatterSeed);
  w.object_count = 1;  // record 0 stays empty
  for (int32_t z = 0; z < 3; ++z) {
    for (int32_t i = 0; i < kObjectsPerLevel; ++i) {
      const int32_t x = draw_mod(rng, 1022) + 1;
      const int32_t y = draw_mod(rng, 1022) + 1;
      const int32_t kind = draw_mod(rng, kObjectKinds) + 1;
      // no test of the cell: an object may land on anything, even another object
      add_object(w, x, y, z, kObjectKindCode[kind - 1]);
    }
  }
}
