// Line drawing and the drawn cursor.
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "render/framebuffer.h"
#include "render/line.h"

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

Pixels lit(const Framebuffer& fb) {
  Pixels out;
  for (int32_t y = 0; y < fb.height; ++y) {
    for (int32_t x = 0; x < fb.width; ++x) {
      if (pixel_at(fb, x, y).a != 0) out.insert({x, y});
    }
  }
  return out;
}

Pixels line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t w = 64, int32_t h = 48) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  draw_line(fb, x0, y0, x1, y1, 200, 100, 50);
  return lit(fb);
}

// The walk exactly as the design words it, one step at a time, keeping the
// pixels that fall inside a w x h picture. Only for short lines.
Pixels reference_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t w, int32_t h) {
  Pixels out;
  auto put = [&](int32_t x, int32_t y) {
    if (x >= 0 && y >= 0 && x < w && y < h) out.insert({x, y});
  };
  const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int32_t sx = x1 > x0 ? 1 : x1 < x0 ? -1 : 0;
  const int32_t sy = y1 > y0 ? 1 : y1 < y0 ? -1 : 0;
  int32_t x = x0, y = y0;
  put(x, y);
  if (dx > dy) {
    int32_t e = dy;
    for (int32_t i = 0; i < dx; ++i) {
      e += dy;
      if (e > dx) {
        e -= dx;
        y += sy;
      }
      x += sx;
      put(x, y);
    }
  } else {
    int32_t e = dx;
    for (int32_t i = 0; i < dy; ++i) {
      e += dx;
      if (e > dy) {
        e -= dy;
        x += sx;
      }
      y += sy;
      put(x, y);
    }
  }
  return out;
}

TEST(Line, DesignExamplesAndTheMinorStepComingLate) {
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
  EXPECT_EQ(pixel_at(fb, 7, 3), (Rgba{200, 100, 50, 255}));
  EXPECT_EQ(pixel_at(fb, 0, 0), (Rgba{200, 100, 50, 255}));
}

TEST(Line, MatchesTheStepByStepWalkOnRandomLines) {
  // Ends inside and well outside a 64 x 48 picture, every direction.
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int32_t> coord(-120, 180);
  for (int32_t i = 0; i < 20000; ++i) {
    const int32_t x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    const Pixels p = line(x0, y0, x1, y1);
    ASSERT_EQ(p, reference_line(x0, y0, x1, y1, 64, 48))
        << x0 << "," << y0 << " - " << x1 << "," << y1;
    // Both ends inside: major + 1 pixels, the ends among them.
    if (std::min({x0, x1, y0, y1}) >= 0 && std::max(x0, x1) < 64 && std::max(y0, y1) < 48) {
      ASSERT_EQ(p.size(), size_t(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1));
      ASSERT_TRUE(p.count({x0, y0}) && p.count({x1, y1}));
    }
  }
}

TEST(Line, EndsAnywhereInTheCoordinateRangeAreSafeAndQuick) {
  // These would take billions of steps walked one by one; only the visible part
  // is walked, and no difference overflows.
  Pixels row3, column5;
  for (int32_t x = 0; x < 64; ++x) row3.insert({x, 3});
  for (int32_t y = 0; y < 48; ++y) column5.insert({5, y});
  EXPECT_EQ(line(INT_MIN, 3, INT_MAX, 3), row3);
  EXPECT_EQ(line(INT_MAX, 3, INT_MIN, 3), row3);
  EXPECT_EQ(line(5, INT_MIN, 5, INT_MAX), column5);
  EXPECT_EQ(line(5, INT_MAX, 5, INT_MIN), column5);
  EXPECT_TRUE(line(INT_MIN, INT_MIN, INT_MIN, INT_MAX).empty());
  EXPECT_TRUE(line(INT_MAX, INT_MAX, INT_MIN, INT_MAX).empty());
  // A shallow line across the whole range: one pixel per column, never going down.
  int32_t last_y = -1, column = 0;
  for (auto [x, y] : line(INT_MIN, 0, INT_MAX, 47)) {
    EXPECT_EQ(x, column++);
    EXPECT_GE(y, last_y);
    last_y = y;
  }
  EXPECT_EQ(column, 64);
  // Against the step-by-step walk on lines short enough to walk, far ends on both sides.
  EXPECT_EQ(line(-30000, 11, 30000, 40), reference_line(-30000, 11, 30000, 40, 64, 48));
  EXPECT_EQ(line(50, 30000, 7, -30000), reference_line(50, 30000, 7, -30000, 64, 48));
}

TEST(Cursor, FourWhiteArmsOfFiveAroundThePointerClippedAtTheEdges) {
  // Just outside, an arm still reaches in; far outside, nothing and no overflow.
  const std::pair<int32_t, int32_t> pointers[] = {
      {20, 15}, {0, 0},    {39, 29},     {-5, 10},      {42, 10},         {20, 33},
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
