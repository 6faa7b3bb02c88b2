#pragma once
// The grid as start-up left it, and the cells changed since: what a saved game keeps of the
// world instead of its 180 levels.
#include <cstdint>
#include <vector>

#include "world/world.h"

constexpr int32_t kStartLevels = 3;  // levels the map file fills; the scatter writes only these

// Taken once the world is populated and before any pass; the cells of the levels start-up
// fills, and the write count of every region, so that only regions written since are compared.
struct GridBaseline {
  std::vector<uint8_t> start_cells;     // levels 0..kStartLevels-1, then the coarse levels' rows
  std::vector<uint64_t> region_writes;  // by level, region row, region column
  uint64_t checksum = 0;                // of the levels the map file filled
  bool taken = false;
};

struct CellChange {
  uint32_t index;  // cell_index of the cell
  uint8_t code;
};

void take_baseline(const World& w, GridBaseline& b);
// CRC-32 of the levels the map file fills, as start-up left them: tells one map from another.
uint64_t start_checksum(const World& w);
// The cells whose code differs from the baseline, in rising index order.
std::vector<CellChange> changed_cells(const World& w, const GridBaseline& b);
