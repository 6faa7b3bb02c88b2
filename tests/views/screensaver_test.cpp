#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "render/framebuffer.h"
#include "views/screensaver.h"
#include "world/population.h"
#include "world/rng.h"

namespace {

using PixelSet = std::set<std::pair<int32_t, int32_t>>;

// Sine and cosine by thousandths of a degree with the game's factor; circles
// only reach half a turn, so the rest of the table stays zero.
const TrigTables& half_turn_tables() {
  static const TrigTables t = [] {
    TrigTables tt;
    tt.sine = std::make_unique<float[]>(kTrigEntries);
    tt.cosine = std::make_unique<float[]>(kTrigEntries);
    for (int32_t i = 0; i <= 180000; ++i) {
      const double rad = double(i) * kDegreeFactor / 1000.0;
      tt.sine[i] = float(std::sin(rad));
      tt.cosine[i] = float(std::cos(rad));
    }
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

// True when both generators give the same next values.
bool same_sequence(Rng a, Rng b) {
  for (int i = 0; i < 8; ++i)
    if (rng_next(a) != rng_next(b)) return false;
  return true;
}

void skip(Rng& g, int64_t n) {
  for (int64_t i = 0; i < n; ++i) rng_next(g);
}

TEST(CircleOutline, RadiusOneTwentyEightTakesFourHundredSixtyOneSteps) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  const TrigTables& trig = half_turn_tables();
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, 128, 9, 8, 7), 461);  // 0 .. 179.6875 degrees
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, 64, 9, 8, 7), 231);   // steps of 0.78125
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, 50, 9, 8, 7), 181);   // exactly 1 degree
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, 0, 9, 8, 7), 1);
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, -5, 9, 8, 7), 1);      // clamped to 0
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, NAN, 9, 8, 7), 1);
  // Above 9999 the radius is clamped: 50 / 9999 degree steps.
  EXPECT_EQ(circle_outline(fb, trig, 320, 240, 1e6, 9, 8, 7),
            circle_outline(fb, trig, 320, 240, 9999, 9, 8, 7));
}

TEST(CircleOutline, PointsLieOnTheCircleMirroredAboutTheCentre) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  circle_outline(fb, half_turn_tables(), 320.7, 240.9, 128, 200, 100, 50);  // centre truncates
  const PixelSet lit = lit_secondary(fb);
  ASSERT_FALSE(lit.empty());
  EXPECT_TRUE(lit.count({320, 112}));  // lowest point, angle 0
  // The last step is 179.6875 degrees, short of the top: 128 cos(0.3125 deg) = 127.998.
  EXPECT_TRUE(lit.count({320, 367}));
  EXPECT_FALSE(lit.count({320, 368}));
  int32_t min_x = 640, max_x = 0;
  for (const auto& [x, y] : lit) {
    const double d = std::hypot(x - 320, y - 240);
    EXPECT_GE(d, 126.0) << x << "," << y;
    EXPECT_LE(d, 128.0) << x << "," << y;
    EXPECT_TRUE(lit.count({640 - x, y})) << "mirror of " << x << "," << y;
    EXPECT_EQ(secondary_at(fb, x, y), (Rgba{200, 100, 50, 255}));
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
  }
  EXPECT_GE(max_x, 320 + 127);
  EXPECT_LE(min_x, 320 - 127);
  // Closed: every row between the extremes has a point on each side.
  for (int32_t y = 112; y <= 367; ++y) {
    bool left = false, right = false;
    for (int32_t x = 0; x < 640; ++x) {
      if (!lit.count({x, y})) continue;
      left |= x <= 320;
      right |= x >= 320;
    }
    EXPECT_TRUE(left && right) << y;
  }
  // Only the Secondary buffer is drawn into.
  for (uint8_t b : fb.pixels) ASSERT_EQ(b, 0);
}

TEST(CircleOutline, CentredOnColumnZeroShowsOnlyTheRightHalf) {
  Framebuffer a, b;
  set_resolution(a, 640, 480);
  set_resolution(b, 640, 480);
  circle_outline(a, half_turn_tables(), 0, 240, 128, 1, 1, 1);
  circle_outline(b, half_turn_tables(), 300, 240, 128, 1, 1, 1);
  PixelSet right_half;
  for (const auto& [x, y] : lit_secondary(b))
    if (x >= 300) right_half.insert({x - 300, y});
  EXPECT_EQ(lit_secondary(a), right_half);
  // Far off the picture, or with no tables: nothing, and no crash.
  Framebuffer c;
  set_resolution(c, 64, 48);
  circle_outline(c, half_turn_tables(), -5000, 1e12, 128, 1, 1, 1);
  circle_outline(c, TrigTables{}, 10, 10, 5, 1, 1, 1);
  EXPECT_TRUE(lit_secondary(c).empty());
}

TEST(ScreensaverView, NoiseIsDarkBlueInRowOrderWithoutRedOrGreen) {
  // Without trig tables only the noise is drawn, so every pixel can be predicted.
  Framebuffer fb;
  set_resolution(fb, 64, 48);
  Rng rng, expect;
  rng_seed(rng, 7);
  rng_seed(expect, 7);
  const TrigTables none;
  draw_screensaver_view(fb, 0, none, rng);
  int32_t seen_254 = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const uint8_t blue = uint8_t(rng_next(expect) % 255);
      ASSERT_EQ(secondary_at(fb, x, y), (Rgba{0, 0, blue, 255})) << x << "," << y;
      ASSERT_EQ(pixel_at(fb, x, y), (Rgba{0, 0, blue, 255}));
      seen_254 += blue == 254;
    }
  skip(expect, 4 * 5);  // the four circles still take their values
  EXPECT_TRUE(same_sequence(rng, expect));

  // With circles, at 640 x 480: the noise has no red, no green and never blue 255.
  set_resolution(fb, 640, 480);
  draw_screensaver_view(fb, 50, half_turn_tables(), rng);
  int32_t coloured = 0;
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      const Rgba p = pixel_at(fb, x, y);
      ASSERT_EQ(p.a, 255);
      ASSERT_LT(p.b, 255);
      ASSERT_LT(p.r, 255);
      ASSERT_LT(p.g, 255);
      coloured += p.r != 0 || p.g != 0;
    }
  EXPECT_LE(coloured, 4 * 922);  // only circle points carry red or green
  EXPECT_GT(coloured, 100);
}

TEST(ScreensaverView, CirclesTakeFiveValuesInOrderAfterTheNoise) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  Rng rng, expect;
  rng_seed(rng, 11);
  rng_seed(expect, 11);
  draw_screensaver_view(fb, 0, half_turn_tables(), rng);
  skip(expect, 640 * 480);
  int32_t blue = 0, green = 0, red = 0, cx = 0, cy = 0;
  for (int k = 0; k < 4; ++k) {
    blue = rng_next(expect) % 255;
    green = rng_next(expect) % 255;
    red = rng_next(expect) % 255;
    cy = rng_next(expect) % 480;
    cx = rng_next(expect) % 640;
  }
  // The last circle is on top: its lowest and highest points carry its colour
  // wherever they fall inside the picture; radius 640 / 5, the top one pixel
  // short as the half turn stops at 179.6875 degrees.
  const Rgba want{uint8_t(red), uint8_t(green), uint8_t(blue), 255};
  int32_t checked = 0;
  for (int32_t y : {cy - 128, cy + 127}) {
    if (y < 0 || y >= 480) continue;
    EXPECT_EQ(pixel_at(fb, cx, y), want) << cx << "," << y;
    ++checked;
  }
  EXPECT_GT(checked, 0);
  EXPECT_TRUE(same_sequence(rng, expect));
}

TEST(ScreensaverView, RenewsOnMultiplesOfFiftyAndCopiesEveryFrame) {
  Framebuffer fb;
  set_resolution(fb, 32, 24);
  const TrigTables& trig = half_turn_tables();
  Rng rng, expect;
  rng_seed(rng, 3);
  rng_seed(expect, 3);
  // Fresh after a resolution change: black, alpha 0; the copy makes it opaque.
  draw_screensaver_view(fb, 137, trig, rng);
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(pixel_at(fb, x, y), (Rgba{0, 0, 0, 255}));
  // A known picture survives the frames in between and is copied each time.
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 32; ++x) put_secondary_pixel(fb, x, y, uint8_t(x), uint8_t(y), 99);
  for (int32_t frame : {1, 49, 51, 99, 101, 149}) {
    clear_pixels(fb);
    draw_screensaver_view(fb, frame, trig, rng);
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 32; ++x)
        ASSERT_EQ(pixel_at(fb, x, y), (Rgba{uint8_t(x), uint8_t(y), 99, 255})) << frame;
  }
  EXPECT_TRUE(same_sequence(rng, expect));  // no random value taken
  for (int32_t frame : {0, 50, 100, 150, -50}) {
    draw_screensaver_view(fb, frame, trig, rng);
    skip(expect, 32 * 24 + 4 * 5);
    EXPECT_TRUE(same_sequence(rng, expect)) << frame;
    EXPECT_NE(secondary_at(fb, 5, 5), (Rgba{5, 5, 99, 255})) << frame;
  }
  // The circle radius follows the width: 32 / 5 = 6 pixels, inside 32 x 24.
  set_resolution(fb, 320, 240);
  EXPECT_EQ(circle_outline(fb, trig, 160, 120, 320 / 5, 1, 1, 1), 231);
}

}  // namespace
