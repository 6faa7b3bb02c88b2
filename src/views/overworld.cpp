#include "views/overworld.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "render/framebuffer.h"
#include "render/line.h"
#include "render/text.h"
#include "core/runstate.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/tiles.h"
#include "world/bitmap.h"
#include "world/world.h"

namespace {

constexpr int32_t kCellPixels = 16;
constexpr int32_t kRouteMarkerSlot = 22;  // road_b
constexpr int16_t kNoPicture = -1;
constexpr int16_t kByLevel = -2;          // hills: the picture depends on the level

struct TilePicture {
  uint8_t code;  // tile code
  int16_t slot;  // bitmap slot drawn for it
};

// Which picture each tile code shows; codes not listed draw nothing.
constexpr TilePicture kTilePictures[] = {
    {10, 10},          // plain
    {11, 11},          // forest
    {12, 12},          // forest_fruit
    {13, 13},          // forest_gray
    {14, 14},          // water
    {15, 15},          // water_deep
    {16, 16},          // swamp_a
    {17, 17},          // desert_a
    {18, kByLevel},    // hills: see kHillsByLevel
    {19, 19},          // mountain
    {20, 20},          // mountain_high_a
    {21, 21},          // forest_leaf
    {22, 22},          // road_b
    {23, 23},          // forest_b
    {24, 24},          // forest_c
    {'<', 119},        // floor
    {'=', 111},        // wall
    {'D', 118},        // floor_marble
    {'F', 128},        // door
    {'L', 137},        // stairsu
    {'M', 136},        // stairsd
    {'N', 131},        // source_complete
    {'O', 130},        // source
    {'P', 132},        // spawn
    {'Q', 133},        // spawn_complete
    {'R', 148},        // trap
    {'S', 149},        // trap_disabled
    {'T', 134},        // fountain
    {'U', 135},        // fountain_drank
    {'V', 122},        // candelabrum
    {'W', 123},        // candelabrum_extinct
    {'X', 124},        // coffin
    {'Y', 125},        // coffin_open
    {'Z', 120},        // chest
    {'[', 121},        // chest_open
    {'d', 167},        // scrolls
    {'l', 140},        // circle
    {'m', 142},        // circle_aflamed
    {'o', 141},        // circle_golden
    {'p', 144},        // altar
    {'q', 146},        // altar_dark
    {'t', 145},        // altar_jeweled
    {128, 152},        // torch
    {161, 126},        // floor_bones
    {162, 127},        // floor_bones_cleaned
    {180, 180},        // village_b
    {181, 181},        // village_b_yellow
    {182, 182},        // village_b_blue
    {183, 183},        // village_b_green
    {184, 184},        // village_b_red
    {188, 188},        // ruin_a
    {189, 189},        // castle_a
    {190, 190},        // grottus
    {191, 191},        // mine
    {192, 192},        // iron_mine
    {193, 193},        // forest_leaf
    {194, 194},        // well
    {196, 196},        // dungeon_a
    {197, 197},        // lighttower_a
    {198, 198},        // rift_a
    {211, 160},        // source
    {212, 161},        // source_red
    {218, 155},        // geer_mecanism
    {219, 156},        // lever
};

// Code 18 by level: the heights show it as fruit forest, the surface as
// hills, the underworld as desert; other levels show nothing.
constexpr int16_t kHillsByLevel[] = {
    12,  // level 0: forest_fruit
    18,  // level 1: hills_a
    17,  // level 2: desert_a
};

constexpr std::array<int16_t, 256> slot_lookup() {
  std::array<int16_t, 256> t{};
  for (int16_t& s : t) s = kNoPicture;
  for (const TilePicture& p : kTilePictures) t[p.code] = p.slot;
  return t;
}
constexpr std::array<int16_t, 256> kSlotOfCode = slot_lookup();

int32_t picture_slot(uint8_t code, int32_t level) {
  const int16_t s = kSlotOfCode[code];
  if (s != kByLevel) return s;
  if (level < 0 || level >= int32_t(std::size(kHillsByLevel))) return kNoPicture;
  return kHillsByLevel[level];
}

// A cell's offset from the origin in pixels, kept well inside int32 so that
// sprites far off the picture are simply clipped.
int32_t cell_pixels(int64_t cell, int64_t origin) {
  return int32_t(std::clamp<int64_t>((cell - origin) * kCellPixels, -(1 << 20), 1 << 20));
}

void draw_terrain(Framebuffer& fb, const RunState& run, const World& w, const BitmapStore& bm,
                  int32_t cols, int32_t rows) {
  const int32_t z = run.SZ;
  if (z < 0 || z >= kLevelCount || !w.grid) return;
  // Only the part of the window that lies on the grid: after a switch from
  // the small resolution the origin may leave columns and rows past its edge.
  const int64_t c0 = std::max<int64_t>(0, -int64_t(run.SX));
  const int64_t c1 = std::min<int64_t>(cols, int64_t(w.side) - run.SX);
  const int64_t r0 = std::max<int64_t>(0, -int64_t(run.SY));
  const int64_t r1 = std::min<int64_t>(rows, int64_t(w.side) - run.SY);
  for (int64_t c = c0; c < c1; ++c) {
    for (int64_t r = r0; r < r1; ++r) {
      const uint8_t code =
          w.grid[cell_index(w, int32_t(run.SX + c), int32_t(run.SY + r), z)];
      const int32_t slot = picture_slot(code, z);
      if (slot != kNoPicture)
        draw_tile(fb, bm, int32_t(c) * kCellPixels, int32_t(r) * kCellPixels, slot);
    }
  }
}

void draw_route(Framebuffer& fb, const RunState& run, const BitmapStore& bm,
                const UnitTable& units, const PathSearch& ps) {
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

void draw_units(Framebuffer& fb, const RunState& run, const BitmapStore& bm,
                const UnitTable& units, TextBuffer& text, int32_t cols, int32_t rows) {
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
    draw_line(fb, px, py + 16, px + 14, py + 16, 255, 0, 0);
    int32_t end = 0;
    if (u.bar_state == 0 && green_bar_end(fb, px, u, &end))
      draw_line(fb, px, py + 16, end, py + 16, 0, 255, 0);
    text_print(text, "%d ms%d ", i, u.order_flag);
    draw_small_text(fb, text, px, py + 17, 255, 255, 255);
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
