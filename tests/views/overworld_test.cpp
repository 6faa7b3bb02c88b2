// The flat views: overworld tiles, units and route, the minimap and the screensaver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <tuple>

#include "core/geometry.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/text.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"
#include "views/tiles.h"
#include "world/bitmap.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

constexpr Rgba kBlack{0, 0, 0, 0}, kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255},
    kWhite{255, 255, 255, 255}, kBlue{0, 0, 200, 255}, kPlain{0, 200, 0, 255},
    kKeyed{255, 0, 246, 0};

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
  Framebuffer fb;
  set_resolution(fb, 640, 480);
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
  // 16 x 16, 20 x 20, short (9 rows), tall (an 8 x 8 square)
  for (auto [slot, w, h] : {std::tuple{30, 16u, 16u}, {31, 20u, 20u}, {32, 16u, 9u}, {33, 8u, 12u}})
    make_slot(rig.bm, slot, w, h, [&](int32_t, int32_t) {
      const uint8_t k = next() % 8;
      return k < 4 ? near[k] : Rgba{next(), next(), next(), 0};
    });
  Framebuffer background;
  set_resolution(background, 64, 48);
  for (uint8_t& p : background.pixels) p = next();

  for (int32_t slot : {30, 31, 32, 33})
    for (bool keyed : {false, true})
      for (int32_t y : {-21, -16, -1, 0, 5, 28, 31, 32, 47, 48})
        for (int32_t x : {-21, -16, -1, 0, 7, 44, 47, 48, 63, 64}) {
          rig.fb.pixels = background.pixels;
          Framebuffer want = background;
          const Bitmap& b = rig.bm.slots[slot];
          for (uint32_t r = 0; r < std::min(b.width, b.height); ++r)
            for (uint32_t c = 0; c < b.width; ++c) {
              const uint8_t* p = &b.pixels[(r * b.width + c) * 3];
              const bool key = (p[0] == 255 && p[1] == 0 && p[2] == 246) ||
                               (p[0] == 0 && p[1] == 0 && p[2] == 0);
              if (!(keyed && key))
                put_pixel(want, x + int32_t(c), y + int32_t(r), p[0], p[1], p[2]);
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

Framebuffer picture(int32_t w, int32_t h) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  return fb;
}

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

}  // namespace
