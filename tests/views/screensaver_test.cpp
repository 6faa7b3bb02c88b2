#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "render/framebuffer.h"
#include "views/screensaver.h"
#include "world/population.h"
#include "world/rng.h"

namespace {

using PixelSet = std::set<std::pair<int32_t, int32_t>>;

// The game's sine and cosine tables, built once for every test.
const TrigTables& trig_tables() {
  static const TrigTables t = [] {
    TrigTables tt;
    build_trig_tables(tt);
    return tt;
  }();
  return t;
}

Rgba secondary_at(const Framebuffer& fb, int32_t x, int32_t y) {
  const uint8_t* p = &fb.secondary[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
  return {p[0], p[1], p[2], p[3]};
}

PixelSet lit_secondary(const Framebuffer& fb) {
  PixelSet s;
  for (int32_t y = 0; y < fb.height; ++y)
    for (int32_t x = 0; x < fb.width; ++x)
      if (secondary_at(fb, x, y).a != 0) s.insert({x, y});
  return s;
}

// Two generators on the same seed: the one the code draws from, and a replay.
struct Pair {
  Rng rng, expect;
  explicit Pair(uint32_t seed) { rng_seed(rng, seed), rng_seed(expect, seed); }
  void skip(int64_t n) {
    for (int64_t i = 0; i < n; ++i) rng_next(expect);
  }
  // Both give the same next values.
  bool in_step() const {
    Rng a = rng, b = expect;
    for (int i = 0; i < 8; ++i)
      if (rng_next(a) != rng_next(b)) return false;
    return true;
  }
};

Framebuffer picture(int32_t w, int32_t h) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  return fb;
}

TEST(CircleOutline, StepsJustUnderAPixelApartOverHalfATurn) {
  Framebuffer fb = picture(640, 480);
  auto steps = [&](double radius) {
    return circle_outline(fb, trig_tables(), 320, 240, radius, 9, 8, 7);
  };
  // 128: 0 .. 179.6875 degrees; 64: steps of 0.78125; 50: exactly 1 degree; no radius: 1
  for (auto [radius, n] : {std::pair(128.0, 461), {64.0, 231}, {50.0, 181}, {0.0, 1}, {-5.0, 1}, {NAN, 1}})
    EXPECT_EQ(steps(radius), n) << radius;
  EXPECT_EQ(steps(1e6), steps(9999));  // clamped: 50 / 9999 degree steps
}

TEST(CircleOutline, PointsLieOnTheCircleMirroredAboutTheCentre) {
  Framebuffer fb = picture(640, 480);
  circle_outline(fb, trig_tables(), 320.7, 240.9, 128, 200, 100, 50);  // centre truncates
  const PixelSet lit = lit_secondary(fb);
  ASSERT_FALSE(lit.empty());
  EXPECT_TRUE(lit.count({320, 112}));  // lowest point, angle 0
  // The last step is 179.6875 degrees, short of the top: 128 cos(0.3125 deg) = 127.998.
  EXPECT_TRUE(lit.count({320, 367}));
  EXPECT_FALSE(lit.count({320, 368}));
  for (const auto& [x, y] : lit) {
    const double d = std::hypot(x - 320, y - 240);
    EXPECT_TRUE(d >= 126.0 && d <= 128.0) << x << "," << y;
    EXPECT_TRUE(lit.count({640 - x, y})) << "mirror of " << x << "," << y;
    EXPECT_EQ(secondary_at(fb, x, y), (Rgba{200, 100, 50, 255}));
  }
  // Closed: every row between the extremes has a point on each side.
  std::set<int32_t> left, right;
  for (const auto& [x, y] : lit) {
    if (x <= 320) left.insert(y);
    if (x >= 320) right.insert(y);
  }
  for (int32_t y = 112; y <= 367; ++y) EXPECT_TRUE(left.count(y) && right.count(y)) << y;
  // Only the Secondary buffer is drawn into.
  for (uint8_t b : fb.pixels) ASSERT_EQ(b, 0);
}

TEST(CircleOutline, ClippedAtThePictureEdgeAndSafeFarOff) {
  // Centred on column 0, only the right half shows.
  Framebuffer a = picture(640, 480), b = picture(640, 480);
  circle_outline(a, trig_tables(), 0, 240, 128, 1, 1, 1);
  circle_outline(b, trig_tables(), 300, 240, 128, 1, 1, 1);
  PixelSet right_half;
  for (const auto& [x, y] : lit_secondary(b))
    if (x >= 300) right_half.insert({x - 300, y});
  EXPECT_EQ(lit_secondary(a), right_half);
  // Far off the picture, or with no tables: nothing, and no crash.
  Framebuffer c = picture(64, 48);
  circle_outline(c, trig_tables(), -5000, 1e12, 128, 1, 1, 1);
  circle_outline(c, TrigTables{}, 10, 10, 5, 1, 1, 1);
  EXPECT_TRUE(lit_secondary(c).empty());
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

  // With circles: the last is on top; its lowest and highest points carry its
  // colour wherever they fall inside the picture (radius 640 / 5, the top one
  // pixel short as the half turn stops at 179.6875 degrees).
  fb = picture(640, 480);
  Pair h(11);
  draw_screensaver_view(fb, 0, trig_tables(), h.rng);
  h.skip(640 * 480);
  int32_t v[5] = {};  // blue, green, red, then the centre's row and column
  for (int k = 0; k < 4; ++k)
    for (int32_t& x : v) x = rng_next(h.expect);
  EXPECT_TRUE(h.in_step());
  const Rgba colour{uint8_t(v[2] % 255), uint8_t(v[1] % 255), uint8_t(v[0] % 255), 255};
  const int32_t cy = v[3] % 480, cx = v[4] % 640;
  int32_t checked = 0;
  for (int32_t y : {cy - 128, cy + 127})
    if (y >= 0 && y < 480) {
      EXPECT_EQ(pixel_at(fb, cx, y), colour) << y;
      ++checked;
    }
  EXPECT_GT(checked, 0);
}

TEST(ScreensaverView, RenewsOnMultiplesOfFiftyAndCopiesEveryFrame) {
  Framebuffer fb = picture(32, 24);
  const TrigTables& trig = trig_tables();
  Pair g(3);
  auto expect_copy = [&](auto colour, int32_t frame) {
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(pixel_at(fb, x, y), colour(x, y)) << frame;
  };
  // Fresh after a resolution change: black, alpha 0; the copy makes it opaque.
  draw_screensaver_view(fb, 137, trig, g.rng);
  expect_copy([](int32_t, int32_t) { return Rgba{0, 0, 0, 255}; }, 137);
  // A known picture survives the frames in between and is copied each time.
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 32; ++x) put_secondary_pixel(fb, x, y, uint8_t(x), uint8_t(y), 99);
  for (int32_t frame : {1, 49, 51, 99, 101, 149}) {
    clear_pixels(fb);
    draw_screensaver_view(fb, frame, trig, g.rng);
    expect_copy([](int32_t x, int32_t y) { return Rgba{uint8_t(x), uint8_t(y), 99, 255}; }, frame);
  }
  EXPECT_TRUE(g.in_step());  // no random value taken
  for (int32_t frame : {0, 50, 100, 150, -50}) {
    draw_screensaver_view(fb, frame, trig, g.rng);
    g.skip(32 * 24 + 4 * 5);
    EXPECT_TRUE(g.in_step()) << frame;
    EXPECT_NE(secondary_at(fb, 5, 5), (Rgba{5, 5, 99, 255})) << frame;
  }
}

}  // namespace
