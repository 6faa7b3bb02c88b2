// The views against plain drawings made here: the overworld and minimap pixel by pixel, the
// screensaver from its random values, the block view in offscreen GL cell by cell.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
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
#include "world/bitmap.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

// A small generator for the random cases, apart from the game's.
struct Dice {
  uint32_t s;
  uint32_t operator()(uint32_t n) {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) % n;
  }
  int32_t in(int32_t lo, int32_t hi) { return lo + int32_t((*this)(uint32_t(hi - lo + 1))); }
  template <class T>
  T pick(std::initializer_list<T> v) {
    return v.begin()[(*this)(uint32_t(v.size()))];
  }
};

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

// Random colours with the colour key, black and their nearest neighbours mixed in.
Rgba speckle(Dice& d) {
  const Rgba near[] = {{255, 0, 246, 0}, {0, 0, 0, 0}, {255, 0, 245, 0}, {0, 0, 1, 0}};
  const uint32_t k = d(10);
  return k < 4 ? near[k] : Rgba{uint8_t(d(256)), uint8_t(d(256)), uint8_t(d(256)), 0};
}

// One put_pixel per slot pixel, rows bottom first, the width for both sides but
// no more rows than the slot holds; keyed, the key colour and black are left out.
void plain_picture(Framebuffer& fb, const BitmapStore& bm, int64_t x, int64_t y, int32_t slot,
                   bool keyed) {
  if (slot < 0 || slot >= kBitmapSlots || !bm.slots[slot].pixels) return;
  const Bitmap& b = bm.slots[slot];
  for (uint32_t r = 0; r < std::min(b.width, b.height); ++r)
    for (uint32_t c = 0; c < b.width; ++c) {
      const uint8_t* p = &b.pixels[(r * b.width + c) * 3];
      const bool key =
          (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] == 0 && p[1] == 0 && p[2] == 0);
      const int64_t px = x + c, py = y + r;
      if (!(keyed && key) && px >= 0 && px < fb.width && py >= 0 && py < fb.height)
        put_pixel(fb, int32_t(px), int32_t(py), p[0], p[1], p[2]);
    }
}

void plain_row(Framebuffer& fb, int64_t x0, int64_t x1, int64_t y, Rgba c) {
  for (int64_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
    if (x >= 0 && x < fb.width && y >= 0 && y < fb.height)
      put_pixel(fb, int32_t(x), int32_t(y), c.r, c.g, c.b);
}

class FakeInput : public InputSource {
 public:
  bool keys[256] = {};
  void begin_pass(int32_t) override {}
  bool key_down(int32_t vk) override { return vk >= 0 && vk < 256 && keys[vk]; }
  void pointer(int32_t, int32_t, int32_t* x, int32_t* y) override { *x = *y = 0; }
};

// Everything a view reads, on a grid of the given side.
struct Scene {
  World w;
  BitmapStore bm;
  UnitTable units;
  PathSearch ps;
  RunState run;
  BlockViewState bv;
  Framebuffer fb;
  FakeInput input;
  Platform platform;
  explicit Scene(int32_t side = kWorldSide) {
    set_world_side(w, side), create_world_grid(w);
    create_unit_table(units), create_bitmap_store(bm);
    set_resolution(fb, kBlockViewWidth, kBlockViewHeight);
    platform.input = &input;
  }
  void wall(int32_t x, int32_t y, int32_t z, uint8_t code = kTileWall) {
    set_cell(w, x, y, z, code);
  }
  void put_unit(int32_t i, int32_t x, int32_t y, int32_t z) {
    UnitRecord& u = unit(units, i);
    u.in_use = 1, u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(z);
    u.fx = u.fy = u.fz = 0.5f;
  }
};

// Terrain by the tile table, the selected unit's route, then the units with
// their bars and labels; cells off the grid stay as they were.
void plain_overworld(Framebuffer& fb, const Scene& s) {
  const RunState& run = s.run;
  const int64_t cols = fb.width / 16, rows = fb.height / 16;
  for (int64_t c = 0; c < cols; ++c)
    for (int64_t r = 0; r < rows; ++r) {
      const int64_t x = run.SX + c, y = run.SY + r;
      if (run.SZ < 0 || run.SZ >= kLevelCount || x < 0 || x >= s.w.side || y < 0 || y >= s.w.side)
        continue;
      const int32_t slot = tile_picture_slot(cell_at(s.w, int32_t(x), int32_t(y), run.SZ), run.SZ);
      if (slot != kNoPicture) plain_picture(fb, s.bm, 16 * c, 16 * r, slot, false);
    }
  const int32_t sel = run.selected_unit;
  if (sel >= 0 && sel < kUnitTableSize && unit(s.units, sel).in_use == 1) {
    for (int32_t i = s.ps.path_cursor[sel]; i >= 0; --i)
      plain_picture(fb, s.bm, (int64_t(path_cell_x(s.ps, sel, i)) - run.SX) * 16,
                    (int64_t(path_cell_y(s.ps, sel, i)) - run.SY) * 16, 22, true);
    const UnitRecord& u = unit(s.units, sel);
    plain_picture(fb, s.bm, (int64_t(u.x) - run.SX) * 16, (int64_t(u.y) - run.SY) * 16, 22, true);
  }
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const UnitRecord& u = unit(s.units, i);
    const int64_t dx = int64_t(u.x) - run.SX, dy = int64_t(u.y) - run.SY;
    if (u.in_use != 1 || u.inactive != 0 || !(u.kind == 1 || u.kind == 3 || u.kind == 9) ||
        u.level != run.SZ || dx < 0 || dx >= cols || dy < 0 || dy >= rows)
      continue;
    const int32_t px = int32_t(dx * 16), py = int32_t(dy * 16);
    plain_picture(fb, s.bm, px, py, u.sprite, true);
    plain_row(fb, px, px + 14, py + 16, {255, 0, 0, 255});
    const float end = float(px) + (14.0f * u.bar_value) / u.bar_max;  // a zero maximum: endless
    if (u.bar_state == 0 && !std::isnan(end))
      plain_row(fb, px, std::isinf(end) ? (end > 0 ? fb.width : -1) : int64_t(end), py + 16,
                {0, 255, 0, 255});
    TextBuffer t;
    text_print(t, "%d ms%d ", i, u.order_flag);
    draw_small_text(fb, t, px, py + 17, 255, 255, 255);
  }
}

// Level SZ + 10's corner: grey for 19, green for 10; red dots for units on the
// level away from the grid's border, one per 16 cells; the white view dot last.
void plain_minimap(Framebuffer& fb, const Scene& s) {
  const int32_t x0 = s.run.minimap_x, y0 = s.run.minimap_y, z = s.run.SZ + 10;
  for (int32_t i = 0; i < 64; ++i)
    for (int32_t j = 0; j < 64; ++j) {
      if (z < 0 || z >= kLevelCount || i >= s.w.side || j >= s.w.side) continue;
      const uint8_t code = cell_at(s.w, i, j, z);
      if (code == 19) put_pixel(fb, x0 + i, y0 + j, 128, 128, 128);
      if (code == 10) put_pixel(fb, x0 + i, y0 + j, 0, 128, 0);
    }
  for (int32_t k = 0; k < kUnitTableSize; ++k) {
    const UnitRecord& u = unit(s.units, k);
    if (u.in_use == 1 && u.level == s.run.SZ && u.x > 0 && u.x < s.w.side - 1 && u.y > 0 &&
        u.y < s.w.side - 1)
      put_pixel(fb, x0 + u.x / 16, y0 + u.y / 16, 255, 0, 0);
  }
  put_pixel(fb, x0 + s.run.SX / 16, y0 + s.run.SY / 16, 255, 255, 255);
}

// Wherever a picture lands, tile and sprite give exactly the plain copy: slots
// of every shape, from far off one side to far off the other.
TEST(DrawTile, SamePictureAsThePlainCopyWhereverItLandsAndNothingWithoutPixels) {
  BitmapStore bm;
  create_bitmap_store(bm);
  Dice d{12345};
  // 16 x 16, 20 x 20, short (9 rows), tall (an 8 x 8 square), wider and taller than the picture
  for (auto [slot, w, h] :
       {std::tuple{30, 16u, 16u}, {31, 20u, 20u}, {32, 16u, 9u}, {33, 8u, 12u}, {34, 150u, 110u}})
    make_slot(bm, slot, w, h, [&](int32_t, int32_t) { return speckle(d); });
  bm.slots[13].width = bm.slots[13].height = 16;  // a short pixel read: the size, no pixels
  Framebuffer background, fb;
  set_resolution(background, 64, 48);
  for (uint8_t& p : background.pixels) p = uint8_t(d(256));
  std::vector<int32_t> xs{-21, -16, -1, 0, 7, 44, 47, 48, 63, 64},
      ys{-21, -16, -1, 0, 5, 28, 31, 32, 47, 48};
  for (int i = 0; i < 14; ++i) xs.push_back(d.in(-170, 89)), ys.push_back(d.in(-130, 69));
  for (int32_t far : {INT32_MIN, INT32_MIN + 20, INT32_MAX - 20, INT32_MAX})
    xs.push_back(far), ys.push_back(far);
  for (int32_t slot : {30, 31, 32, 33, 34, 13, 14, -1, kBitmapSlots, 65535})
    for (bool keyed : {false, true})
      for (int32_t y : ys)
        for (int32_t x : xs) {
          fb = background;
          Framebuffer want = background;
          plain_picture(want, bm, x, y, slot, keyed);
          (keyed ? draw_sprite : draw_tile)(fb, bm, x, y, slot);
          ASSERT_EQ(fb.pixels, want.pixels)
              << "slot " << slot << " keyed " << keyed << " at " << x << "," << y;
        }
}

// Random levels, windows (some reaching past the grid), unit tables and routes,
// with the minimap drawn over the view as the frame does.
TEST(Overworld, WholePictureAndMinimapMatchThePlainDrawingOverRandomScenes) {
  Dice d{2024};
  for (int32_t side : {32, 64, 128}) {
    Scene s(side);
    auto speckled = [&](int32_t slot, uint32_t w, uint32_t h) {
      make_slot(s.bm, slot, w, h, [&](int32_t, int32_t) { return speckle(d); });
    };
    for (int32_t slot = 0; slot < 256; ++slot)  // 13 stays empty
      if (slot != 13) speckled(slot, 16, 16);
    speckled(17, 20, 20);  // reaches over its neighbours
    speckled(18, 16, 9);   // short
    speckled(849, 16, 16), speckled(850, 16, 16);
    create_path_search(s.ps, side);
    for (int32_t z = 0; z < kLevelCount; ++z)
      for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
          set_cell(s.w, x, y, z, d(3) ? uint8_t(d.pick({10, 19, 7})) : uint8_t(d(256)));
    for (int round = 0; round < 40; ++round) {
      Framebuffer fb, want;
      const auto [fw, fh] = d.pick({std::pair(640, 480), {648, 488}, {320, 240}});
      set_resolution(fb, fw, fh);
      for (uint8_t& p : fb.pixels) p = uint8_t(d(256));
      want = fb;
      RunState& run = s.run;
      run.SZ = d(4) ? d.in(0, 3) : d.pick({-1, 10, 169, 170, 179, 180, 100000});
      run.SX = d.in(-30, side - 20), run.SY = d.in(-20, side - 10);
      run.minimap_x = d.pick({518, 0, -10, fw - 60}), run.minimap_y = d.pick({338, 0, fh - 30});
      for (int32_t i = 0; i < kUnitTableSize; ++i) unit(s.units, i) = UnitRecord{};
      std::vector<int32_t> used;
      for (int k = d(40); k-- > 0;) {
        const int32_t i = d(4) ? d.in(0, 60) : d.pick({0, 2999, int32_t(d(3000))});
        UnitRecord& u = unit(s.units, i);
        used.push_back(i);
        u.in_use = uint8_t(d(5) ? 1 : d(3));
        u.inactive = uint8_t(d(6) == 0);
        u.kind = uint16_t(d(3) ? d.pick({1, 3, 9}) : d(11));
        u.level = uint16_t(std::max(0, run.SZ + d.in(d(3) ? 0 : -1, 1)));
        // often on the window's first or last cell, or just past it
        auto near = [&](int32_t n) { return d(2) ? d.pick({-1, 0, n - 1, n}) : d.in(-3, n + 2); };
        u.x = uint16_t(std::clamp(run.SX + near(fw / 16), 0, side - 1));
        u.y = uint16_t(std::clamp(run.SY + near(fh / 16), 0, side - 1));
        u.sprite = uint16_t(d.pick({849, 850, 851, 13, 10}));
        u.order_flag = uint8_t(d(4));
        u.bar_max = d(6) ? 24.0f : d.pick({0.0f, 7.0f});
        u.bar_value = d(3) ? u.bar_max : float(d.pick({0, 8, 12, 30, 3}));
        u.bar_state = uint8_t(d(5) == 0);
      }
      run.selected_unit = used.empty() || !d(5) ? d.pick({-1, 0, 5, kUnitTableSize})
                                                : used[d(uint32_t(used.size()))];
      if (run.selected_unit >= 0 && run.selected_unit < kUnitTableSize) {
        const int32_t sel = run.selected_unit;
        s.ps.path_cursor[sel] = d.pick({kNoPath, -1, 0, 1, 3, 6});
        for (int32_t i = 0; i < 8; ++i) {
          s.ps.path_x[size_t(sel) * kUnitPathCapacity + i] = run.SX + d.in(-2, fw / 16 + 1);
          s.ps.path_y[size_t(sel) * kUnitPathCapacity + i] = run.SY + d.in(-2, fh / 16 + 1);
        }
      }
      TextBuffer text;
      draw_overworld_view(fb, run, s.w, s.bm, s.units, s.ps, text);
      draw_minimap(fb, run, s.w, s.units);
      plain_overworld(want, s), plain_minimap(want, s);
      for (int32_t y = 0; y < fh; ++y)
        for (int32_t x = 0; x < fw; ++x)
          ASSERT_EQ(pixel_at(fb, x, y), pixel_at(want, x, y))
              << "side " << side << " round " << round << " at " << x << "," << y << " origin "
              << run.SX << "," << run.SY << "," << run.SZ << " selected " << run.selected_unit;
    }
  }
}

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

// Blue noise below 255, then four circles (blue, green, red, row, column) of radius width / 5,
// half a turn in steps of 50 / radius degrees (1 at width 250), mirrored about the centre column.
void plain_renewal(Framebuffer& fb, Rng& rng) {
  for (int32_t y = 0; y < fb.height; ++y)
    for (int32_t x = 0; x < fb.width; ++x)
      put_secondary_pixel(fb, x, y, 0, 0, uint8_t(rng_next(rng) % 255));
  for (int k = 0; k < 4; ++k) {
    int32_t v[5];
    for (int32_t& x : v) x = rng_next(rng);
    const double radius = fb.width / 5;
    const int32_t cy = v[3] % fb.height, cx = v[4] % fb.width;
    for (double a = 0.0; a <= 180.0; a += 1.0 / radius * 50.0) {
      const double rad = double(int32_t(a * 1000.0)) * 0.017453292516666667 / 1000.0;
      const int32_t dx = int32_t(double(float(std::sin(rad))) * radius);
      const int32_t dy = int32_t(-radius * double(float(std::cos(rad))));
      for (int32_t x : {cx + dx, cx - dx})
        put_secondary_pixel(fb, x, cy + dy, uint8_t(v[2] % 255), uint8_t(v[1] % 255),
                            uint8_t(v[0] % 255));
    }
  }
}

TEST(ScreensaverView, RenewsOnMultiplesOfFiftyAsThePlainDrawingAndCopiesEveryFrame) {
  for (auto [w, h] : {std::pair(640, 480), {320, 240}, {250, 60}, {64, 48}}) {
    Framebuffer fb, want;
    set_resolution(fb, w, h);
    // a picture from before, alpha too: copied, made opaque, until the first renewal
    for (size_t i = 0; i < fb.secondary.size(); ++i) fb.secondary[i] = uint8_t(i * 7 + i / 4);
    want = fb;
    Rng rng, replay;
    rng_seed(rng, uint32_t(w)), rng_seed(replay, uint32_t(w));
    for (int32_t frame : {1, 49, 0, 25, 137, 150, 151, -50, 100}) {
      clear_pixels(fb);
      draw_screensaver_view(fb, frame, rng);
      if (frame % 50 == 0) plain_renewal(want, replay);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const uint8_t* p = &want.secondary[(size_t(y) * w + x) * 4];
          put_pixel(want, x, y, p[0], p[1], p[2]);
        }
      ASSERT_TRUE(fb.secondary == want.secondary) << w << " frame " << frame;
      ASSERT_TRUE(fb.pixels == want.pixels) << w << " frame " << frame;
      ASSERT_EQ(rng_next(rng), rng_next(replay)) << w << " frame " << frame;
    }
  }
}

// The field drawn the plain way, read back as RGB and depth: each of the 28^3 cells with its own
// matrix, each wall cube setting its state and drawing its quads in immediate mode.
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
          glDisable(GL_BLEND), glEnable(GL_TEXTURE_2D), glEnable(GL_COLOR_MATERIAL);
          glBindTexture(GL_TEXTURE_2D, texture), glColor3f(1, 1, 1);
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
  rgb->resize(kBlockViewPixels * 3), depth->resize(kBlockViewPixels);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
               depth->data());
}

// Along each GL axis both ways: up and down the levels, along the rows, along the columns.
constexpr ViewAngles kAxisLooks[] = {{0, 0},     {0, -180}, {0, -90},
                                     {180, -90}, {90, -90}, {-90, -90}};

class BlockViewGl : public ::testing::Test {
 protected:
  static bool open_window() {  // the size of the block view's window at zoom 2
    return ok_ = open_offscreen_gl(2 * kBlockViewWidth, 2 * kBlockViewHeight, &error_);
  }
  static void SetUpTestSuite() { open_window(); }
  void SetUp() override {
    ASSERT_TRUE(ok_) << "no offscreen GL context (surfaceless EGL): " << error_;
    texture();
  }
  void TearDown() override {
    if (ok_) glDeleteTextures(32, s.bv.textures);
  }

  // Slot 1201 in four quadrants of distinct colours, uploaded as window creation does.
  void texture() {
    make_slot(s.bm, 1201, 64, 64, [](int32_t c, int32_t r) {
      return Rgba{uint8_t(c < 32 ? 200 : 40), uint8_t(r < 32 ? 40 : 200), 90, 255};
    });
    if (s.bv.textures[0]) glDeleteTextures(32, s.bv.textures);
    resize_gl();
    init_gl(s.bv, s.bm);
  }

  // One frame with unit 1 the camera, in the middle of its cell.
  void render(float yaw, float pitch) {
    UnitRecord& u = unit(s.units, 1);
    u.fx = u.fy = u.fz = 0.5f;
    s.run.selected_unit = 1, s.bv.yaw = yaw, s.bv.pitch = pitch;
    clear_pixels(s.fb);
    draw_block_view(s.fb, s.run, s.w, s.units, s.bv, s.platform, true);
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
};

// Culling, array calls and back-to-front order change no pixel, depth or GL state of the plain
// drawing: random views of a random field (other codes hide no face), along each axis, near the
// grid's edges (only cells 1 to 1022, levels 1 to 178 drawn), from inside a wall, with another or
// no camera, into an overworld-sized framebuffer (left alone), and in a re-created GL context.
TEST_F(BlockViewGl, PictureMatchesTheFieldDrawnCellByCell) {
  Dice d{12345};
  for (int z = 30; z < 70; ++z)
    for (int y = 480; y < 520; ++y)
      for (int x = 480; x < 520; ++x)
        if (const uint32_t k = d(100); k < 12)
          s.wall(x, y, z, k < 8 ? kTileWall : d.pick({19, 60, 255}));
  // a slab with rooms, for long runs of faces that meet at edges
  for (int y = 485; y < 515; ++y)
    for (int x = 485; x < 515; ++x) {
      s.wall(x, y, 51);
      if (x % 6 == 0 || y % 5 == 0) s.wall(x, y, 50);
    }
  // walls on the outermost columns, rows and levels, never drawn, seen through gaps one cell in
  for (int v = 495; v < 506; ++v)
    for (int k = 495; k < 506; ++k)
      for (auto [edge, in, top, below] : {std::tuple(0, 1, 0, 1), {1023, 1022, 179, 178}}) {
        s.wall(edge, v, k - 450), s.wall(v, edge, k - 450), s.wall(v, k, top);
        if ((v + k) % 3 == 0) s.wall(in, v, k - 450), s.wall(v, in, k - 450), s.wall(v, k, below);
      }
  s.wall(700, 700, 50);
  struct View {
    int x, y, z;
    float yaw, pitch;
    int selected = 1, min_drawn = 0;
    int32_t width = kBlockViewWidth, height = kBlockViewHeight;
  };
  // toward columns 0 and 1023, rows 0 and 1023, levels 0 and 179; other cameras; 640 x 480
  // clang-format off
  std::vector<View> views = {
      {5, 500, 50, -97, -85}, {1018, 500, 50, 83, -95}, {500, 5, 50, 7, -95},
      {500, 1018, 50, 187, -85}, {500, 500, 4, 7, -175}, {500, 500, 175, 7, -5},
      {497, 497, 50, 7, -85, 2}, {500, 500, 50, 7, -85, -1}, {500, 500, 50, 7, -85, kUnitTableSize},
      {500, 500, 50, 7, -85, 1 << 30}, {500, 500, 50, 7, -85, 1, 0, 640, 480}};
  // clang-format on
  for (const ViewAngles& l : kAxisLooks) {
    views.push_back({700, 700, 50, l.yaw, l.pitch, 1, kBlockViewPixels});  // inside a lone wall
    views.push_back({0, 0, 0, l.yaw + 7.0f, l.pitch - 5.0f});              // a little off the axis
  }
  for (int i = 0; i < 24; ++i) views.push_back({});
  int busy = 0;
  for (size_t i = 0; i < views.size(); ++i) {
    View v = views[i];
    if (i == views.size() / 2) {  // what re-creating the window does
      close_offscreen_gl();
      ASSERT_TRUE(open_window()) << "no GL context after re-creating the window: " << error_;
      texture();
    }
    if (v.x == 0) {  // a random view from a room of the field
      v.x = 496 + int(d(8)), v.y = 496 + int(d(8)), v.z = 50;
      s.wall(v.x, v.y, 50, 0);
      if (v.yaw == 0 && v.pitch == 0) {  // the look a random pointer gives
        const ViewAngles look =
            pointer_look(int32_t(d(kBlockViewWidth)), int32_t(d(kBlockViewHeight)));
        v.yaw = look.yaw, v.pitch = look.pitch;
      }
    }
    SCOPED_TRACE(::testing::Message() << v.x << "," << v.y << "," << v.z << " yaw " << v.yaw
                                      << " pitch " << v.pitch << " unit " << v.selected);
    s.put_unit(1, 100, 100, 1);
    const bool camera = v.selected >= 0 && v.selected < kUnitTableSize;
    if (camera) s.put_unit(v.selected, v.x, v.y, v.z);
    UnitRecord& u = unit(s.units, camera ? v.selected : 1);
    u.fx = 0.3f + 0.01f * float(d(40)), u.fy = 0.3f + 0.01f * float(d(40)), u.fz = 0.54f;
    std::vector<uint8_t> rgb;
    std::vector<uint16_t> depth;
    draw_reference_picture(s.w, u, v.yaw, v.pitch, s.bv.textures[1], &rgb, &depth);
    set_resolution(s.fb, v.width, v.height);
    std::vector<uint8_t> expect(s.fb.pixels.size(), 0);
    for (size_t i = 0; i < depth.size() && camera && v.width == kBlockViewWidth; ++i) {
      if (depth[i] == 0xffff) continue;  // cleared: nothing drawn
      std::copy(&rgb[i * 3], &rgb[i * 3 + 3], &expect[i * 4]);
      expect[i * 4 + 3] = 255;
    }
    s.run.selected_unit = v.selected, s.bv.yaw = v.yaw, s.bv.pitch = v.pitch;
    draw_block_view(s.fb, s.run, s.w, s.units, s.bv, s.platform, true);
    EXPECT_TRUE(!camera || s.bv.depth == depth);
    EXPECT_TRUE(s.fb.pixels == expect);
    EXPECT_GE(drawn_pixels(), v.min_drawn);
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
    if (camera && v.selected != 1) unit(s.units, v.selected).in_use = 0;
  }
  EXPECT_GT(busy, 20);  // most views show plenty of cubes
}

// The projection the plain drawing shares: a cube ahead is as large and deep as the frustum says.
TEST_F(BlockViewGl, ACubeAheadHasItsProjectedSizeAndDepth) {
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
  // looking level, yaw 0 faces lower rows and yaw -90 lower columns; turned round, nothing
  for (auto [yaw, x, y] : {std::tuple{0.0f, 500, 497}, {-90.0f, 497, 500}}) {
    s.wall(x, y, 50);
    render(yaw, -90.0f);
    EXPECT_TRUE(drawn(160, 120)) << yaw;
    render(yaw + 180.0f, -90.0f);
    EXPECT_FALSE(drawn(160, 120)) << yaw;
  }
}

// Without GL the view still walks unit 1, with the look it had, and turns the camera for the
// next frame: left, middle or right button looks; none leaves the camera; Z walks back.
TEST(BlockViewNoGl, WalksAndLooksButDrawsNothing) {
  Scene s;
  s.put_unit(1, 100, 100, 1);
  s.run.SX = s.run.SY = 100, s.run.SZ = 1;
  s.wall(100, 100, 2);  // rock under the view origin
  s.bv.pitch = -90.0f;  // level, toward lower rows
  s.run.tick_divisor = 10.0f;
  std::fill(s.fb.pixels.begin(), s.fb.pixels.end(), uint8_t(5));
  const UnitRecord& u = unit(s.units, 1);
  const struct {
    int32_t button, px, py;
    float yaw, pitch, phase;
  } looks[] = {{kVkLButton, 160, 0, -300, 0, 1},  {kVkLButton, 160, 0, -300, 0, 2},
               {kVkMButton, 10, 239, 0, -239, 2}, {kVkRButton, 319, 90, -618, -90, 2},
               {0, 0, 0, -618, -90, 2},           {vk_letter('Z'), 0, 0, -618, -90, 1}};
  for (const auto& l : looks) {
    s.input.keys[kVkLButton] = s.input.keys[kVkMButton] = s.input.keys[kVkRButton] = false;
    s.input.keys[l.button] = l.button != 0;
    s.run.pointer_x = l.px, s.run.pointer_y = l.py;
    draw_block_view(s.fb, s.run, s.w, s.units, s.bv, s.platform, false);
    EXPECT_EQ(std::tuple(s.bv.yaw, s.bv.pitch, u.walk_phase), std::tuple(l.yaw, l.pitch, l.phase))
        << l.button;
    if (l.button == vk_letter('Z')) break;  // the back step is walk_test's
    EXPECT_NEAR(u.fy, 0.4f, 1e-6);          // the first step only: pitch 0 walks nowhere
  }
  EXPECT_TRUE(
      std::all_of(s.fb.pixels.begin(), s.fb.pixels.end(), [](uint8_t v) { return v == 5; }));
}

}  // namespace
