// The pixel primitives, line drawing and the drawn cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <vector>

#include "pixels.h"
#include "render/line.h"

namespace {

bool all_zero(const std::vector<uint8_t>& v) {
  return std::all_of(v.begin(), v.end(), [](uint8_t b) { return b == 0; });
}

TEST(Framebuffer, PutPixelClipsToThePictureAndStoresRowsBottomFirst) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  ASSERT_EQ(fb.pixels.size(), 640u * 480u * 4u);
  for (auto [x, y] : {std::pair{640, 5}, {5, 480}, {-1, 5}, {5, -1}}) put_pixel(fb, x, y, 1, 2, 3);
  EXPECT_TRUE(all_zero(fb.pixels));
  put_pixel(fb, 0, 0, 10, 20, 30);
  put_pixel(fb, 3, 2, 7, 8, 9);
  put_pixel(fb, 639, 479, 40, 50, 60);
  EXPECT_EQ(pixel_at(fb, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(pixel_at(fb, 639, 479), (Rgba{40, 50, 60, 255}));
  // R G B A, rows one after another from the bottom one.
  EXPECT_TRUE(fb.pixels[0] == 10 && fb.pixels[(2 * 640 + 3) * 4 + 2] == 9);
  EXPECT_EQ(lit(fb).size(), 3u);
}

TEST(Framebuffer, ResolutionChangesResizeBothBuffersAndClearLeavesTheSecondary) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  put_pixel(fb, 400, 100, 9, 9, 9);
  EXPECT_EQ(pixel_at(fb, 400, 100).r, 9);
  put_secondary_pixel(fb, 3, 3, 7, 7, 7);
  set_resolution(fb, 320, 240);
  EXPECT_EQ(fb.pixels.size(), 320u * 240u * 4u);
  EXPECT_EQ(fb.secondary.size(), 320u * 240u * 4u);
  EXPECT_TRUE(all_zero(fb.secondary));  // starts black after the change
  put_pixel(fb, 400, 100, 9, 9, 9);
  EXPECT_TRUE(all_zero(fb.pixels));
  put_secondary_pixel(fb, 319, 239, 1, 1, 1);
  put_secondary_pixel(fb, 320, 0, 1, 1, 1);
  EXPECT_EQ(std::count(fb.secondary.begin(), fb.secondary.end(), 0), long(fb.secondary.size()) - 4);
  EXPECT_EQ(fb.secondary[(239 * 320 + 319) * 4 + 3], 255);
  put_pixel(fb, 10, 10, 255, 255, 255);
  clear_pixels(fb);
  EXPECT_TRUE(all_zero(fb.pixels));
  EXPECT_EQ(fb.secondary[(239 * 320 + 319) * 4], 1);
}

Pixels line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  Framebuffer fb;
  set_resolution(fb, 64, 48);
  draw_line(fb, x0, y0, x1, y1, 200, 100, 50);
  return lit(fb);
}

// The walk written plainly, one step at a time, keeping the pixels that
// fall inside a 64 x 48 picture. Only for short lines.
Pixels walked_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const bool by_x = std::abs(x1 - x0) > std::abs(y1 - y0);
  int32_t a = by_x ? x0 : y0, b = by_x ? y0 : x0;  // major and minor coordinate
  const int32_t a1 = by_x ? x1 : y1, b1 = by_x ? y1 : x1;
  const int32_t da = std::abs(a1 - a), db = std::abs(b1 - b);
  Pixels out;
  for (int32_t i = 0, e = db;; ++i) {
    const int32_t x = by_x ? a : b, y = by_x ? b : a;
    if (x >= 0 && y >= 0 && x < 64 && y < 48) out.insert({x, y});
    if (i == da) return out;
    e += db;
    if (e > da) e -= da, b += b1 > b ? 1 : -1;
    a += a1 > a ? 1 : -1;
  }
}

TEST(Line, WorkedExamplesAndTheMinorStepComingLate) {
  Pixels row5;
  for (int32_t x = 0; x <= 10; ++x) row5.insert({x, 5});
  const struct {
    int32_t x0, y0, x1, y1;
    Pixels want;
  } cases[] = {
      {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}}},
      {0, 0, 3, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
      {0, 0, 2, 2, {{0, 0}, {1, 1}, {2, 2}}},
      {2, 2, 0, 0, {{0, 0}, {1, 1}, {2, 2}}},
      {-10, 5, 10, 5, row5},
      {7, 9, 7, 9, {{7, 9}}},
      // Mostly vertical, walking down and left: x changes only on the last step;
      // reversed, the minor step is again the last one: the walk is not symmetric.
      {1, 4, 0, 0, {{1, 4}, {1, 3}, {1, 2}, {1, 1}, {0, 0}}},
      {0, 0, 1, 4, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 4}}},
  };
  for (const auto& k : cases)
    EXPECT_EQ(line(k.x0, k.y0, k.x1, k.y1), k.want)
        << k.x0 << "," << k.y0 << " - " << k.x1 << "," << k.y1;
  // Colour and alpha of every pixel, ends included.
  Framebuffer fb;
  set_resolution(fb, 8, 8);
  draw_line(fb, 0, 0, 7, 3, 200, 100, 50);
  for (auto [x, y] : lit(fb)) EXPECT_EQ(pixel_at(fb, x, y), (Rgba{200, 100, 50, 255}));
  EXPECT_EQ(lit(fb).size(), 8u);
}

TEST(Line, MatchesTheStepByStepWalkOnRandomAndFarReachingLines) {
  // Ends inside and well outside the picture, every direction.
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int32_t> coord(-120, 180);
  for (int32_t i = 0; i < 20000; ++i) {
    const int32_t x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    ASSERT_EQ(line(x0, y0, x1, y1), walked_line(x0, y0, x1, y1))
        << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
  // Long enough that only the visible part can be walked, far ends on both sides.
  EXPECT_EQ(line(-30000, 11, 30000, 40), walked_line(-30000, 11, 30000, 40));
  EXPECT_EQ(line(50, 30000, 7, -30000), walked_line(50, 30000, 7, -30000));
}

TEST(Line, EndsAnywhereInTheCoordinateRangeAreSafe) {
  // Walked one by one these would take billions of steps, and their differences
  // overflow 32 bits. Lines across the whole range are halfway along in the
  // picture: there the late minor step leaves 47 / 2 at 23 and 63 / 2 at 31.
  auto row = [](int32_t y) {
    Pixels p;
    for (int32_t x = 0; x < 64; ++x) p.insert({x, y});
    return p;
  };
  auto column = [](int32_t x) {
    Pixels p;
    for (int32_t y = 0; y < 48; ++y) p.insert({x, y});
    return p;
  };
  EXPECT_EQ(line(INT_MIN, 3, INT_MAX, 3), row(3));
  EXPECT_EQ(line(INT_MAX, 3, INT_MIN, 3), row(3));
  EXPECT_EQ(line(5, INT_MIN, 5, INT_MAX), column(5));
  EXPECT_EQ(line(5, INT_MAX, 5, INT_MIN), column(5));
  EXPECT_EQ(line(INT_MIN, 0, INT_MAX, 47), row(23));
  EXPECT_EQ(line(0, INT_MIN, 63, INT_MAX), column(31));
  EXPECT_TRUE(line(INT_MIN, INT_MIN, INT_MIN, INT_MAX).empty());
  EXPECT_TRUE(line(INT_MAX, INT_MAX, INT_MIN, INT_MAX).empty());
}

TEST(Cursor, FourWhiteArmsOfFiveAroundThePointerClippedAtTheEdges) {
  // Just outside, an arm still reaches in; far outside, nothing and no overflow.
  const std::pair<int32_t, int32_t> pointers[] = {
      {20, 15}, {0, 0},   {39, 29}, {-5, 10},      {42, 10},      {20, 33},
      {-6, 10}, {45, 10}, {10, 35}, {INT_MIN, 10}, {10, INT_MAX}, {INT_MAX, INT_MAX}};
  for (auto [px, py] : pointers) {
    Framebuffer fb;
    set_resolution(fb, 40, 30);
    draw_cursor(fb, px, py);
    Pixels cross;
    for (int64_t d = -5; d <= 5; ++d)
      for (auto [x, y] : {std::pair{px + d, int64_t(py)}, std::pair{int64_t(px), py + d}})
        if (x >= 0 && x < 40 && y >= 0 && y < 30) cross.insert({int32_t(x), int32_t(y)});
    EXPECT_EQ(lit(fb), cross) << px << "," << py;
    for (auto [x, y] : cross) EXPECT_EQ(pixel_at(fb, x, y), (Rgba{255, 255, 255, 255}));
  }
}

}  // namespace
