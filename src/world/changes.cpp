#include "world/changes.h"

#include <zlib.h>

#include <algorithm>

namespace {

// The coarse levels start-up builds hold a square of blocks in their first rows.
constexpr int32_t kCoarseRows = 64;

int32_t regions_per_row(const World& w) { return (w.side + kEditRegion - 1) / kEditRegion; }

size_t coarse_offset(const World& w) { return size_t(w.stride) * kStartLevels; }

// Where start-up left a cell: the levels it fills come from the copy, all others were zero.
uint8_t start_code(const World& w, const GridBaseline& b, int32_t x, int32_t y, int32_t z) {
  if (z < kStartLevels) return b.start_cells[cell_index(w, x, y, z)];
  const int32_t coarse = z - kCoarseLevelBase;
  if (coarse >= 0 && coarse < kStartLevels && y < kCoarseRows)
    return b.start_cells[coarse_offset(w) + size_t(coarse) * size_t(kCoarseRows) * size_t(w.side) +
                         size_t(y) * size_t(w.side) + size_t(x)];
  return 0;
}

template <class Fn>
void each_region(const World& w, Fn fn) {
  const int32_t n = regions_per_row(w);
  for (int32_t z = 0; z < kLevelCount; ++z)
    for (int32_t ry = 0; ry < n; ++ry)
      for (int32_t rx = 0; rx < n; ++rx) fn(rx * kEditRegion, ry * kEditRegion, z);
}

// A region's count of writes; the last row and column of regions may be cut by the edge.
uint64_t region_writes(const World& w, int32_t x, int32_t y, int32_t z) {
  return writes_in(w, x, y, z, std::min(kEditRegion, w.side - std::max(x, y)));
}

}  // namespace

uint64_t start_checksum(const World& w) {
  const uint8_t* cells = grid_cells(w);
  if (!cells) return 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  const size_t bytes = size_t(w.stride) * kStartLevels;
  for (size_t at = 0; at < bytes; at += 1u << 30)
    crc = crc32(crc, cells + at, uInt(std::min<size_t>(bytes - at, 1u << 30)));
  return crc;
}

void take_baseline(const World& w, GridBaseline& b) {
  const uint8_t* cells = grid_cells(w);
  const size_t start = coarse_offset(w);
  b.start_cells.assign(cells, cells + start);
  b.start_cells.resize(start + size_t(kStartLevels) * kCoarseRows * size_t(w.side));
  for (int32_t c = 0; c < kStartLevels; ++c) {
    const uint8_t* from = cells + cell_index(w, 0, 0, kCoarseLevelBase + c);
    std::copy_n(
        from, size_t(kCoarseRows) * size_t(w.side),
        b.start_cells.begin() + ptrdiff_t(start) + ptrdiff_t(c) * kCoarseRows * ptrdiff_t(w.side));
  }
  b.region_writes.clear();
  each_region(w, [&](int32_t x, int32_t y, int32_t z) {
    b.region_writes.push_back(region_writes(w, x, y, z));
  });
  b.checksum = start_checksum(w);
  b.taken = true;
}

std::vector<CellChange> changed_cells(const World& w, const GridBaseline& b) {
  std::vector<CellChange> out;
  if (!b.taken) return out;
  const uint8_t* cells = grid_cells(w);
  size_t region = 0;
  each_region(w, [&](int32_t x0, int32_t y0, int32_t z) {
    if (region_writes(w, x0, y0, z) == b.region_writes[region++]) return;
    const int32_t x1 = std::min(x0 + kEditRegion, w.side), y1 = std::min(y0 + kEditRegion, w.side);
    for (int32_t y = y0; y < y1; ++y)
      for (int32_t x = x0; x < x1; ++x) {
        const size_t i = cell_index(w, x, y, z);
        if (cells[i] != start_code(w, b, x, y, z)) out.push_back({uint32_t(i), cells[i]});
      }
  });
  std::sort(out.begin(), out.end(),
            [](const CellChange& a, const CellChange& c) { return a.index < c.index; });
  return out;
}
