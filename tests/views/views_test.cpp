// The views: overworld tiles, units and route, the minimap, the screensaver, and
// the block view's wall cubes, read-back, mouse look and walking unit 1. The block
// view's GL cases draw through a real offscreen context (Mesa's surfaceless EGL).
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/geometry.h"
#include "core/keys.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/text.h"
#include "support/gl_context.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/blockview.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"
#include "views/tiles.h"
#include "views/walk.h"
#include "world/bitmap.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

constexpr Rgba kBlack{0, 0, 0, 0}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255},
    kWhite{255, 255, 255, 255}, kBlue{0, 0, 200, 255}, kPlain{0, 200, 0, 255},
    kKeyed{255, 0, 246, 0};

Framebuffer picture(int32_t w, int32_t h) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  return fb;
}

// A picture of w x h pixels whose colour at (column, row from the bottom) is f(c, r).
template <class F>
void make_slot(BitmapStore& bm, int32_t slot, uint32_t w, uint32_t h, F f) {
  Bitmap& b = bm.slots[slot];
  b.width = w, b.height = h, b.bytes_per_pixel = 3;
  b.pixels = std::make_unique<uint8_t[]>(size_t(w) * h * 3);
  for (uint32_t i = 0; i < w * h; ++i) {
    const Rgba v = f(int32_t(i % w), int32_t(i / w));
    std::tie(b.pixels[i * 3], b.pixels[i * 3 + 1], b.pixels[i * 3 + 2]) = std::tie(v.r, v.g, v.b);
  }
}

void make_plain_slot(BitmapStore& bm, int32_t slot, Rgba c) {
  make_slot(bm, slot, 16, 16, [c](int32_t, int32_t) { return c; });
}

bool blank(const Framebuffer& fb) {
  return std::all_of(fb.pixels.begin(), fb.pixels.end(), [](uint8_t b) { return b == 0; });
}

// Every pixel of the 16 x 16 block with bottom-left (x, y) has this colour.
::testing::AssertionResult block_is(const Framebuffer& fb, int32_t x, int32_t y, Rgba want) {
  for (int32_t i = 0; i < 256; ++i)
    if (!(pixel_at(fb, x + i % 16, y + i / 16) == want))
      return ::testing::AssertionFailure() << "pixel (" << x + i % 16 << ", " << y + i / 16 << ")";
  return ::testing::AssertionSuccess();
}

// A small world (side 64) with every store the view reads.
struct Rig {
  Framebuffer fb;
  World w;
  BitmapStore bm;
  UnitTable units;
  PathSearch ps;
  RunState run;
  TextBuffer text;

  explicit Rig(int32_t width = 640, int32_t height = 480, int32_t side = 64) {
    set_resolution(fb, width, height);
    set_world_side(w, side);
    create_world_grid(w);
    create_bitmap_store(bm);
    create_unit_table(units);
    create_path_search(ps, side);
    run.SX = run.SY = 0, run.SZ = 1;
    run.selected_unit = 0;  // record 0, never in use: no route unless a test asks
  }
  uint8_t& cell(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  void fill_plain() {
    make_plain_slot(bm, 10, kPlain);
    for (int32_t i = 0; i < 40 * 30; ++i) cell(i % 40, i / 40, 1) = 10;
  }
  UnitRecord& place(int32_t i, int32_t x, int32_t y, int32_t level, uint16_t sprite = 849) {
    UnitRecord& u = unit(units, i);
    u.in_use = 1, u.kind = 1, u.sprite = sprite;
    u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(level);
    u.bar_max = u.bar_value = 24.0f;
    return u;
  }
  void draw() {
    clear_pixels(fb);
    draw_overworld_view(fb, run, w, bm, units, ps, text);
  }
};

// Where a unit's label puts ink: the label drawn alone on a blank picture.
std::set<std::pair<int32_t, int32_t>> label_ink(int32_t index, int32_t order_flag, int32_t px,
                                                int32_t py) {
  Framebuffer fb = picture(640, 480);
  TextBuffer t;
  text_print(t, "%d ms%d ", index, order_flag);
  draw_small_text(fb, t, px, py + 17, 255, 255, 255);
  std::set<std::pair<int32_t, int32_t>> ink;
  for (int32_t i = 0; i < 640 * 480; ++i)
    if (pixel_at(fb, i % 640, i / 640).a != 0) ink.insert({i % 640, i / 640});
  return ink;
}

// Wherever a picture lands, tile and sprite must be exactly what one
// put_pixel per slot pixel gives: rows bottom first, the width used for both
// sides but never more rows than the slot holds, and (sprites only) the key
// colour and pure black left out, their nearest neighbours kept.
TEST(DrawTile, SamePictureAsPutPixelWhereverItLandsAndNothingWithoutPixels) {
  Rig rig(64, 48);
  uint32_t seed = 12345;
  auto next = [&seed] { return uint8_t((seed = seed * 1103515245u + 12345u) >> 16); };
  // the key, black, one off the key, nearly black, or any colour
  const Rgba near[] = {kKeyed, {0, 0, 0, 0}, {255, 0, 245, 0}, {0, 0, 1, 0}};
  // 16 x 16, 20 x 20, short (9 rows), tall (an 8 x 8 square), wider and taller than the picture
  for (auto [slot, w, h] :
       {std::tuple{30, 16u, 16u}, {31, 20u, 20u}, {32, 16u, 9u}, {33, 8u, 12u}, {34, 150u, 110u}})
    make_slot(rig.bm, slot, w, h, [&](int32_t, int32_t) {
      const uint8_t k = next() % 8;
      return k < 4 ? near[k] : Rgba{next(), next(), next(), 0};
    });
  Framebuffer background = picture(64, 48);
  for (uint8_t& p : background.pixels) p = next();

  // Edges, then random places from far off one side to far off the other, then the extremes.
  std::vector<int32_t> xs{-21, -16, -1, 0, 7, 44, 47, 48, 63, 64},
      ys{-21, -16, -1, 0, 5, 28, 31, 32, 47, 48};
  for (int i = 0; i < 14; ++i) xs.push_back(next() % 260 - 170), ys.push_back(next() % 200 - 130);
  for (int32_t far : {INT32_MIN, INT32_MIN + 20, INT32_MAX - 20, INT32_MAX})
    xs.push_back(far), ys.push_back(far);
  for (int32_t slot : {30, 31, 32, 33, 34})
    for (bool keyed : {false, true})
      for (int32_t y : ys)
        for (int32_t x : xs) {
          rig.fb.pixels = background.pixels;
          Framebuffer want = background;
          const Bitmap& b = rig.bm.slots[slot];
          for (uint32_t r = 0; r < std::min(b.width, b.height); ++r)
            for (uint32_t c = 0; c < b.width; ++c) {
              const uint8_t* p = &b.pixels[(r * b.width + c) * 3];
              const bool key = (p[0] == 255 && p[1] == 0 && p[2] == 246) ||
                               (p[0] == 0 && p[1] == 0 && p[2] == 0);
              const int64_t px = int64_t(x) + c, py = int64_t(y) + r;
              if (!(keyed && key) && px >= 0 && px < 64 && py >= 0 && py < 48)
                put_pixel(want, int32_t(px), int32_t(py), p[0], p[1], p[2]);
            }
          (keyed ? draw_sprite : draw_tile)(rig.fb, rig.bm, x, y, slot);
          ASSERT_EQ(rig.fb.pixels, want.pixels)
              << "slot " << slot << " keyed " << keyed << " at " << x << "," << y;
        }

  // A short pixel read leaves the size but no pixels; 14 was never loaded.
  clear_pixels(rig.fb);
  rig.bm.slots[13].width = rig.bm.slots[13].height = 16;
  for (int32_t slot : {13, 14, -1, kBitmapSlots, 65535}) {
    draw_tile(rig.fb, rig.bm, 0, 0, slot);
    draw_sprite(rig.fb, rig.bm, 0, 0, slot);
  }
  EXPECT_TRUE(blank(rig.fb));
}

TEST(OverworldTerrain, EachCodeShowsItsTablePictureForTheLevelAndNothingOffTheGrid) {
  Rig rig;  // side 64
  auto colour = [](int32_t slot) { return Rgba{uint8_t(slot), 100, 200, 255}; };
  for (int32_t s = 0; s < 256; ++s) make_plain_slot(rig.bm, s, colour(s));
  // code k at (k % 40, k / 40); code 18's picture differs between levels 0, 1 and 2
  for (int32_t z : {0, 1, 2, 5}) {
    for (int32_t k = 0; k < 256; ++k) rig.cell(k % 40, k / 40, z) = uint8_t(k);
    rig.run.SZ = z;
    rig.draw();
    for (int32_t k = 0; k < 256; ++k) {
      const int32_t slot = tile_picture_slot(uint8_t(k), z);
      const Rgba want = slot == kNoPicture ? kBlack : colour(slot);
      EXPECT_TRUE(block_is(rig.fb, k % 40 * 16, k / 40 * 16, want)) << "code " << k << ", " << z;
    }
  }
  // Plain on levels 0 to 2 (what flat storage shows before and past level 1's
  // rows), the view reaching 26 columns and 10 rows past the last column and
  // row; before the first.
  for (int32_t i = 0; i < 3 * 64 * 64; ++i) rig.cell(i % 64, i / 64 % 64, i / 4096) = 10;
  rig.run.SZ = 1;
  for (auto [sx, sy] : {std::pair(50, 44), {-3, -2}}) {
    rig.run.SX = sx, rig.run.SY = sy;
    rig.draw();
    for (int32_t i = 0; i < 40 * 30; ++i) {
      const int32_t x = sx + i % 40, y = sy + i / 40;
      const bool on_grid = x >= 0 && x < 64 && y >= 0 && y < 64;
      ASSERT_TRUE(block_is(rig.fb, i % 40 * 16, i / 40 * 16, on_grid ? colour(10) : kBlack))
          << x << "," << y;
    }
  }
  for (int32_t z : {-1, kLevelCount, 100000}) {  // levels that do not exist
    rig.run.SX = rig.run.SY = 0, rig.run.SZ = z;
    rig.draw();
    EXPECT_TRUE(blank(rig.fb)) << z;
  }
  // The far corner of the largest level: the last byte of the grid.
  rig.cell(63, 63, kLevelCount - 1) = 10;
  rig.run.SX = rig.run.SY = 63, rig.run.SZ = kLevelCount - 1;
  rig.draw();
  EXPECT_TRUE(block_is(rig.fb, 0, 0, colour(10)) && block_is(rig.fb, 16, 0, kBlack));
}

TEST(OverworldUnits, BarIsFourteenPixelsTimesValueOverMaximumOnARedBase) {
  const struct {
    float value, max;
    uint8_t bar_state;
    int32_t green_end;  // last green column; -1 for no green
  } cases[] = {
      {24, 24, 0, 94}, {12, 24, 0, 87}, {0, 24, 0, 80},  // full, half, the first pixel only
      {8, 24, 0, 84},                                    // 4.67 truncated
      {30, 24, 0, 97},  // above the maximum: 17.5, longer than the base
      {24, 24, 1, -1},  // the bar state hides the green
      {0, 0, 0, -1},    // 0 / 0 has no length
      {3, 0, 0, 639},   // a positive value over a zero maximum: to the picture's edge
  };
  const auto ink = label_ink(5, 0, 80, 80);
  for (const auto& k : cases) {
    Rig rig;
    UnitRecord& u = rig.place(5, 5, 5, 1);
    u.bar_value = k.value, u.bar_max = k.max, u.bar_state = k.bar_state;
    rig.draw();
    for (int32_t x = 76; x < 640; ++x) {
      Rgba want = x >= 80 && x <= k.green_end ? kGreen : x >= 80 && x <= 94 ? kRed : kBlack;
      if (ink.count({x, 96})) want = kWhite;
      ASSERT_EQ(pixel_at(rig.fb, x, 96), want) << "value " << k.value << "/" << k.max << " x " << x;
    }
  }
}

TEST(OverworldUnits, LaterIndexOnTheCellDrawnLastKeyedOverTerrainWithItsLabelInWhite) {
  Rig rig;
  rig.fill_plain();
  // Both pictures keyed on their left column: blue and yellow elsewhere.
  constexpr Rgba kYellow{200, 200, 0, 255};
  make_slot(rig.bm, 849, 16, 16, [](int32_t c, int32_t) { return c ? kBlue : kKeyed; });
  make_slot(rig.bm, 850, 16, 16, [](int32_t c, int32_t) { return c ? kYellow : kBlack; });
  rig.place(4, 10, 6, 1, 849).bar_value = 24;  // green across
  UnitRecord& later = rig.place(9, 10, 6, 1, 850);
  later.bar_value = 0, later.order_flag = 1;  // green on the first pixel only
  rig.draw();
  const int32_t px = 160, py = 96;
  const auto ink = label_ink(9, 1, px, py);
  ASSERT_FALSE(ink.empty());
  // The later sprite, bar and label cover the earlier ones.
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t x = px + i % 16, y = py + i / 16;
    ASSERT_EQ(pixel_at(rig.fb, x, y), ink.count({x, y}) ? kWhite : i % 16 == 0 ? kPlain : kYellow);
  }
  for (int32_t x = px + 1; x <= px + 14; ++x)
    EXPECT_EQ(pixel_at(rig.fb, x, py + 16), ink.count({x, py + 16}) ? kWhite : kRed) << x;
  for (const auto& [x, y] : ink) EXPECT_EQ(pixel_at(rig.fb, x, y), kWhite) << x << "," << y;
}

TEST(OverworldUnits, OnlyLiveActiveUnitsOfKindsOneThreeNineOnTheLevelInsideTheWindow) {
  // 648 x 488 leaves half a cell of room beyond the 40 x 30 window, so a unit
  // drawn at column 40 or row 30 would show. Left of and below the origin, the
  // label and bar would reach into the picture.
  const struct {
    uint8_t in_use, inactive;
    uint16_t kind, level;
    int32_t origin, x, y;
    bool drawn;
  } cases[] = {
      {1, 0, 1, 1, 0, 4, 4, true},   {1, 0, 3, 1, 0, 4, 4, true},    {1, 0, 9, 1, 0, 4, 4, true},
      {1, 0, 2, 1, 0, 4, 4, false},  {1, 0, 0, 1, 0, 4, 4, false},   {2, 0, 1, 1, 0, 4, 4, false},
      {0, 0, 1, 1, 0, 4, 4, false},  {1, 1, 1, 1, 0, 4, 4, false},   {1, 0, 1, 0, 0, 4, 4, false},
      {1, 0, 1, 2, 0, 4, 4, false},  {1, 0, 1, 1, 0, 39, 29, true},  {1, 0, 1, 1, 0, 40, 3, false},
      {1, 0, 1, 1, 0, 3, 30, false}, {1, 0, 1, 1, 10, 9, 10, false}, {1, 0, 1, 1, 10, 10, 9, false},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << int(k.in_use) << " " << int(k.inactive) << " " << k.kind
                                      << " " << k.level << " at " << k.x << "," << k.y);
    Rig rig(648, 488);
    rig.run.SX = rig.run.SY = k.origin;
    make_plain_slot(rig.bm, 849, kBlue);
    UnitRecord& u = rig.place(3, k.x, k.y, k.level);
    u.in_use = k.in_use, u.inactive = k.inactive, u.kind = k.kind;
    rig.draw();
    const int32_t px = (k.x - k.origin) * 16, py = (k.y - k.origin) * 16;
    if (k.drawn)
      EXPECT_TRUE(pixel_at(rig.fb, px + 1, py + 1) == kBlue &&
                  pixel_at(rig.fb, px + 15, py) == kBlue);
    else EXPECT_TRUE(blank(rig.fb));
  }
}

TEST(OverworldRoute, MarksTheCellsAheadAndTheUnitsOwnCellWhileInUseOnAnyLevel) {
  Rig rig;
  // Marker: yellow with a keyed centre pixel.
  const Rgba marker{220, 220, 0, 255};
  make_slot(rig.bm, 22, 16, 16,
            [&](int32_t c, int32_t r) { return c == 8 && r == 8 ? kKeyed : marker; });
  make_plain_slot(rig.bm, 849, kBlue);
  rig.fill_plain();
  rig.run.selected_unit = 3;
  UnitRecord& u = rig.place(3, 2, 2, 2);  // on level 2, viewing level 1
  // Path goal first: (8, 2) is cell 0, then (7, 2), (6, 2); the cursor at 2,
  // and a stale cell 3 beyond the cursor that is already walked.
  for (int32_t i = 0; i < 4; ++i) {
    rig.ps.path_x[3 * kUnitPathCapacity + i] = 8 - i;
    rig.ps.path_y[3 * kUnitPathCapacity + i] = 2;
  }
  // By cursor: the marked columns of row 2; cursor -1 (route used up) is no path too.
  const std::pair<int32_t, std::set<int32_t>> cases[] = {
      {2, {2, 6, 7, 8}}, {kNoPath, {2}}, {-1, {2}}};
  for (const auto& [cursor, marked] : cases) {
    rig.ps.path_cursor[3] = cursor;
    rig.draw();
    for (int32_t x = 2; x <= 9; ++x) {
      EXPECT_EQ(pixel_at(rig.fb, x * 16 + 1, 33), marked.count(x) ? marker : kPlain)
          << cursor << ": " << x;
      EXPECT_EQ(pixel_at(rig.fb, x * 16 + 8, 40), kPlain) << x;  // the key shows terrain
    }
  }
  // Units cover markers: on its own level the sprite is on top.
  rig.run.SZ = 2;
  rig.draw();
  EXPECT_EQ(pixel_at(rig.fb, 2 * 16 + 1, 33), kBlue);
  u.in_use = 0;
  rig.draw();
  EXPECT_TRUE(blank(rig.fb));
  // A selection outside the table draws no route and does not read past it.
  u.in_use = 1;
  rig.run.SZ = 0;
  for (int32_t s : {-1, kUnitTableSize}) {
    rig.run.selected_unit = s;
    rig.draw();
    EXPECT_TRUE(blank(rig.fb)) << s;
  }
}

// ---- the minimap -----------------------------------------------------------

constexpr Rgba kGrey{128, 128, 128, 255}, kDarkGreen{0, 128, 0, 255},
    kMarker{1, 2, 3, 255};  // painted under the minimap beforehand

// Selecting stays off the minimap only strictly inside its square; the jump
// takes the half-open square [x0, x0 + 64) x [y0, y0 + 64), 16 cells a pixel.
TEST(MinimapPointer, StrictlyInsideForSelectingHalfOpenForTheJump) {
  const struct {
    int32_t dx, dy;
    bool inside, jumps;
  } cases[] = {// from the origin
               {0, 12, false, true},   {1, 12, true, true},    {63, 12, true, true},
               {64, 12, false, false}, {-1, 12, false, false}, {32, 0, false, true},
               {32, 1, true, true},    {32, 63, true, true},   {32, 64, false, false},
               {32, -1, false, false}, {63, 63, true, true}};
  for (auto [ox, oy] : {std::pair(518, 338), {0, 0}}) {
    RunState run;
    run.minimap_x = ox, run.minimap_y = oy;
    for (const auto& k : cases) {
      const int32_t x = ox + k.dx, y = oy + k.dy;
      EXPECT_EQ(pointer_strictly_inside_minimap(run, x, y), k.inside) << x << "," << y;
      run.SX = 5000, run.SY = 6000;  // unclamped: beyond the view's range is kept
      minimap_jump(run, false, x, y);
      EXPECT_EQ(std::pair(run.SX, run.SY), std::pair(5000, 6000));
      minimap_jump(run, true, x, y);
      EXPECT_EQ(std::pair(run.SX, run.SY),
                k.jumps ? std::pair(k.dx * 16, k.dy * 16) : std::pair(5000, 6000))
          << x << "," << y;
    }
  }
}

TEST(MinimapDraw, CoarseBlocksThenRedDotsForLiveUnitsOnTheLevelThenTheWhiteViewDot) {
  Rig rig(640, 480, 128);
  // Level 1's coarse map lives on level 11; level 10 differs to catch a wrong level.
  // Other codes leave the pixel.
  auto coarse = [](int32_t i, int32_t j) {
    const int32_t k = (i + 2 * j) % 3;
    return k == 0 ? kGrey : k == 1 ? kDarkGreen : kMarker;
  };
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i) {
      rig.cell(i, j, 11) = coarse(i, j) == kGrey ? 19 : coarse(i, j) == kMarker ? 7 : 10;
      rig.cell(i, j, 10) = 19;
    }
  rig.cell(64, 0, 11) = rig.cell(0, 64, 11) = 19;  // outside the 64 x 64 corner: never shown
  rig.run.SX = 40, rig.run.SY = 70;                // view dot at (2, 4)
  rig.place(2999, 100, 20, 1);                     // dot at (6, 1); the last record counts too
  rig.place(10, 126, 126, 1);                      // last inner cell: dot at (7, 7)
  rig.place(3, 45, 75, 1);                         // under the view dot
  rig.place(4, 50, 50, 2);                         // other level
  rig.place(5, 60, 60, 1).in_use = 2;              // not in use
  for (auto [i, x, y] : {std::tuple(6, 0, 30), {7, 127, 30}, {8, 30, 0}, {9, 30, 127}})
    rig.place(i, x, y, 1);  // outermost columns and rows
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) put_pixel(rig.fb, x, y, kMarker.r, kMarker.g, kMarker.b);
  draw_minimap(rig.fb, rig.run, rig.w, rig.units);
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i) {
      const std::pair p(i, j);
      const Rgba want = p == std::pair(2, 4)                           ? kWhite
                        : p == std::pair(6, 1) || p == std::pair(7, 7) ? kRed
                                                                       : coarse(i, j);
      ASSERT_EQ(pixel_at(rig.fb, 518 + i, 338 + j), want) << i << "," << j;
    }
  EXPECT_EQ(std::pair(pixel_at(rig.fb, 582, 338), pixel_at(rig.fb, 518, 402)),
            std::pair(kMarker, kMarker));
}

TEST(MinimapDraw, ViewLevelsWithoutACoarseLevelReadNothingOutsideTheGrid) {
  // Side 32: rows of the 64 x 64 square past the side would reach beyond the
  // last level's storage; the sanitizer run catches any such read.
  Rig rig(640, 480, 32);
  std::memset(&rig.cell(0, 0, 10), 10, size_t(rig.w.stride) * (kLevelCount - 10));
  for (int32_t z : {169, 170, 179, 500, -11}) {  // only 169 has one
    rig.run.SZ = z;
    clear_pixels(rig.fb);
    draw_minimap(rig.fb, rig.run, rig.w, rig.units);
    EXPECT_EQ(std::tuple(pixel_at(rig.fb, 518 + 5, 338 + 5), pixel_at(rig.fb, 518 + 40, 338 + 5),
                         pixel_at(rig.fb, 518, 338)),
              std::tuple(z == 169 ? kDarkGreen : kBlack, kBlack, kWhite))
        << z;  // 40: past the side
  }
}

// ---- the screensaver -------------------------------------------------------

// The game's sine and cosine tables, built once for every test.
const TrigTables& trig_tables() {
  static TrigTables t;
  if (!t.sine) build_trig_tables(t);
  return t;
}

Rgba secondary_at(const Framebuffer& fb, int32_t x, int32_t y) {
  const uint8_t* p = &fb.secondary[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// Two generators on the same seed: the one the code draws from, and a replay.
struct Pair {
  Rng rng, expect;
  explicit Pair(uint32_t seed) { rng_seed(rng, seed), rng_seed(expect, seed); }
  void skip(int64_t n) {
    while (n-- > 0) rng_next(expect);
  }
  bool in_step() { return rng_next(rng) == rng_next(expect); }
};

TEST(CircleOutline, StepsJustUnderAPixelApartOverHalfATurnMirroredAboutTheCentre) {
  Framebuffer fb = picture(640, 480);
  auto steps = [&](double r) { return circle_outline(fb, trig_tables(), 320, 240, r, 9, 8, 7); };
  // 128: 0 .. 179.6875 degrees; 64: steps of 0.78125; 50: exactly 1 degree; no radius: 1
  for (auto [radius, n] :
       {std::pair(128.0, 461), {64.0, 231}, {50.0, 181}, {0.0, 1}, {-5.0, 1}, {NAN, 1}})
    EXPECT_EQ(steps(radius), n) << radius;
  EXPECT_EQ(steps(1e6), steps(9999));  // clamped: 50 / 9999 degree steps

  // the points lie on the circle, mirrored about the centre
  fb = picture(640, 480);
  circle_outline(fb, trig_tables(), 320.7, 240.9, 128, 200, 100, 50);  // centre truncates
  std::set<std::pair<int32_t, int32_t>> lit;
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x)
      if (secondary_at(fb, x, y).a != 0) lit.insert({x, y});
  // lowest point at angle 0; the last step, 179.6875 degrees, stops short of the top:
  // 128 cos(0.3125 deg) = 127.998
  EXPECT_TRUE(lit.count({320, 112}) && lit.count({320, 367}) && !lit.count({320, 368}));
  for (const auto& [x, y] : lit) {
    EXPECT_NEAR(std::hypot(x - 320, y - 240), 127.0, 1.0) << x << "," << y;
    EXPECT_TRUE(lit.count({640 - x, y})) << "mirror of " << x << "," << y;
    EXPECT_EQ(secondary_at(fb, x, y), (Rgba{200, 100, 50, 255}));
  }
  // a centre far off the picture draws nothing (and overflows nothing)
  EXPECT_EQ(circle_outline(fb, trig_tables(), -5000, 1e12, 128, 1, 1, 1), 0);
}

TEST(ScreensaverView, NoiseIsDarkBlueInRowOrderThenFourCirclesOfFiveValues) {
  // Without trig tables only the noise is drawn, so every pixel can be predicted.
  Framebuffer fb = picture(64, 48);
  Pair g(7);
  draw_screensaver_view(fb, 0, TrigTables{}, g.rng);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const Rgba want{0, 0, uint8_t(rng_next(g.expect) % 255), 255};
      ASSERT_EQ(secondary_at(fb, x, y), want) << x << "," << y;
      ASSERT_EQ(pixel_at(fb, x, y), want);
    }
  g.skip(4 * 5);  // the four circles still take their values
  EXPECT_TRUE(g.in_step());

  // With circles the last is on top: its lowest point (radius 640 / 5) or, if that is
  // off the picture, its highest (one short) carries its colour.
  fb = picture(640, 480);
  Pair h(11);
  draw_screensaver_view(fb, 0, trig_tables(), h.rng);
  h.skip(640 * 480 + 3 * 5);
  int32_t v[5];  // blue, green, red, then the centre's row and column
  for (int32_t& x : v) x = rng_next(h.expect);
  EXPECT_TRUE(h.in_step());
  const int32_t cy = v[3] % 480, cx = v[4] % 640;
  EXPECT_EQ(pixel_at(fb, cx, cy >= 128 ? cy - 128 : cy + 127),
            (Rgba{uint8_t(v[2] % 255), uint8_t(v[1] % 255), uint8_t(v[0] % 255), 255}));
}

TEST(ScreensaverView, RenewsOnMultiplesOfFiftyAndCopiesEveryFrame) {
  Framebuffer fb = picture(32, 24);
  Pair g(3);
  // a known picture survives the frames in between and is copied, made opaque, each time
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 32; ++x) put_secondary_pixel(fb, x, y, uint8_t(x), uint8_t(y), 99);
  fb.secondary[3] = 0;  // alpha 0 at (0, 0)
  for (int32_t frame : {1, 25, 49, 51, 110, 149}) {
    clear_pixels(fb);
    draw_screensaver_view(fb, frame, trig_tables(), g.rng);
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 32; ++x)
        ASSERT_EQ(pixel_at(fb, x, y), (Rgba{uint8_t(x), uint8_t(y), 99, 255})) << frame;
  }
  EXPECT_TRUE(g.in_step());  // no random value taken
  for (int32_t frame : {0, 50, 100, 150, -50}) {
    draw_screensaver_view(fb, frame, trig_tables(), g.rng);
    g.skip(32 * 24 + 4 * 5);
    EXPECT_TRUE(g.in_step()) << frame;
  }
}

// ---- the block view ---------------------------------------------------------

class FakeInput : public InputSource {
 public:
  bool keys[256] = {};
  void begin_pass(int32_t) override {}
  bool key_down(int32_t vk) override { return vk >= 0 && vk < 256 && keys[vk]; }
  void pointer(int32_t, int32_t, int32_t* x, int32_t* y) override { *x = *y = 0; }
};

struct Scene {
  World world;
  UnitTable units;
  RunState run;
  BlockViewState bv;
  Framebuffer fb;
  FakeInput input;
  Platform platform;
  Scene() {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    create_unit_table(units);
    set_resolution(fb, kBlockViewWidth, kBlockViewHeight);
    platform.input = &input;
  }
  void wall(int32_t x, int32_t y, int32_t z, uint8_t code = kTileWall) {
    world.grid[cell_index(world, x, y, z)] = code;
  }
  void put_unit(int32_t i, int32_t x, int32_t y, int32_t z) {
    UnitRecord& u = unit(units, i);
    u.in_use = 1, u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(z);
    u.fx = u.fy = u.fz = 0.5f;
  }
};

// The cubes the field around (cx, cy, cz) reports, with their faces.
using Field = std::map<std::vector<int>, int>;
Field field(const World& w, int cx, int cy, int cz) {
  Field seen;
  visit_block_field(w, cx, cy, cz, [&](int32_t x, int32_t y, int32_t z, uint8_t f) {
    seen[{x, y, z}] = f;
  });
  return seen;
}

// Which face each neighbour hides, and how far the field reaches, the reference
// picture below decides.
TEST(BlockCubes, OnlyWallsHideFacesAndAWalledInCubeIsNotReported) {
  constexpr int W = kTileWall;
  const std::vector<std::vector<int>> cases[] = {
      // around the wall: dx, dy, dz, code
      {},
      {{1, 0, 0, kTileMountain}, {0, 0, 1, kTileFloor}},
      {{0, 0, 1, W}, {0, 0, -1, W}, {0, -1, 0, W}, {0, 1, 0, W}, {1, 0, 0, W}, {-1, 0, 0, W}}};
  for (const auto& around : cases) {
    Scene s;
    s.wall(300, 300, 5);
    for (const auto& n : around) s.wall(300 + n[0], 300 + n[1], 5 + n[2], uint8_t(n[3]));
    const Field f = field(s.world, 300, 300, 5);
    const auto it = f.find({300, 300, 5});  // walled in: nothing to draw
    EXPECT_EQ(it == f.end() ? -1 : it->second, around.size() == 6 ? -1 : 0x3f) << around.size();
  }
  Scene empty;
  EXPECT_TRUE(field(empty.world, 300, 300, 5).empty());  // not a wall
}

TEST(BlockCubes, NearTheGridsEdgesOnlyCellsOneTo1022AndLevelsOneTo178AreDrawn) {
  Scene e;
  for (int v : {0, 1, 1022, 1023}) {
    e.wall(v, 5, 5);
    e.wall(5, v, 5);
    e.wall(5, 5, v == 0 || v == 1 ? v : v - 844);  // levels 0, 1, 178, 179
  }
  std::set<std::vector<int>> seen;
  for (int c : {0, 1023})
    for (int z : {0, 179})
      for (const Field& f :
           {field(e.world, c, 5, z), field(e.world, 5, c, z), field(e.world, 5, 5, z)})
        for (const auto& [cell, faces] : f) seen.insert(cell);
  EXPECT_EQ(seen, (std::set<std::vector<int>>{
                      {1, 5, 5}, {1022, 5, 5}, {5, 1, 5}, {5, 1022, 5}, {5, 5, 1}, {5, 5, 178}}));
}

TEST(BlockCubes, OnlyCubesWhollyOutsideTheViewAreLeftOut) {
  // Pitch 0 looks toward higher levels (GL +z); the field of view is 45 degrees
  // high, about 57 wide. Level (pitch -90), yaw 0 faces lower rows (GL +y) and
  // yaw -90 lower columns.
  const struct {
    float yaw, pitch;
    int x, y, z;
    bool shows;
  } cases[] = {
      // clang-format off
      {0, 0, 0, 0, 0, true}, {0, 0, 0, 0, 5, true}, {0, 0, 0, 0, -2, false},  // own cell, ahead, behind
      {0, 0, 0, 4, 10, true}, {0, 0, 0, 7, 10, false},  // 22 degrees off the axis; 35: past the edge
      {0, 0, 6, 0, 10, true}, {0, 0, 9, 0, 10, false},  // 31 degrees, within the width; 42
      {0, -90, 0, 5, 0, true}, {0, -90, 0, -5, 0, false}, {0, -90, 0, 0, 5, false},
      {-90, -90, -5, 0, 0, true}, {-90, -90, 5, 0, 0, false},
      // clang-format on
  };
  for (const auto& k : cases)
    EXPECT_EQ(cube_may_show(view_pose(k.yaw, k.pitch, 0.5f, 0.5f, 0.5f), k.x, k.y, k.z), k.shows)
        << k.yaw << " " << k.pitch << ": " << k.x << "," << k.y << "," << k.z;
}

TEST(BlockReadBack, DrawnPixelsAreCopiedAndBackgroundKeepsTheFramebuffer) {
  Framebuffer fb = picture(kBlockViewWidth, kBlockViewHeight);
  std::vector<uint16_t> depth(kBlockViewPixels, 0xffff);  // 1.0: cleared
  std::fill(fb.pixels.begin(), fb.pixels.end(), uint8_t(9));
  auto put_read = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b, uint16_t d) {
    uint8_t* p = &fb.secondary[size_t(y * kBlockViewWidth + x) * 3];
    p[0] = r, p[1] = g, p[2] = b;
    depth[size_t(y * kBlockViewWidth + x)] = d;
  };
  put_read(0, 0, 10, 20, 30, 0x8000);
  put_read(319, 239, 255, 0, 229, 0xfffe);  // the old clear-colour key, but drawn
  put_read(100, 50, 1, 2, 3, 0xffff);       // background
  put_read(101, 50, 255, 0, 230, 0xffff);   // background as Mesa reads it
  copy_read_back(fb, depth.data());
  EXPECT_EQ(pixel_at(fb, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(pixel_at(fb, 319, 239), (Rgba{255, 0, 229, 255}));
  EXPECT_EQ(pixel_at(fb, 100, 50), (Rgba{9, 9, 9, 9}));
  EXPECT_EQ(pixel_at(fb, 101, 50), (Rgba{9, 9, 9, 9}));
  int untouched = 0;
  for (size_t i = 0; i < fb.pixels.size(); ++i) untouched += fb.pixels[i] == 9;
  EXPECT_EQ(untouched, (kBlockViewPixels - 2) * 4);

  // only a framebuffer of the block view's size is written
  Framebuffer big = picture(kOverworldWidth, kOverworldHeight);
  std::fill(big.secondary.begin(), big.secondary.end(), uint8_t(77));
  std::vector<uint16_t> near(kBlockViewPixels, 100);
  copy_read_back(big, near.data());
  EXPECT_TRUE(std::all_of(big.pixels.begin(), big.pixels.end(), [](uint8_t v) { return v == 0; }));
}

TEST(BlockViewNoGl, WalksAndLooksButDrawsNothing) {
  Scene s;
  s.put_unit(1, 100, 100, 1);
  s.run.SX = s.run.SY = 100, s.run.SZ = 1;
  s.wall(100, 100, 2);  // rock under the view origin
  s.bv.pitch = -90.0f;  // level, toward lower rows
  s.run.tick_divisor = 10.0f;
  std::fill(s.fb.pixels.begin(), s.fb.pixels.end(), uint8_t(5));
  s.input.keys[kVkLButton] = true;
  s.run.pointer_x = 160, s.run.pointer_y = 0;  // looks along the levels from the next frame
  draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, false);
  // this frame's step used the old pitch
  const UnitRecord& u = unit(s.units, 1);
  EXPECT_NEAR(u.fy, 0.4f, 1e-6);
  EXPECT_FLOAT_EQ(u.walk_phase, 1.0f);
  EXPECT_FLOAT_EQ(s.bv.yaw, 20.0f - 320.0f);
  EXPECT_FLOAT_EQ(s.bv.pitch, 0.0f);
  // the new pitch walks nowhere
  s.run.frame = 1;
  draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, false);
  EXPECT_NEAR(u.fy, 0.4f, 1e-6);
  EXPECT_FLOAT_EQ(u.walk_phase, 2.0f);
  EXPECT_TRUE(
      std::all_of(s.fb.pixels.begin(), s.fb.pixels.end(), [](uint8_t v) { return v == 5; }));

  // middle or right button alone also looks; no button leaves the camera
  s.input.keys[kVkLButton] = false;
  struct Look {
    int32_t button, px, py;
    float yaw, pitch;
  };
  for (const Look& l :
       {Look{kVkMButton, 10, 239, 0.0f, -239.0f}, Look{kVkRButton, 319, 90, -618.0f, -90.0f},
        Look{0, 0, 0, -618.0f, -90.0f}}) {
    s.input.keys[kVkMButton] = s.input.keys[kVkRButton] = false;
    s.input.keys[l.button] = l.button != 0;
    s.run.pointer_x = l.px, s.run.pointer_y = l.py;
    draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, false);
    EXPECT_FLOAT_EQ(s.bv.yaw, l.yaw) << l.button;
    EXPECT_FLOAT_EQ(s.bv.pitch, l.pitch) << l.button;
  }
}

// Straight along each GL axis both ways: up and down the levels, then level
// toward lower and higher rows and toward higher and lower columns.
struct AxisLook {
  float yaw, pitch;
};
constexpr AxisLook kAxisLooks[] = {{0, 0}, {0, -180}, {0, -90}, {180, -90}, {90, -90}, {-90, -90}};

class BlockViewGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ok_ = open_window(); }
  static bool open_window() {  // the size of the block view's window at zoom 2
    return open_offscreen_gl(2 * kBlockViewWidth, 2 * kBlockViewHeight, &error_);
  }

  void SetUp() override {
    ASSERT_TRUE(ok_) << "no offscreen GL context (surfaceless EGL): " << error_;
    create_bitmap_store(bitmaps);
    texture();
  }
  void TearDown() override {
    if (ok_) glDeleteTextures(32, s.bv.textures);
  }

  // Fills slot 1201 with a 64 x 64 texture in four quadrants of distinct colours
  // and uploads the textures as window creation does.
  void texture() {
    make_slot(bitmaps, 1201, 64, 64, [](int32_t c, int32_t r) {
      constexpr uint8_t kQuadrant[][3] = {
          {200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {220, 220, 60}};
      const uint8_t* q = kQuadrant[(c >= 32) + 2 * (r >= 32)];
      return Rgba{q[0], q[1], q[2], 255};
    });
    if (s.bv.textures[0]) glDeleteTextures(32, s.bv.textures);
    resize_gl();
    init_gl(s.bv, bitmaps);
  }

  // One frame with the camera unit in the middle of its cell.
  void render(float yaw, float pitch, int32_t camera_unit = 1) {
    UnitRecord& u = unit(s.units, camera_unit);
    u.fx = u.fy = u.fz = 0.5f;
    s.run.selected_unit = camera_unit;
    s.bv.yaw = yaw, s.bv.pitch = pitch;
    clear_pixels(s.fb);
    draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, true);
  }

  int drawn_pixels() const {
    int n = 0;
    for (int i = 0; i < kBlockViewPixels; ++i) n += drawn(i % kBlockViewWidth, i / kBlockViewWidth);
    return n;
  }
  bool drawn(int x, int y) const { return pixel_at(s.fb, x, y).a == 255; }

  static inline bool ok_ = false;
  static inline std::string error_;
  Scene s;
  BitmapStore bitmaps;
};

// From inside a wall cube (a block put on unit 1's cell) each direction sees a face.
TEST_F(BlockViewGl, InsideAWallEveryDirectionSeesAFace) {
  s.wall(500, 500, 50);
  s.put_unit(1, 500, 500, 50);
  for (const AxisLook& l : kAxisLooks) {
    render(l.yaw, l.pitch);
    EXPECT_EQ(drawn_pixels(), kBlockViewPixels) << l.yaw << " " << l.pitch;
  }
}

TEST_F(BlockViewGl, ACubeAheadHasItsProjectedSizeAndDepthAndNoCameraDrawsNothing) {
  s.put_unit(1, 500, 500, 50);
  s.wall(500, 500, 53);  // three levels on, straight ahead at pitch 0
  render(0.0f, 0.0f);
  // the near face, 2.5 cells away and 1 wide, in rows of the view's height
  const double side = kBlockViewHeight * (1.0 / 2.5) / (2.0 * kBlockViewFrustum.tan_half_fov);
  EXPECT_NEAR(drawn_pixels(), side * side, side * side * 0.04);
  EXPECT_TRUE(drawn(160, 120) && !drawn(0, 0) && !drawn(319, 239));
  const double n = kBlockViewFrustum.near, f = kBlockViewFrustum.far, z = 2.5;
  EXPECT_NEAR(s.bv.depth[120 * kBlockViewWidth + 160] / 65535.0,
              0.5 * ((f + n) / (f - n) - 2.0 * f * n / ((f - n) * z)) + 0.5, 2e-3);
  // a selection outside the unit table has no camera: nothing drawn, nothing read outside it
  for (int32_t selected : {-1, kUnitTableSize, 1 << 30}) {
    s.run.selected_unit = selected;
    clear_pixels(s.fb);
    draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, true);
    EXPECT_EQ(drawn_pixels(), 0) << selected;
  }
}

TEST_F(BlockViewGl, CameraFollowsTheSelectedUnitWhileUnitOneWalks) {
  s.put_unit(1, 100, 100, 1);
  s.put_unit(2, 600, 600, 50);
  s.wall(600, 597, 50);  // only in front of unit 2
  s.run.SX = s.run.SY = 100, s.run.SZ = 1;
  s.wall(100, 100, 2);  // rock under the view origin
  s.input.keys[kVkLButton] = true;
  s.run.pointer_x = 160, s.run.pointer_y = 90;
  render(0.0f, -90.0f, 2);
  EXPECT_TRUE(drawn(160, 120)) << drawn_pixels() << " pixels drawn";
  EXPECT_FLOAT_EQ(unit(s.units, 1).walk_phase, 1.0f);
  EXPECT_LT(unit(s.units, 1).fy, 0.5f);  // toward lower rows
  EXPECT_FLOAT_EQ(unit(s.units, 2).fy, 0.5f);
  EXPECT_FLOAT_EQ(unit(s.units, 2).walk_phase, 0.0f);
}

// The field drawn the plain way: every one of the 28^3 cells with its own
// matrix, each wall cube setting its state and drawing its quads corner by
// corner in immediate mode. Returns the read-back RGB and depth.
struct ReferenceQuad {
  int dx, dy, dz;  // neighbour whose wall hides the quad
  float normal[3];
  float tex[4][2];
  float corner[4][3];
};
// clang-format off
const ReferenceQuad kReferenceCube[] = {
    {0, 0, 1, {0, 0, 1}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
     {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
    {0, 0, -1, {0, 0, -1}, {{1, 1}, {1, 0}, {0, 0}, {0, 1}},
     {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
    {0, -1, 0, {0, 1, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    {0, 1, 0, {0, -1, 0}, {{1, 1}, {0, 1}, {0, 0}, {1, 0}},
     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    {1, 0, 0, {1, 0, 0}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
     {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    {-1, 0, 0, {-1, 0, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
};
// clang-format on

void draw_reference_picture(const World& w, const UnitRecord& cam, float yaw, float pitch,
                            GLuint texture, std::vector<uint8_t>* rgb,
                            std::vector<uint16_t>* depth) {
  const int cx = cam.x, cy = cam.y, cz = cam.level;
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  for (const ViewTurn& t : view_turns(yaw, pitch))
    glRotatef(t.degrees, t.axis == 0, 0, t.axis == 2);
  glTranslatef(cam.fx - 0.5f, cam.fy - 0.5f, cam.fz - 0.5f);
  for (int z = cz - 14; z <= cz + 13; ++z)
    for (int y = cy - 14; y <= cy + 13; ++y)
      for (int x = cx - 14; x <= cx + 13; ++x) {
        glPushMatrix();
        glTranslatef(float(x - cx), float(cy - y), float(z - cz));
        if (x >= 1 && x <= 1022 && y >= 1 && y <= 1022 && z >= 1 && z <= 178 &&
            cell_at(w, x, y, z) == kTileWall) {
          glScalef(0.5f, 0.5f, 0.5f);
          glDisable(GL_BLEND);
          glEnable(GL_TEXTURE_2D);
          glEnable(GL_COLOR_MATERIAL);
          glBindTexture(GL_TEXTURE_2D, texture);
          glColor3f(1, 1, 1);
          glBegin(GL_QUADS);
          for (const ReferenceQuad& q : kReferenceCube) {
            if (cell_at(w, x + q.dx, y + q.dy, z + q.dz) == kTileWall) continue;
            glNormal3f(q.normal[0], q.normal[1], q.normal[2]);
            for (int k = 0; k < 4; ++k) {
              glTexCoord2f(q.tex[k][0], q.tex[k][1]);
              glVertex3f(q.corner[k][0], q.corner[k][1], q.corner[k][2]);
            }
          }
          glEnd();
        }
        glPopMatrix();
      }
  glPopMatrix();
  glLoadIdentity();
  rgb->resize(kBlockViewPixels * 3);
  depth->resize(kBlockViewPixels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
               depth->data());
}

// The view leaves out cubes off screen, draws each cube with one array call
// and may draw the field back to front: none of it may change a pixel or a
// depth of the plain drawing, nor the GL state it found. The fixed views look
// both ways along each axis, so both drawing orders are compared.
TEST_F(BlockViewGl, PictureMatchesTheFieldDrawnCellByCell) {
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  for (int z = 30; z < 70; ++z)
    for (int y = 480; y < 520; ++y)
      for (int x = 480; x < 520; ++x)
        if (next(100) < 8) s.wall(x, y, z);
  // a slab with rooms, for long runs of faces that meet at edges
  for (int y = 485; y < 515; ++y)
    for (int x = 485; x < 515; ++x) {
      s.wall(x, y, 51);
      if (x % 6 == 0 || y % 5 == 0) s.wall(x, y, 50);
    }
  const int kFixed = int(std::size(kAxisLooks));
  int busy = 0;
  for (int view = 0; view < 24 + kFixed; ++view) {
    const int cx = 496 + int(next(8)), cy = 496 + int(next(8));
    s.world.grid[cell_index(s.world, cx, cy, 50)] = 0;
    s.put_unit(1, cx, cy, 50);
    UnitRecord& u = unit(s.units, 1);
    const int32_t px = int32_t(next(kBlockViewWidth));  // a pointer the mouse look may read
    const ViewAngles look = pointer_look(px, int32_t(next(kBlockViewHeight)));
    float yaw = look.yaw, pitch = look.pitch;
    if (view < kFixed) {
      yaw = kAxisLooks[view].yaw + 7.0f;  // a little off the axis
      pitch = kAxisLooks[view].pitch - 5.0f;
    }
    u.fx = 0.3f + 0.01f * float(next(40));
    u.fy = 0.3f + 0.01f * float(next(40));
    u.fz = 0.54f;
    std::vector<uint8_t> rgb;
    std::vector<uint16_t> depth;
    draw_reference_picture(s.world, u, yaw, pitch, s.bv.textures[1], &rgb, &depth);
    std::vector<uint8_t> expect(kBlockViewPixels * 4, 0);
    for (size_t i = 0; i < depth.size(); ++i) {
      if (depth[i] == 0xffff) continue;  // cleared: nothing drawn
      std::copy(&rgb[i * 3], &rgb[i * 3 + 3], &expect[i * 4]);
      expect[i * 4 + 3] = 255;
    }
    s.bv.yaw = yaw, s.bv.pitch = pitch;
    clear_pixels(s.fb);
    draw_block_view(s.fb, s.run, s.world, s.units, s.bv, s.platform, true);
    EXPECT_TRUE(s.bv.depth == depth) << "yaw " << yaw << " pitch " << pitch;
    EXPECT_TRUE(s.fb.pixels == expect) << "yaw " << yaw << " pitch " << pitch;
    // the depth test, texture environment and arrays the rest of the frame uses are as before
    GLint state[3] = {};
    glGetIntegerv(GL_DEPTH_FUNC, &state[0]);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &state[1]);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &state[2]);
    EXPECT_EQ(std::vector(state, state + 3), (std::vector<GLint>{GL_LEQUAL, GL_MODULATE, 0}));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) ||
                 glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    busy += drawn_pixels() > 20000;
  }
  EXPECT_GT(busy, 12);  // most views show plenty of cubes
}

// F1 to F4 re-create the window, and with it the GL context and all that
// lives in it. The view must draw the same picture in the new context.
TEST_F(BlockViewGl, DrawsTheSamePictureAfterTheContextIsRecreated) {
  s.put_unit(1, 500, 500, 50);
  for (int x = 497; x <= 503; ++x) s.wall(x, 496, 50);
  s.wall(501, 498, 50);
  s.wall(500, 500, 49);
  render(10.0f, -80.0f);
  const std::vector<uint8_t> before = s.fb.pixels;
  ASSERT_GT(drawn_pixels(), 10000);

  close_offscreen_gl();
  ok_ = open_window();
  ASSERT_TRUE(ok_) << "no GL context after re-creating the window: " << error_;
  texture();  // what window creation uploads
  render(10.0f, -80.0f);
  EXPECT_TRUE(s.fb.pixels == before);
}

// ---- walking unit 1 ------------------------------------------------------

class WalkTest : public ::testing::Test, protected Scene {
 protected:
  // Unit 1 at (x, y, level) with the camera point (a, b) inside the cell.
  void place(int32_t x, int32_t y, int32_t level, float a, float b) {
    u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(level);
    u.fx = 1.0f - a, u.fy = b, u.fz = 0.54f;
  }
  // Rock under the view origin, so steps are kept.
  void stand_view_on_rock(int32_t x, int32_t y, int32_t z) {
    std::tie(run.SX, run.SY, run.SZ) = std::tuple(x, y, z);
    wall(x, y, z + 1);
  }
  void walk(int frames, bool left, bool back) {
    for (int i = 0; i < frames; ++i, ++run.frame) walk_unit1(world, run, bv, units, left, back);
  }
  UnitRecord& u = unit(units, 1);
};

TEST(WalkStep, ForwardFollowsTheLookOnFramesSetByTheTickDivisorAndTheHeadBobs) {
  // Looking level (pitch -90): yaw 0 faces lower rows, yaw -90 lower columns, 180 higher
  // rows; at pitch -30 a step is half as long. A forward step subtracts (dfx, dfy).
  for (auto [yaw, pitch, dfx, dfy] : {std::tuple(0.0f, -90.0f, 0.0f, 0.1f),
                                      {-90.0f, -90.0f, -0.1f, 0.0f},
                                      {180.0f, -90.0f, 0.0f, -0.1f},
                                      {-90.0f, -30.0f, -0.05f, 0.0f}}) {
    const WalkStep s = walk_step(yaw, pitch);
    EXPECT_NEAR(s.dfx, dfx, 1e-6) << yaw << " " << pitch;
    EXPECT_NEAR(s.dfy, dfy, 1e-6) << yaw << " " << pitch;
  }
  // on multiples of a tenth of the divisor; below 10 that would divide by zero: every frame
  for (auto [divisor, every] :
       {std::pair(10.0f, 1), {30.0f, 3}, {60.0f, 6}, {0.0f, 1}, {-30.0f, 1}})
    for (int32_t f = 0; f < 60; ++f)
      EXPECT_EQ(forward_step_frame(f, divisor), f % every == 0) << divisor << " " << f;
  UnitRecord u{};  // 0.54 +- 0.024; 1.5 x phase is the angle
  for (auto [phase, fz] : {std::pair(float(-M_PI / 3), 0.516f), {float(M_PI / 9), 0.552f}}) {
    u.walk_phase = phase;
    head_bob(u);
    EXPECT_NEAR(u.fz, fz, 1e-6) << phase;
  }
}

TEST_F(WalkTest, ZStepsBackEveryFrameBothKeysCancelAndCellsChangeOnTheWay) {
  stand_view_on_rock(100, 100, 1);
  place(100, 100, 1, 0.5f, 0.5f);
  bv.pitch = -90.0f;  // level, toward lower rows
  const double y0 = u.y + double(u.fy);
  walk(5, false, true);  // divisor 30, frames 0 .. 4
  EXPECT_FLOAT_EQ(u.walk_phase, -5.0f);
  EXPECT_NEAR(u.y + double(u.fy), y0 + 0.5, 1e-5);
  walk(1, true, true);  // frame 5 is no forward frame: back only
  walk(1, true, true);  // frame 6 is: the steps cancel
  EXPECT_FLOAT_EQ(u.walk_phase, -6.0f);
  EXPECT_NEAR(u.y + double(u.fy), y0 + 0.6, 1e-5);
  run.tick_divisor = 10.0f;
  walk(17, true, false);  // the camera point moves on smoothly into row 99
  EXPECT_EQ(u.y, 99);
  EXPECT_NEAR(u.y + double(u.fy), y0 - 1.1, 1e-4);
}

TEST_F(WalkTest, CellChangesBothWaysButNeverOffTheGrid) {
  const struct {
    uint16_t x, y;
    float fx, fy;
    uint16_t ex, ey;
    float efx, efy;
  } cases[] = {
      // clang-format off
      // fx runs against the columns
      {100, 100, 1.25f, 0.5f, 99, 100, 0.25f, 0.5f}, {100, 100, 0.5f, 1.25f, 100, 101, 0.5f, 0.25f},
      {100, 100, -0.25f, 0.5f, 101, 100, 0.75f, 0.5f}, {100, 100, 0.5f, -.25f, 100, 99, 0.5f, .75f},
      // column and row -1 or 1024 would be off the grid: the fractions stop at the edge
      {0, 0, 1.3f, -0.3f, 0, 0, 1.0f, 0.0f}, {1023, 1023, -0.3f, 1.3f, 1023, 1023, 0.0f, 1.0f},
      // clang-format on
  };
  for (const auto& k : cases) {
    u.x = k.x, u.y = k.y, u.fx = k.fx, u.fy = k.fy;
    cell_changes(u, world.side);
    EXPECT_EQ(std::tuple(u.x, u.y, u.fx, u.fy), std::tuple(k.ex, k.ey, k.efx, k.efy))
        << k.x << "," << k.y << " " << k.fx << "," << k.fy;
  }
}

TEST_F(WalkTest, GroundCheckRemembersRockAndUndoesStepsWithoutIt) {
  place(100, 100, 1, 0.5f, 0.5f);
  bv.pitch = -90.0f;
  // nothing under the start origin: back to the first ground origin (1, 1, 28)
  for (bool back : {false, true}) {  // both steps are checked
    std::tie(run.SX, run.SY, run.SZ, u.fx, u.fy) = std::tuple(100, 100, 1, 0.5f, 0.5f);
    walk(1, !back, back);
    EXPECT_EQ(std::tuple(run.SX, run.SY, run.SZ), std::tuple(1, 1, 28)) << back;
    EXPECT_EQ(std::tuple(u.x, u.y, u.fx, u.fy), std::tuple(100, 100, 0.5f, 0.5f)) << back;
    EXPECT_FLOAT_EQ(u.walk_phase, back ? 0.0f : 1.0f);  // the phase is not undone
  }
  // rock under (300, 400, 2): remembered, and the step stands
  stand_view_on_rock(300, 400, 2);
  u.fx = u.fy = u.fz = 0.3f;
  ground_check(world, run, bv, u);
  EXPECT_EQ(std::tuple(bv.ground_x, bv.ground_y, bv.ground_z, u.fx, u.fy, u.fz),
            std::tuple(300, 400, 2, 0.3f, 0.3f, 0.3f));
  // the view moves off the rock: the next check brings it back and centres unit 1
  run.SX = 310;
  ground_check(world, run, bv, u);
  EXPECT_EQ(std::tuple(run.SX, run.SY, run.SZ, u.fx, u.fy, u.fz),
            std::tuple(300, 400, 2, 0.5f, 0.5f, 0.5f));
  run.SZ = kLevelCount - 1;  // the top level has nothing below it inside the grid
  ground_check(world, run, bv, u);
  EXPECT_EQ(run.SZ, 2);
}

TEST_F(WalkTest, PushOutKeepsTheCameraPointOffWallsReadAroundUnitOne) {
  struct Cell {
    int dx, dy, dz = 0;
    uint8_t code = kTileWall;
  };
  // walls around cell (100, 100, 1); the camera point at entry, then after the push
  const struct {
    std::vector<Cell> cells;
    float a, b, ea, eb;
  } cases[] = {
      // clang-format off
      // 0.25 from a wall: out to 0.3; 0.35 away: untouched
      {{{-1, 0}}, 0.25f, 0.5f, 0.3f, 0.5f}, {{{1, 0}}, 0.75f, 0.5f, 0.7f, 0.5f},
      {{{0, -1}}, 0.5f, 0.25f, 0.5f, 0.3f}, {{{0, 1}}, 0.5f, 0.75f, 0.5f, 0.7f},
      {{{-1, 0}}, 0.35f, 0.5f, 0.35f, 0.5f}, {{{0, 1}}, 0.5f, 0.65f, 0.5f, 0.65f},
      // within 0.2: both tests of that side push (0.2 + 0.2), and the corner
      // test that reaches the same wall pushes along the wall as well
      {{{-1, 0}}, 0.1f, 0.5f, 0.7f, 0.7f}, {{{1, 0}}, 0.9f, 0.5f, 0.3f, 0.3f},
      {{{0, -1}}, 0.5f, 0.1f, 0.7f, 0.7f}, {{{0, 1}}, 0.5f, 0.9f, 0.3f, 0.3f},
      // a lone wall diagonally: only the corner test pushes, 0.2 on both axes
      {{{-1, -1}}, 0.1f, 0.1f, 0.3f, 0.3f}, {{{1, 1}}, 0.9f, 0.9f, 0.7f, 0.7f},
      {{{1, -1}}, 0.9f, 0.1f, 0.7f, 0.3f}, {{{-1, 1}}, 0.1f, 0.9f, 0.3f, 0.7f},
      // inside a wall: the 0.3 tests hold back, the 0.2 tests cancel, a corner pushes
      {{{0, 0}}, 0.4f, 0.5f, 0.6f, 0.7f},
      // two corner tests find a wall: only the first pushes (the row below
      // pushes b 0.2 + 0.2, the lower-left corner 0.2 on both)
      {{{-1, -1}, {0, -1}}, 0.1f, 0.1f, 0.3f, 0.7f},
      // other codes are open space; so are walls a level up or down
      {{{-1, 0, 0, 19}}, 0.1f, 0.5f, 0.1f, 0.5f}, {{{-1, 0, 0, 255}}, 0.1f, 0.5f, 0.1f, 0.5f},
      {{{-1, 0, -1}, {-1, 0, 1}}, 0.1f, 0.5f, 0.1f, 0.5f},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.cells[0].dx << "," << c.cells[0].dy << " a " << c.a << " b " << c.b);
    for (const Cell& w : c.cells) wall(100 + w.dx, 100 + w.dy, 1 + w.dz, w.code);
    place(100, 100, 1, c.a, c.b);
    push_out_of_walls(world, u);
    EXPECT_NEAR(1.0f - u.fx, c.ea, 1e-5);
    EXPECT_NEAR(u.fy, c.eb, 1e-5);
    for (const Cell& w : c.cells) wall(100 + w.dx, 100 + w.dy, 1 + w.dz, 0);
  }
  // the cells are read around unit 1's corner, and nothing off the grid
  wall(49, 60, 7);
  wall(51, 61, 8);
  wall(1014, 59, 7);  // where column -10 of row 60 would be in flat storage
  place(50, 60, 7, 0.5f, 0.5f);
  EXPECT_EQ(cell_at_offset(world, u, -0.01f, 0.5f, 0.5f), kTileWall);  // floor(-0.01) = -1
  EXPECT_EQ(cell_at_offset(world, u, 0.0f, 0.5f, 0.5f), 0);
  EXPECT_EQ(cell_at_offset(world, u, 1.5f, 1.0f, 1.2f), kTileWall);
  EXPECT_EQ(cell_at_offset(world, u, -60.0f, 0.0f, 0.0f), 0);  // column -10
  EXPECT_EQ(cell_at_offset(world, u, 0.0f, 0.0f, 173.0f), 0);  // level 180
}

}  // namespace
