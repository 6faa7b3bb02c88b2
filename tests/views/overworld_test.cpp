#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "render/framebuffer.h"
#include "render/text.h"
#include "shell/runstate.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/overworld.h"
#include "views/tiles.h"
#include "world/bitmap.h"
#include "world/world.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgba kBlack{0, 0, 0, 0};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

Rgba opaque(Rgb c) { return {c.r, c.g, c.b, 255}; }

// A picture of w x h pixels whose colour at (column, row from the bottom) is f(c, r).
void make_slot(BitmapStore& bm, int32_t slot, uint32_t w, uint32_t h,
               const std::function<Rgb(int32_t, int32_t)>& f) {
  Bitmap& b = bm.slots[slot];
  b.width = w;
  b.height = h;
  b.bytes_per_pixel = 3;
  b.pixels = std::make_unique<uint8_t[]>(size_t(w) * h * 3);
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t c = 0; c < w; ++c) {
      const Rgb v = f(int32_t(c), int32_t(r));
      uint8_t* p = &b.pixels[(size_t(r) * w + c) * 3];
      p[0] = v.r;
      p[1] = v.g;
      p[2] = v.b;
    }
}

void make_plain_slot(BitmapStore& bm, int32_t slot, Rgb colour) {
  make_slot(bm, slot, 16, 16, [colour](int32_t, int32_t) { return colour; });
}

// Distinct colour per slot number below 256.
Rgb slot_colour(int32_t slot) { return {uint8_t(slot), 100, 200}; }

// Every pixel of the 16 x 16 block with bottom-left (x, y) has this colour.
::testing::AssertionResult block_is(const Framebuffer& fb, int32_t x, int32_t y, Rgba want) {
  for (int32_t r = 0; r < 16; ++r)
    for (int32_t c = 0; c < 16; ++c)
      if (!(pixel_at(fb, x + c, y + r) == want))
        return ::testing::AssertionFailure() << "pixel (" << x + c << ", " << y + r << ")";
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
    run.SX = run.SY = 0;
    run.SZ = 1;
    run.selected_unit = 0;  // record 0, never in use: no route unless a test asks
  }
  uint8_t& cell(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  UnitRecord& place(int32_t i, int32_t x, int32_t y, int32_t level, uint16_t sprite = 849) {
    UnitRecord& u = unit(units, i);
    u.in_use = 1;
    u.kind = 1;
    u.x = uint16_t(x);
    u.y = uint16_t(y);
    u.level = uint16_t(level);
    u.sprite = sprite;
    u.bar_max = 24.0f;
    u.bar_value = 24.0f;
    return u;
  }
  void draw() {
    clear_pixels(fb);
    draw_overworld_view(fb, run, w, bm, units, ps, text);
  }
};

// Where a unit's label puts ink: the label drawn alone on a blank picture.
std::set<std::pair<int32_t, int32_t>> label_ink(int32_t width, int32_t height, int32_t index,
                                                int32_t order_flag, int32_t px, int32_t py) {
  Framebuffer fb;
  set_resolution(fb, width, height);
  TextBuffer t;
  text_print(t, "%d ms%d ", index, order_flag);
  draw_small_text(fb, t, px, py + 17, 255, 255, 255);
  std::set<std::pair<int32_t, int32_t>> ink;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if (pixel_at(fb, x, y).a != 0) ink.insert({x, y});
  return ink;
}

// ---------------------------------------------------------------- tiles

TEST(DrawTile, CopiesRowsBottomFirstAndNothingWhollyOutside) {
  Rig rig;
  make_slot(rig.bm, 10, 16, 16,
            [](int32_t c, int32_t r) { return Rgb{uint8_t(c * 10 + 1), uint8_t(r * 10 + 1), 7}; });
  draw_tile(rig.fb, rig.bm, 100, 50, 10);
  for (int32_t r = 0; r < 16; ++r)
    for (int32_t c = 0; c < 16; ++c)
      ASSERT_EQ(pixel_at(rig.fb, 100 + c, 50 + r),
                (Rgba{uint8_t(c * 10 + 1), uint8_t(r * 10 + 1), 7, 255}));
  EXPECT_EQ(pixel_at(rig.fb, 99, 50), kBlack);
  EXPECT_EQ(pixel_at(rig.fb, 116, 50), kBlack);
  EXPECT_EQ(pixel_at(rig.fb, 100, 66), kBlack);
  EXPECT_EQ(pixel_at(rig.fb, 100, 49), kBlack);

  // Partly outside: see SamePictureAsPutPixelWhereverItLands.
  clear_pixels(rig.fb);
  draw_tile(rig.fb, rig.bm, 640, 0, 10);
  draw_tile(rig.fb, rig.bm, 0, -16, 10);
  for (uint8_t b : rig.fb.pixels) ASSERT_EQ(b, 0);
}

TEST(DrawTile, UsesTheWidthForBothSidesAndNeverReadsPastAShortSlot) {
  Rig rig;
  // 16 wide, 8 high: only the 8 rows it holds are drawn.
  make_slot(rig.bm, 11, 16, 8, [](int32_t, int32_t) { return Rgb{50, 60, 70}; });
  draw_tile(rig.fb, rig.bm, 0, 0, 11);
  for (int32_t c = 0; c < 16; ++c) {
    for (int32_t r = 0; r < 8; ++r) ASSERT_EQ(pixel_at(rig.fb, c, r), (Rgba{50, 60, 70, 255}));
    for (int32_t r = 8; r < 16; ++r) ASSERT_EQ(pixel_at(rig.fb, c, r), kBlack);
  }
  // 8 wide, 12 high: an 8 x 8 square, the stored height is not used.
  clear_pixels(rig.fb);
  make_slot(rig.bm, 12, 8, 12, [](int32_t, int32_t) { return Rgb{1, 2, 3}; });
  draw_tile(rig.fb, rig.bm, 0, 0, 12);
  EXPECT_EQ(pixel_at(rig.fb, 7, 7), (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(pixel_at(rig.fb, 7, 8), kBlack);
  EXPECT_EQ(pixel_at(rig.fb, 8, 0), kBlack);
}

TEST(DrawTile, EmptyAndUnknownSlotsDrawNothing) {
  Rig rig;
  // A short pixel read leaves the size but no pixels.
  rig.bm.slots[13].width = 16;
  rig.bm.slots[13].height = 16;
  draw_tile(rig.fb, rig.bm, 0, 0, 13);
  draw_sprite(rig.fb, rig.bm, 0, 0, 13);
  draw_tile(rig.fb, rig.bm, 0, 0, 14);  // never loaded
  draw_tile(rig.fb, rig.bm, 0, 0, -1);
  draw_sprite(rig.fb, rig.bm, 0, 0, kBitmapSlots);
  draw_sprite(rig.fb, rig.bm, 0, 0, 65535);
  for (uint8_t b : rig.fb.pixels) ASSERT_EQ(b, 0);
}

TEST(DrawSprite, SkipsTheColourKeyAndBlackOnly) {
  Rig rig;
  // Columns: 0 key, 1 black, 2 one off the key, 3 nearly black, rest grey.
  make_slot(rig.bm, 20, 16, 16, [](int32_t c, int32_t) {
    switch (c) {
      case 0: return Rgb{255, 0, 246};
      case 1: return Rgb{0, 0, 0};
      case 2: return Rgb{255, 0, 245};
      case 3: return Rgb{0, 0, 1};
      default: return Rgb{90, 90, 90};
    }
  });
  make_plain_slot(rig.bm, 10, {10, 20, 30});
  draw_tile(rig.fb, rig.bm, 32, 32, 10);
  draw_sprite(rig.fb, rig.bm, 32, 32, 20);
  for (int32_t r = 0; r < 16; ++r) {
    EXPECT_EQ(pixel_at(rig.fb, 32, 32 + r), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(pixel_at(rig.fb, 33, 32 + r), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(pixel_at(rig.fb, 34, 32 + r), (Rgba{255, 0, 245, 255}));
    EXPECT_EQ(pixel_at(rig.fb, 35, 32 + r), (Rgba{0, 0, 1, 255}));
    EXPECT_EQ(pixel_at(rig.fb, 47, 32 + r), (Rgba{90, 90, 90, 255}));
  }
  // draw_tile copies the key colours as they are.
  clear_pixels(rig.fb);
  draw_tile(rig.fb, rig.bm, 0, 0, 20);
  EXPECT_EQ(pixel_at(rig.fb, 0, 0), (Rgba{255, 0, 246, 255}));
  EXPECT_EQ(pixel_at(rig.fb, 1, 0), (Rgba{0, 0, 0, 255}));
}

// Whole tiles inside the picture take a faster way; wherever a picture lands,
// it must be exactly what one put_pixel per slot pixel gives.
TEST(DrawTile, SamePictureAsPutPixelWhereverItLands) {
  Rig rig(64, 48);
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return uint8_t(seed >> 16);
  };
  // Random pixels, a quarter of them keyed or black.
  auto fill = [&](int32_t slot, uint32_t w, uint32_t h) {
    make_slot(rig.bm, slot, w, h, [&](int32_t, int32_t) {
      switch (next() % 8) {
        case 0: return Rgb{255, 0, 246};
        case 1: return Rgb{0, 0, 0};
        default: return Rgb{next(), next(), next()};
      }
    });
  };
  fill(30, 16, 16);
  fill(31, 20, 20);
  fill(32, 16, 9);
  Framebuffer background;
  set_resolution(background, 64, 48);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) put_pixel(background, x, y, next(), next(), next());

  for (int32_t slot : {30, 31, 32})
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
              if (!(keyed && key)) put_pixel(want, x + int32_t(c), y + int32_t(r), p[0], p[1], p[2]);
            }
          if (keyed)
            draw_sprite(rig.fb, rig.bm, x, y, slot);
          else
            draw_tile(rig.fb, rig.bm, x, y, slot);
          ASSERT_EQ(rig.fb.pixels, want.pixels)
              << "slot " << slot << " keyed " << keyed << " at " << x << "," << y;
        }
}

// ---------------------------------------------------------------- terrain

// The picture each code shows on a level, written out from the tile list.
int32_t expected_slot(int32_t code, int32_t level) {
  if (code >= 10 && code <= 17) return code;
  if (code == 18) return level == 0 ? 12 : level == 1 ? 18 : level == 2 ? 17 : -1;
  if (code >= 19 && code <= 24) return code;
  if (code >= 180 && code <= 184) return code;
  if (code >= 188 && code <= 194) return code;
  if (code >= 196 && code <= 198) return code;
  switch (code) {
    case '<': return 119;
    case '=': return 111;
    case 'D': return 118;
    case 'F': return 128;
    case 'L': return 137;
    case 'M': return 136;
    case 'N': return 131;
    case 'O': return 130;
    case 'P': return 132;
    case 'Q': return 133;
    case 'R': return 148;
    case 'S': return 149;
    case 'T': return 134;
    case 'U': return 135;
    case 'V': return 122;
    case 'W': return 123;
    case 'X': return 124;
    case 'Y': return 125;
    case 'Z': return 120;
    case '[': return 121;
    case 'd': return 167;
    case 'l': return 140;
    case 'm': return 142;
    case 'o': return 141;
    case 'p': return 144;
    case 'q': return 146;
    case 't': return 145;
    case 128: return 152;
    case 161: return 126;
    case 162: return 127;
    case 211: return 160;
    case 212: return 161;
    case 218: return 155;
    case 219: return 156;
    default: return -1;
  }
}

TEST(OverworldTerrain, EveryCodeShowsItsPictureAndUnlistedCodesStayBlack) {
  Rig rig;
  for (int32_t s = 0; s < 256; ++s) make_plain_slot(rig.bm, s, slot_colour(s));
  // Code k at window cell (k % 40, k / 40) of level 1.
  for (int32_t k = 0; k < 256; ++k) rig.cell(k % 40, k / 40, 1) = uint8_t(k);
  rig.draw();
  int32_t drawn = 0;
  for (int32_t k = 0; k < 256; ++k) {
    const int32_t s = expected_slot(k, 1);
    const Rgba want = s < 0 ? kBlack : opaque(slot_colour(s));
    EXPECT_TRUE(block_is(rig.fb, (k % 40) * 16, (k / 40) * 16, want)) << "code " << k;
    drawn += s >= 0;
  }
  EXPECT_EQ(drawn, 64);  // the codes the view has pictures for
}

TEST(OverworldTerrain, HillsDependOnTheLevel) {
  Rig rig;
  for (int32_t s = 10; s < 25; ++s) make_plain_slot(rig.bm, s, slot_colour(s));
  for (int32_t z = 0; z < 6; ++z) rig.cell(3, 2, z) = 18;
  const Rgba want[] = {opaque(slot_colour(12)), opaque(slot_colour(18)),
                       opaque(slot_colour(17)), kBlack, kBlack, kBlack};
  for (int32_t z = 0; z < 6; ++z) {
    rig.run.SZ = z;
    rig.draw();
    EXPECT_TRUE(block_is(rig.fb, 48, 32, want[z])) << "level " << z;
  }
}

TEST(OverworldTerrain, CellsOffTheGridDrawNothing) {
  Rig rig;  // side 64
  make_plain_slot(rig.bm, 10, {0, 200, 0});
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      rig.cell(x, y, 1) = 10;
      rig.cell(x, y, 2) = 10;  // what flat storage would show past a row's end
    }
  const Rgba plain{0, 200, 0, 255};
  // Window reaching 26 columns and 10 rows past the last column and row.
  rig.run.SX = 50;
  rig.run.SY = 44;
  rig.draw();
  for (int32_t c = 0; c < 40; ++c)
    for (int32_t r = 0; r < 30; ++r)
      ASSERT_TRUE(block_is(rig.fb, c * 16, r * 16, c < 14 && r < 20 ? plain : kBlack))
          << c << "," << r;
  // Before the first column and row.
  rig.run.SX = -3;
  rig.run.SY = -2;
  rig.draw();
  for (int32_t c = 0; c < 40; ++c)
    for (int32_t r = 0; r < 30; ++r)
      ASSERT_TRUE(block_is(rig.fb, c * 16, r * 16, c >= 3 && r >= 2 ? plain : kBlack))
          << c << "," << r;
  // Levels that do not exist.
  for (int32_t z : {-1, kLevelCount, 100000}) {
    rig.run.SX = rig.run.SY = 0;
    rig.run.SZ = z;
    rig.draw();
    for (uint8_t b : rig.fb.pixels) ASSERT_EQ(b, 0);
  }
  // The far corner of the largest level: the last byte of the grid.
  rig.run.SZ = kLevelCount - 1;
  rig.run.SX = 63;
  rig.run.SY = 63;
  rig.cell(63, 63, kLevelCount - 1) = 10;
  rig.draw();
  EXPECT_TRUE(block_is(rig.fb, 0, 0, plain));
  EXPECT_TRUE(block_is(rig.fb, 16, 0, kBlack));
}

// ---------------------------------------------------------------- units

TEST(OverworldUnits, BarIsFourteenPixelsTimesValueOverMaximum) {
  struct Case {
    float value, max;
    int32_t green_to;  // last green column relative to px; -1 for no green
  };
  const Case cases[] = {
      {24, 24, 14},  // full: the whole red base
      {12, 24, 7},   // half
      {0, 24, 0},    // empty: only the first pixel
      {8, 24, 4},    // 4.67 truncated
      {30, 24, 14},  // above the maximum: the line is longer, the base ends at 14
  };
  for (const Case& k : cases) {
    Rig rig;
    UnitRecord& u = rig.place(5, 5, 5, 1);
    u.bar_value = k.value;
    u.bar_max = k.max;
    rig.draw();
    const auto ink = label_ink(640, 480, 5, 0, 80, 80);
    const int32_t green_end = k.value > k.max ? 80 + int32_t(14.0f * k.value / k.max) : 80 + k.green_to;
    for (int32_t x = 76; x < 110; ++x) {
      Rgba want = kBlack;
      if (x >= 80 && x <= 94) want = kRed;
      if (x >= 80 && x <= green_end) want = kGreen;
      if (ink.count({x, 96})) want = kWhite;
      EXPECT_EQ(pixel_at(rig.fb, x, 96), want) << "value " << k.value << " x " << x;
    }
  }
}

TEST(OverworldUnits, BarStateHidesTheGreenAndAZeroMaximumIsHarmless) {
  Rig rig;
  UnitRecord& u = rig.place(5, 5, 5, 1);
  u.bar_state = 1;
  rig.draw();
  const auto ink = label_ink(640, 480, 5, 0, 80, 80);
  for (int32_t x = 80; x <= 94; ++x)
    EXPECT_EQ(pixel_at(rig.fb, x, 96), ink.count({x, 96}) ? kWhite : kRed) << x;

  // 0 / 0 has no length: the red base only.
  u.bar_state = 0;
  u.bar_max = 0;
  u.bar_value = 0;
  rig.draw();
  for (int32_t x = 80; x <= 94; ++x)
    EXPECT_EQ(pixel_at(rig.fb, x, 96), ink.count({x, 96}) ? kWhite : kRed) << x;
  // A positive value over a zero maximum is endless: green to the picture's edge.
  u.bar_value = 3;
  rig.draw();
  for (int32_t x = 80; x < 640; ++x)
    ASSERT_EQ(pixel_at(rig.fb, x, 96), ink.count({x, 96}) ? kWhite : kGreen) << x;
  EXPECT_EQ(pixel_at(rig.fb, 79, 96), kBlack);
}

TEST(OverworldUnits, SpriteOverTerrainWithLabelInWhite) {
  Rig rig;
  make_plain_slot(rig.bm, 10, {0, 200, 0});
  // The unit picture: keyed on its left column, blue elsewhere.
  make_slot(rig.bm, 849, 16, 16,
            [](int32_t c, int32_t) { return c == 0 ? Rgb{255, 0, 246} : Rgb{0, 0, 200}; });
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) rig.cell(x, y, 1) = 10;
  rig.place(7, 10, 6, 1).order_flag = 1;
  rig.draw();
  const int32_t px = 160, py = 96;
  const auto ink = label_ink(640, 480, 7, 1, px, py);
  EXPECT_FALSE(ink.empty());
  for (int32_t r = 0; r < 16; ++r)
    for (int32_t c = 0; c < 16; ++c) {
      if (ink.count({px + c, py + r})) continue;
      ASSERT_EQ(pixel_at(rig.fb, px + c, py + r),
                c == 0 ? (Rgba{0, 200, 0, 255}) : (Rgba{0, 0, 200, 255}));
    }
  for (const auto& [x, y] : ink) EXPECT_EQ(pixel_at(rig.fb, x, y), kWhite) << x << "," << y;
}

TEST(OverworldUnits, OnlyCellsInsideTheWindowAreDrawn) {
  // 648 x 488 leaves half a cell of room beyond the 40 x 30 window, so a unit
  // drawn at column 40 or row 30 would show.
  Rig rig(648, 488);
  make_plain_slot(rig.bm, 849, {0, 0, 200});
  const Rgba blue{0, 0, 200, 255};
  rig.place(1, 39, 29, 1);
  rig.draw();
  EXPECT_EQ(pixel_at(rig.fb, 624, 464), blue);
  EXPECT_EQ(pixel_at(rig.fb, 639, 464), blue);

  for (auto [x, y] : {std::pair{40, 3}, std::pair{3, 30}}) {
    Rig other(648, 488);
    make_plain_slot(other.bm, 849, {0, 0, 200});
    other.place(1, x, y, 1);
    other.draw();
    for (uint8_t b : other.fb.pixels) ASSERT_EQ(b, 0) << x << "," << y;
  }
  // Left of and below the origin: the label and bar would reach into the picture.
  for (auto [x, y] : {std::pair{9, 10}, std::pair{10, 9}}) {
    Rig other;
    other.run.SX = other.run.SY = 10;
    make_plain_slot(other.bm, 849, {0, 0, 200});
    other.place(2, x, y, 1);
    other.draw();
    for (uint8_t b : other.fb.pixels) ASSERT_EQ(b, 0) << x << "," << y;
  }
}

TEST(OverworldUnits, OnlyLiveActiveUnitsOfKindsOneThreeNineOnTheLevel) {
  struct Case {
    uint8_t in_use, inactive;
    uint16_t kind, level;
    bool drawn;
  };
  const Case cases[] = {
      {1, 0, 1, 1, true}, {1, 0, 3, 1, true},  {1, 0, 9, 1, true},  {1, 0, 2, 1, false},
      {1, 0, 0, 1, false}, {2, 0, 1, 1, false}, {0, 0, 1, 1, false}, {1, 1, 1, 1, false},
      {1, 0, 1, 0, false}, {1, 0, 1, 2, false},
  };
  for (const Case& k : cases) {
    Rig rig;
    make_plain_slot(rig.bm, 849, {0, 0, 200});
    UnitRecord& u = rig.place(3, 4, 4, k.level);
    u.in_use = k.in_use;
    u.inactive = k.inactive;
    u.kind = k.kind;
    rig.draw();
    EXPECT_EQ(pixel_at(rig.fb, 65, 65), k.drawn ? (Rgba{0, 0, 200, 255}) : kBlack)
        << int(k.in_use) << " " << int(k.inactive) << " " << k.kind << " " << k.level;
  }
}

TEST(OverworldUnits, HigherIndexOnTheSameCellIsDrawnLast) {
  Rig rig;
  make_plain_slot(rig.bm, 849, {0, 0, 200});
  make_plain_slot(rig.bm, 850, {200, 200, 0});
  UnitRecord& low = rig.place(4, 5, 5, 1, 849);
  low.bar_value = 24;  // green across
  UnitRecord& high = rig.place(9, 5, 5, 1, 850);
  high.bar_value = 0;  // green on the first pixel only
  rig.draw();
  const auto ink = label_ink(640, 480, 9, 0, 80, 80);
  const auto low_ink = label_ink(640, 480, 4, 0, 80, 80);
  // The later sprite and bar cover the earlier ones; its label is white on top.
  for (int32_t c = 0; c < 16; ++c)
    for (int32_t r = 0; r < 16; ++r) {
      if (ink.count({80 + c, 80 + r}) || low_ink.count({80 + c, 80 + r})) continue;
      ASSERT_EQ(pixel_at(rig.fb, 80 + c, 80 + r), (Rgba{200, 200, 0, 255}));
    }
  for (int32_t x = 81; x <= 94; ++x) {
    if (ink.count({x, 96})) continue;
    EXPECT_EQ(pixel_at(rig.fb, x, 96), kRed) << x;  // the lower index's green is covered
  }
  for (const auto& p : ink) EXPECT_EQ(pixel_at(rig.fb, p.first, p.second), kWhite);
}

// ---------------------------------------------------------------- route

TEST(OverworldRoute, MarksTheCellsAheadAndTheUnitsOwnCell) {
  Rig rig;
  // Marker: yellow with a keyed centre pixel.
  make_slot(rig.bm, 22, 16, 16, [](int32_t c, int32_t r) {
    return c == 8 && r == 8 ? Rgb{255, 0, 246} : Rgb{220, 220, 0};
  });
  make_plain_slot(rig.bm, 10, {0, 200, 0});
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) rig.cell(x, y, 1) = 10;
  rig.run.selected_unit = 3;
  rig.place(3, 2, 2, 1, 900);  // slot 900 empty: the unit itself is invisible
  // Path goal first: (8, 2) is cell 0, then (7, 2), (6, 2); the cursor at 2,
  // and a stale cell 3 beyond the cursor that is already walked.
  const int32_t cells[][2] = {{8, 2}, {7, 2}, {6, 2}, {5, 2}};
  for (int32_t i = 0; i < 4; ++i) {
    rig.ps.path_x[3 * kUnitPathCapacity + i] = cells[i][0];
    rig.ps.path_y[3 * kUnitPathCapacity + i] = cells[i][1];
  }
  rig.ps.path_cursor[3] = 2;
  rig.draw();
  const Rgba marker{220, 220, 0, 255}, plain{0, 200, 0, 255};
  for (int32_t x : {2, 6, 7, 8}) {
    EXPECT_EQ(pixel_at(rig.fb, x * 16 + 1, 2 * 16 + 1), marker) << x;
    EXPECT_EQ(pixel_at(rig.fb, x * 16 + 8, 2 * 16 + 8), plain) << x;  // key shows terrain
  }
  for (int32_t x : {3, 4, 5, 9}) EXPECT_EQ(pixel_at(rig.fb, x * 16 + 1, 33), plain) << x;

  // No path: the own cell only.
  rig.ps.path_cursor[3] = kNoPath;
  rig.draw();
  EXPECT_EQ(pixel_at(rig.fb, 2 * 16 + 1, 33), marker);
  for (int32_t x : {5, 6, 7, 8}) EXPECT_EQ(pixel_at(rig.fb, x * 16 + 1, 33), plain) << x;
  // Cursor -1 (route used up) is no path either.
  rig.ps.path_cursor[3] = -1;
  rig.draw();
  EXPECT_EQ(pixel_at(rig.fb, 8 * 16 + 1, 33), plain);
}

TEST(OverworldRoute, DrawnWhateverTheUnitsLevelButOnlyWhileInUse) {
  Rig rig;
  make_plain_slot(rig.bm, 22, {220, 220, 0});
  make_plain_slot(rig.bm, 849, {0, 0, 200});
  rig.run.selected_unit = 6;
  UnitRecord& u = rig.place(6, 4, 4, 2);
  rig.ps.path_x[6 * kUnitPathCapacity] = 9;
  rig.ps.path_y[6 * kUnitPathCapacity] = 4;
  rig.ps.path_cursor[6] = 0;
  rig.draw();  // viewing level 1
  EXPECT_EQ(pixel_at(rig.fb, 4 * 16 + 1, 65), (Rgba{220, 220, 0, 255}));  // own cell marker
  EXPECT_EQ(pixel_at(rig.fb, 9 * 16 + 1, 65), (Rgba{220, 220, 0, 255}));
  // Units cover markers: on its own level the sprite is on top.
  rig.run.SZ = 2;
  rig.draw();
  EXPECT_EQ(pixel_at(rig.fb, 4 * 16 + 1, 65), (Rgba{0, 0, 200, 255}));
  u.in_use = 0;
  rig.draw();
  for (uint8_t b : rig.fb.pixels) ASSERT_EQ(b, 0);
  // A selection outside the table draws no route and does not read past it.
  u.in_use = 1;
  for (int32_t s : {-1, kUnitTableSize}) {
    rig.run.selected_unit = s;
    rig.run.SZ = 1;
    rig.draw();
    for (uint8_t b : rig.fb.pixels) ASSERT_EQ(b, 0);
  }
}

}  // namespace
