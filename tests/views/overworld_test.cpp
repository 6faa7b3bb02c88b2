#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <tuple>
#include <vector>

#include "core/geometry.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/text.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/overworld.h"
#include "views/tiles.h"
#include "world/bitmap.h"
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

  explicit Rig(int32_t width = 640, int32_t height = 480) {
    set_resolution(fb, width, height);
    set_world_side(w, 64);
    create_world_grid(w);
    create_bitmap_store(bm);
    create_unit_table(units);
    create_path_search(ps, 64);
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
  // 16 x 16, 20 x 20, short (9 rows), tall (an 8 x 8 square), wider and taller than the picture
  for (auto [slot, w, h] :
       {std::tuple{30, 16u, 16u}, {31, 20u, 20u}, {32, 16u, 9u}, {33, 8u, 12u}, {34, 150u, 110u}})
    make_slot(rig.bm, slot, w, h, [&](int32_t, int32_t) {
      const uint8_t k = next() % 8;
      return k < 4 ? near[k] : Rgba{next(), next(), next(), 0};
    });
  Framebuffer background;
  set_resolution(background, 64, 48);
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

}  // namespace
