#include "views/minimap.h"

#include "core/geometry.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "units/units.h"
#include "world/world.h"

namespace {

constexpr int32_t kMinimapSide = 64;  // pixels, one per coarse block
constexpr uint8_t kOpenBlock = 10;
constexpr uint8_t kObstructedBlock = 19;

}  // namespace

bool pointer_strictly_inside_minimap(const RunState& run, int32_t x, int32_t y) {
  const int64_t x0 = run.minimap_x, y0 = run.minimap_y;
  return x0 < x && x < x0 + kMinimapSide && y0 < y && y < y0 + kMinimapSide;
}

void minimap_jump(RunState& run, bool right_button, int32_t px, int32_t py) {
  if (!right_button) return;
  const int64_t ox = int64_t(px) - run.minimap_x;
  const int64_t oy = int64_t(py) - run.minimap_y;
  if (ox < 0 || ox >= kMinimapSide || oy < 0 || oy >= kMinimapSide) return;
  // Unclamped: view navigation pulls the origin back into range later in the pass.
  run.SX = int32_t(ox) * kBlockCells;
  run.SY = int32_t(oy) * kBlockCells;
}

void draw_minimap(Framebuffer& fb, const RunState& run, const World& w, const UnitTable& units) {
  const int32_t x0 = run.minimap_x, y0 = run.minimap_y;
  // Levels 170 and up have no coarse level inside the grid.
  const int64_t coarse = int64_t(run.SZ) + kCoarseLevelBase;
  if (grid_cells(w) && coarse >= 0 && coarse < kLevelCount) {
    const int32_t n = w.side < kMinimapSide ? w.side : kMinimapSide;
    for (int32_t i = 0; i < n; ++i) {
      for (int32_t j = 0; j < n; ++j) {
        const uint8_t code = grid_cells(w)[cell_index(w, i, j, int32_t(coarse))];
        if (code == kObstructedBlock) put_pixel(fb, x0 + i, y0 + j, 128, 128, 128);
        else if (code == kOpenBlock) put_pixel(fb, x0 + i, y0 + j, 0, 128, 0);
      }
    }
  }
  if (units.records) {
    for (int32_t k = 0; k < kUnitTableSize; ++k) {
      const UnitRecord& u = unit(units, k);
      if (u.in_use != 1 || u.level != run.SZ) continue;
      if (u.x <= 0 || u.x >= w.side - 1 || u.y <= 0 || u.y >= w.side - 1) continue;
      put_pixel(fb, x0 + u.x / kBlockCells, y0 + u.y / kBlockCells, 255, 0, 0);
    }
  }
  put_pixel(fb, x0 + run.SX / kBlockCells, y0 + run.SY / kBlockCells, 255, 255, 255);
}
