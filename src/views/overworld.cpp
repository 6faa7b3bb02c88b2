#include "views/overworld.h"

#include <algorithm>
#include <cmath>

#include "core/geometry.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/line.h"
#include "render/text.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/tiles.h"
#include "world/bitmap.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

// The route is marked with the road's picture, drawn keyed.
constexpr int32_t kRouteMarkerSlot = tile_picture_slot(kTileRoad, 1);

// A cell's offset from the origin in pixels, kept well inside int32 so that
// sprites far off the picture are simply clipped.
int32_t cell_pixels(int64_t cell, int64_t origin) {
  return int32_t(std::clamp<int64_t>((cell - origin) * kCellPixels, -(1 << 20), 1 << 20));
}

void draw_terrain(Framebuffer& fb, const RunState& run, const World& w, const BitmapStore& bm,
                  int32_t cols, int32_t rows) {
  const int32_t z = run.SZ;
  if (z < 0 || z >= kLevelCount || !grid_cells(w)) return;
  // Only the part of the window that lies on the grid: after a switch from
  // the small resolution the origin may leave columns and rows past its edge.
  const int64_t c0 = std::max<int64_t>(0, -int64_t(run.SX));
  const int64_t c1 = std::min<int64_t>(cols, int64_t(w.side) - run.SX);
  const int64_t r0 = std::max<int64_t>(0, -int64_t(run.SY));
  const int64_t r1 = std::min<int64_t>(rows, int64_t(w.side) - run.SY);
  for (int64_t c = c0; c < c1; ++c) {
    for (int64_t r = r0; r < r1; ++r) {
      const uint8_t code =
          grid_cells(w)[cell_index(w, int32_t(run.SX + c), int32_t(run.SY + r), z)];
      const int32_t slot = tile_picture_slot(code, z);
      if (slot != kNoPicture)
        draw_tile(fb, bm, int32_t(c) * kCellPixels, int32_t(r) * kCellPixels, slot);
    }
  }
}

void draw_route(Framebuffer& fb, const RunState& run, const BitmapStore& bm, const UnitTable& units,
                const PathSearch& ps) {
  const int32_t s = run.selected_unit;
  if (s < 0 || s >= kUnitTableSize) return;
  const UnitRecord& u = unit(units, s);
  if (u.in_use != 1) return;
  if (ps.path_cursor) {
    const int32_t n = std::min(ps.path_cursor[s], kUnitPathCapacity - 1);
    for (int32_t i = n; i >= 0; --i)  // the goal, cell 0, last
      draw_sprite(fb, bm, cell_pixels(path_cell_x(ps, s, i), run.SX),
                  cell_pixels(path_cell_y(ps, s, i), run.SY), kRouteMarkerSlot);
  }
  draw_sprite(fb, bm, cell_pixels(u.x, run.SX), cell_pixels(u.y, run.SY), kRouteMarkerSlot);
}

// End column of the green bar: 14 pixels at full value, in single precision.
// Horizontal, so moving the end to the picture's edge changes no pixel; that
// keeps an infinite length (a zero maximum) from overflowing the conversion.
bool green_bar_end(const Framebuffer& fb, int32_t px, const UnitRecord& u, int32_t* end) {
  const float len = float(px) + (14.0f * u.bar_value) / u.bar_max;
  if (std::isnan(len)) return false;
  *end = int32_t(std::clamp(len, -1.0f, float(fb.width)));
  return true;
}

void draw_units(Framebuffer& fb, const RunState& run, const BitmapStore& bm, const UnitTable& units,
                TextBuffer& text, int32_t cols, int32_t rows) {
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const UnitRecord& u = unit(units, i);
    if (u.in_use != 1 || u.inactive != 0) continue;
    if (u.kind != 1 && u.kind != 3 && u.kind != 9) continue;
    if (u.level != run.SZ) continue;
    const int64_t dx = int64_t(u.x) - run.SX;
    const int64_t dy = int64_t(u.y) - run.SY;
    if (dx < 0 || dx >= cols || dy < 0 || dy >= rows) continue;
    const int32_t px = int32_t(dx) * kCellPixels;
    const int32_t py = int32_t(dy) * kCellPixels;
    draw_sprite(fb, bm, px, py, u.sprite);
    // the bars on the row above the cell, the label above them
    const int32_t bar_y = py + kCellPixels;
    draw_line(fb, px, bar_y, px + 14, bar_y, 255, 0, 0);
    int32_t end = 0;
    if (u.bar_state == 0 && green_bar_end(fb, px, u, &end))
      draw_line(fb, px, bar_y, end, bar_y, 0, 255, 0);
    text_print(text, "%d ms%d ", i, u.order_flag);
    draw_small_text(fb, text, px, bar_y + 1, 255, 255, 255);
  }
}

}  // namespace

void draw_overworld_view(Framebuffer& fb, const RunState& run, const World& w,
                         const BitmapStore& bm, const UnitTable& units, const PathSearch& ps,
                         TextBuffer& text) {
  const int32_t cols = fb.width / kCellPixels;
  const int32_t rows = fb.height / kCellPixels;
  draw_terrain(fb, run, w, bm, cols, rows);
  if (!units.records) return;
  draw_route(fb, run, bm, units, ps);
  draw_units(fb, run, bm, units, text, cols, rows);
}
