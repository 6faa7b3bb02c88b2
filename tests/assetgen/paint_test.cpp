// Drawing primitives, noise and the small picture helpers. Whether terrain drawn
// with wrapping and periodic noise tiles is the seamless-terrain test's to say.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "assetgen/image.h"
#include "assetgen/noise.h"
#include "assetgen/paint.h"
#include "e2e/harness.h"

namespace {
constexpr Rgb kRed{200, 0, 0};
constexpr Rgb kBlueish{0, 0, 200};

int32_t count(const Image& im, Rgb c) { return int32_t(std::count(im.px.begin(), im.px.end(), c)); }
}  // namespace

TEST(Paint, PutClipsAndGetWrapsWhenThePictureWraps) {
  Image im = make_image(4, 4, kKey);
  put(im, -1, 0, kRed);
  put(im, 4, 4, kRed);
  EXPECT_EQ(count(im, kRed), 0);
  pixel(im, 3, 0) = kRed, im.wrap = true;
  EXPECT_EQ(get(im, -1, 4), kRed);
}

TEST(Paint, ShapesCoverExactlyThePixelsWhoseCentresAreInsideAndLinesBothEnds) {
  const struct {
    const char* name;
    void (*draw)(Image&);
    bool (*inside)(float x, float y);  // a pixel centre
  } shapes[] = {
      {"rect", [](Image& im) { rect(im, 2, 3, 4, 2, kRed); },
       [](float x, float y) { return x > 2 && x < 6 && y > 3 && y < 5; }},
      {"disc", [](Image& im) { ellipse(im, 8, 8, 5, 5, kRed); },
       [](float x, float y) { return (x - 8) * (x - 8) + (y - 8) * (y - 8) <= 25; }},
      {"triangle",
       [](Image& im) {
         poly(im, {{0, 0}, {16.2f, 0}, {0, 16.2f}}, kRed);
       },
       [](float x, float y) { return x + y < 16.2f; }},
      {"stroke with round ends", [](Image& im) { stroke(im, 2, 8, 13, 8, 3, kRed); },
       [](float x, float y) {
         const float dx = std::max({2 - x, x - 13, 0.0f});
         return dx * dx + (y - 8) * (y - 8) <= 1.5f * 1.5f;
       }},
  };
  for (const auto& s : shapes) {
    Image im = make_image(16, 16, kKey);
    s.draw(im);
    for (int32_t i = 0; i < 256; ++i)
      EXPECT_EQ(pixel(im, i % 16, i / 16) == kRed, s.inside(i % 16 + 0.5f, i / 16 + 0.5f))
          << s.name << " at " << i % 16 << "," << i / 16;
  }
  Image im = make_image(16, 16, kKey);
  line(im, 1, 1, 10, 4, kRed);
  EXPECT_TRUE(pixel(im, 1, 1) == kRed && pixel(im, 10, 4) == kRed);
  EXPECT_EQ(count(im, kRed), 10);  // one pixel per column along the longer axis
}

TEST(Paint, BallsAreLitFromTheUpperLeftAndMixRunsFromOneColourToTheOther) {
  Image im = make_image(16, 16, kKey);
  ball(im, 8, 8, 6, 6, pal::kStone, 0, 4);
  auto shade = [&](int32_t x, int32_t y) {
    return int(std::find(pal::kStone.c, pal::kStone.c + 5, pixel(im, x, y)) - pal::kStone.c);
  };
  // (12, 12)'s centre lies outside the ball; (11, 11) is on its far rim
  EXPECT_TRUE(shade(5, 5) >= 3 && shade(11, 11) <= 1 && shade(12, 12) == 5)
      << shade(5, 5) << " " << shade(11, 11) << " " << shade(12, 12);
  EXPECT_TRUE(mix(kRed, kBlueish, 0) == kRed && mix(kRed, kBlueish, 1) == kBlueish);
  EXPECT_EQ(mix(Rgb{0, 0, 0}, Rgb{200, 100, 50}, 0.5f), (Rgb{100, 50, 25}));
}

TEST(Paint, OutlineRingsTheDrawingWithInkAndLayersComposeWithAShadow) {
  Image im = make_image(8, 8, kKey);
  rect(im, 3, 3, 2, 2, kRed);
  outline(im);
  outline(im);  // ink does not grow more ink
  EXPECT_EQ(count(im, kRed), 4);
  EXPECT_EQ(count(im, kInk), 8);  // the four sides, not the corners
  EXPECT_TRUE(pixel(im, 2, 3) == kInk && pixel(im, 2, 2) == kKey);

  Image ground = make_image(8, 8, kBlueish);
  Image layer = make_image(8, 8, kKey);
  rect(layer, 2, 2, 2, 2, kRed);
  drop_shadow(ground, layer, 1, 1);
  compose(ground, layer);
  EXPECT_TRUE(pixel(ground, 2, 2) == kRed && pixel(ground, 0, 0) == kBlueish);
  // the shadow falls right and below, only where the layer leaves the ground showing
  EXPECT_FALSE(pixel(ground, 4, 4) == kBlueish || pixel(ground, 4, 4) == kRed);
  EXPECT_EQ(pixel(ground, 1, 1), kBlueish);
  EXPECT_EQ(count(ground, kKey), 0);
}

TEST(Noise, NoiseStaysInRangeAndFollowsItsSeedAndTheGeneratorCoversItsRange) {
  for (int32_t i = 0; i < 200; ++i) {
    const float x = float(i % 37) * 0.43f, y = float(i / 37) * 0.71f;
    for (float v : {value_noise(x, y, 4, 4, 7), fbm(x, y, 8, 3, 2, 3)})
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
  }
  EXPECT_NE(value_noise(1.5f, 2.5f, 4, 4, 1), value_noise(1.5f, 2.5f, 4, 4, 2));
  Gen a{42};
  bool low = false, high = false;
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t v = gen_int(a, 3, 9);
    const float u = gen_unit(a);
    ASSERT_TRUE(v >= 3 && v <= 9 && u >= 0.0f && u < 1.0f) << v << " " << u;
    low |= v == 3;
    high |= v == 9;
  }
  EXPECT_TRUE(low && high);
}

TEST(Image, MagnifyAndReduceUndoEachOtherAndPngsGetTheirFolder) {
  Image im = make_image(3, 2, Rgb{});
  pixel(im, 2, 1) = kRed;
  const Image big = magnify(im, 4);
  ASSERT_TRUE(big.w == 12 && big.h == 8);
  EXPECT_TRUE(pixel(big, 8, 4) == kRed && pixel(big, 11, 7) == kRed);
  EXPECT_EQ(count(big, kRed), 16);
  EXPECT_TRUE(reduce(big, 4).px == im.px);
  Image blend = make_image(2, 2, Rgb{});
  pixel(blend, 1, 1) = Rgb{100, 200, 0};
  EXPECT_EQ(pixel(reduce(blend, 2), 0, 0), (Rgb{25, 50, 0}));  // the mean of the 2 x 2 box
  ScratchDir dir;
  EXPECT_TRUE(write_png(dir / "sub/p.png", make_image(5, 3, kRed)));  // the folder is made
}
