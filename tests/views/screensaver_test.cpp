#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "render/framebuffer.h"
#include "views/screensaver.h"
#include "world/population.h"
#include "world/rng.h"

namespace {

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
