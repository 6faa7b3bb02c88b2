// Drawing primitives, noise and the small picture helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "assetgen/image.h"
#include "assetgen/noise.h"
#include "assetgen/paint.h"

namespace {
constexpr Rgb kRed{200, 0, 0};
constexpr Rgb kBlueish{0, 0, 200};

int32_t count(const Image& im, Rgb c) {
  int32_t n = 0;
  for (const Rgb& p : im.px) n += p == c;
  return n;
}
}  // namespace

TEST(Paint, PutClipsUnlessThePictureWraps) {
  Image im = make_image(4, 4, kKey);
  put(im, -1, 0, kRed);
  put(im, 4, 4, kRed);
  EXPECT_EQ(count(im, kRed), 0);
  im.wrap = true;
  put(im, -1, 0, kRed);  // lands in the last column
  put(im, 5, -3, kRed);  // column 1, row 1
  EXPECT_EQ(pixel(im, 3, 0), kRed);
  EXPECT_EQ(pixel(im, 1, 1), kRed);
  EXPECT_EQ(get(im, -1, 4), pixel(im, 3, 0));
}

TEST(Paint, ShapesCoverThePixelsWhoseCentresAreInside) {
  Image im = make_image(16, 16, kKey);
  rect(im, 2, 3, 4, 2, kRed);  // columns 2..5, rows 3..4
  EXPECT_EQ(count(im, kRed), 8);
  EXPECT_EQ(pixel(im, 2, 3), kRed);
  EXPECT_EQ(pixel(im, 5, 4), kRed);
  EXPECT_FALSE(pixel(im, 6, 4) == kRed);

  Image disc = make_image(16, 16, kKey);
  ellipse(disc, 8, 8, 5, 5, kRed);
  // about pi r^2 pixels, symmetric about the centre
  EXPECT_NEAR(count(disc, kRed), 3.14159 * 25, 8);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(pixel(disc, x, y) == kRed, pixel(disc, 15 - x, 15 - y) == kRed);

  Image tri = make_image(16, 16, kKey);
  poly(tri, {{0, 0}, {16.2f, 0}, {0, 16.2f}}, kRed);  // the pixels with x + y <= 15
  EXPECT_EQ(count(tri, kRed), 136);
  EXPECT_EQ(pixel(tri, 0, 15), kRed);
  EXPECT_FALSE(pixel(tri, 15, 15) == kRed);
}

TEST(Paint, LinesIncludeBothEndsAndStrokesHaveWidth) {
  Image im = make_image(16, 16, kKey);
  line(im, 1, 1, 10, 4, kRed);
  EXPECT_EQ(pixel(im, 1, 1), kRed);
  EXPECT_EQ(pixel(im, 10, 4), kRed);
  EXPECT_EQ(count(im, kRed), 10);  // one pixel per column along the longer axis
  Image s = make_image(16, 16, kKey);
  stroke(s, 2, 8, 13, 8, 3, kRed);
  EXPECT_EQ(pixel(s, 7, 7), kRed);
  EXPECT_EQ(pixel(s, 7, 9), kRed);
  EXPECT_FALSE(pixel(s, 7, 10) == kRed);
}

TEST(Paint, BallsAreLitFromTheUpperLeft) {
  Image im = make_image(16, 16, kKey);
  ball(im, 8, 8, 6, 6, pal::kStone, 0, 4);
  auto shade = [&](int32_t x, int32_t y) {
    for (int s = 0; s < 5; ++s)
      if (pixel(im, x, y) == pal::kStone[s]) return s;
    return -1;
  };
  EXPECT_GT(shade(5, 5), shade(11, 11));
  EXPECT_GE(shade(5, 5), 3);
  EXPECT_LE(shade(12, 12), 1);
}

TEST(Paint, OutlineRingsTheDrawingWithInkOnly) {
  Image im = make_image(8, 8, kKey);
  rect(im, 3, 3, 2, 2, kRed);
  outline(im);
  EXPECT_EQ(count(im, kRed), 4);
  EXPECT_EQ(count(im, kInk), 8);  // the four sides, not the corners
  EXPECT_EQ(pixel(im, 2, 3), kInk);
  EXPECT_EQ(pixel(im, 2, 2), kKey);
  outline(im);  // ink does not grow more ink
  EXPECT_EQ(count(im, kInk), 8);
}

TEST(Paint, LayersComposeOverTheGroundWithAShadow) {
  Image ground = make_image(8, 8, kBlueish);
  Image layer = make_image(8, 8, kKey);
  rect(layer, 2, 2, 2, 2, kRed);
  drop_shadow(ground, layer, 1, 1);
  compose(ground, layer);
  EXPECT_EQ(pixel(ground, 2, 2), kRed);
  EXPECT_EQ(pixel(ground, 0, 0), kBlueish);
  // the shadow falls right and below, only where the layer leaves the ground showing
  EXPECT_FALSE(pixel(ground, 4, 4) == kBlueish);
  EXPECT_FALSE(pixel(ground, 4, 4) == kRed);
  EXPECT_EQ(pixel(ground, 1, 1), kBlueish);
  EXPECT_EQ(count(ground, kKey), 0);
}

TEST(Paint, MixRunsFromOneColourToTheOther) {
  EXPECT_EQ(mix(kRed, kBlueish, 0), kRed);
  EXPECT_EQ(mix(kRed, kBlueish, 1), kBlueish);
  EXPECT_EQ(mix(Rgb{0, 0, 0}, Rgb{200, 100, 50}, 0.5f), (Rgb{100, 50, 25}));
}

TEST(Noise, PeriodicNoiseRepeatsAndStaysInRange) {
  for (int32_t i = 0; i < 200; ++i) {
    const float x = float(i % 37) * 0.43f, y = float(i / 37) * 0.71f;
    const float v = value_noise(x, y, 4, 4, 7);
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 1.0f);
    // a period of 4 lattice points of 4 pixels repeats every 16 pixels
    EXPECT_NEAR(v, value_noise(x + 16, y, 4, 4, 7), 1e-5f);
    EXPECT_NEAR(v, value_noise(x, y - 16, 4, 4, 7), 1e-5f);
    EXPECT_NEAR(fbm(x, y, 8, 3, 2, 3), fbm(x + 16, y + 16, 8, 3, 2, 3), 1e-5f);
  }
  // and differs from seed to seed
  EXPECT_NE(value_noise(1.5f, 2.5f, 4, 4, 1), value_noise(1.5f, 2.5f, 4, 4, 2));
}

TEST(Noise, GeneratorIsRepeatableAndCoversItsRange) {
  Gen a{42}, b{42};
  bool low = false, high = false;
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t v = gen_int(a, 3, 9);
    EXPECT_EQ(v, gen_int(b, 3, 9));
    ASSERT_GE(v, 3);
    ASSERT_LE(v, 9);
    low |= v == 3;
    high |= v == 9;
    const float u = gen_unit(a);
    gen_unit(b);
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
  }
  EXPECT_TRUE(low && high);
}

TEST(Image, MagnifyAndReduceUndoEachOther) {
  Image im = make_image(3, 2, Rgb{});
  pixel(im, 2, 1) = kRed;
  const Image big = magnify(im, 4);
  ASSERT_EQ(big.w, 12);
  ASSERT_EQ(big.h, 8);
  EXPECT_EQ(pixel(big, 8, 4), kRed);
  EXPECT_EQ(pixel(big, 11, 7), kRed);
  EXPECT_EQ(pixel(big, 7, 7), Rgb{});
  EXPECT_TRUE(reduce(big, 4).px == im.px);
  Image blend = make_image(2, 2, Rgb{});
  pixel(blend, 1, 1) = Rgb{100, 200, 0};
  EXPECT_EQ(pixel(reduce(blend, 2), 0, 0), (Rgb{25, 50, 0}));  // the mean of the 2 x 2 box
}

TEST(Image, PngFilesStartWithTheSignature) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("assetgen-png-" + std::to_string(::getpid()));
  const std::string path = (dir / "sub" / "p.png").string();
  ASSERT_TRUE(write_png(path, make_image(5, 3, kRed)));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char sig[8] = {};
  EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
  std::fclose(f);
  const unsigned char want[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  EXPECT_EQ(std::memcmp(sig, want, 8), 0);
  std::filesystem::remove_all(dir);
}
