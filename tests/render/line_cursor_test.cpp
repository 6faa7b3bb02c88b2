// Line drawing and the drawn cursor.
#include <gtest/gtest.h>

#include <climits>
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

TEST(Line, DesignExamples) {
  EXPECT_EQ(line(0, 0, 4, 1), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 1}}));
  EXPECT_EQ(line(0, 0, 3, 2), (Pixels{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
  const Pixels diagonal{{0, 0}, {1, 1}, {2, 2}};
  EXPECT_EQ(line(0, 0, 2, 2), diagonal);
  EXPECT_EQ(line(2, 2, 0, 0), diagonal);
  Pixels row5;
  for (int32_t x = 0; x <= 10; ++x) row5.insert({x, 5});
  EXPECT_EQ(line(-10, 5, 10, 5), row5);
  EXPECT_EQ(line(7, 9, 7, 9), (Pixels{{7, 9}}));
}

TEST(Line, MinorStepComesLateAndEndsExactly) {
  // Mostly vertical, walking down and left: x changes only on the last step.
  EXPECT_EQ(line(1, 4, 0, 0), (Pixels{{1, 4}, {1, 3}, {1, 2}, {1, 1}, {0, 0}}));
  // Reversed, the minor step is again the last one: the walk is not symmetric.
  EXPECT_EQ(line(0, 0, 1, 4), (Pixels{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 4}}));
  // Colour and alpha of every pixel.
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
    ASSERT_EQ(line(x0, y0, x1, y1), reference_line(x0, y0, x1, y1, 64, 48))
        << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

TEST(Line, PutsMajorPlusOnePixelsWhenInside) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> cx(0, 63), cy(0, 47);
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t x0 = cx(rng), y0 = cy(rng), x1 = cx(rng), y1 = cy(rng);
    const Pixels p = line(x0, y0, x1, y1);
    const int32_t major = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    ASSERT_EQ(p.size(), size_t(major + 1));
    ASSERT_TRUE(p.count({x0, y0}) && p.count({x1, y1}));
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
  const Pixels shallow = line(INT_MIN, 0, INT_MAX, 47);
  int32_t last_y = -1;
  int32_t column = 0;
  for (auto [x, y] : shallow) {
    EXPECT_EQ(x, column++);
    EXPECT_GE(y, last_y);
    last_y = y;
  }
  EXPECT_EQ(column, 64);
  // Compared with the step-by-step walk on a line short enough to walk, far ends
  // on both sides of the picture.
  EXPECT_EQ(line(-30000, 11, 30000, 40), reference_line(-30000, 11, 30000, 40, 64, 48));
  EXPECT_EQ(line(50, 30000, 7, -30000), reference_line(50, 30000, 7, -30000, 64, 48));
}

TEST(Cursor, FourArmsOfFiveAroundThePointer) {
  Framebuffer fb;
  set_resolution(fb, 40, 30);
  draw_cursor(fb, 20, 15);
  Pixels cross;
  for (int32_t d = -5; d <= 5; ++d) {
    cross.insert({20 + d, 15});
    cross.insert({20, 15 + d});
  }
  EXPECT_EQ(lit(fb), cross);
  EXPECT_EQ(pixel_at(fb, 25, 15), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(pixel_at(fb, 20, 10), (Rgba{255, 255, 255, 255}));
}

TEST(Cursor, AtTheCornerOnlyTheInwardArmsShow) {
  Framebuffer fb;
  set_resolution(fb, 40, 30);
  draw_cursor(fb, 0, 0);
  Pixels arms;
  for (int32_t d = 0; d <= 5; ++d) {
    arms.insert({d, 0});
    arms.insert({0, d});
  }
  EXPECT_EQ(lit(fb), arms);

  Framebuffer top;
  set_resolution(top, 40, 30);
  draw_cursor(top, 39, 29);
  Pixels down_left;
  for (int32_t d = 0; d <= 5; ++d) {
    down_left.insert({39 - d, 29});
    down_left.insert({39, 29 - d});
  }
  EXPECT_EQ(lit(top), down_left);
}

TEST(Cursor, PointerOffThePicture) {
  // Just outside, an arm still reaches in; far outside, nothing and no overflow.
  Framebuffer fb;
  set_resolution(fb, 40, 30);
  draw_cursor(fb, -5, 10);
  EXPECT_EQ(lit(fb), (Pixels{{0, 10}}));
  Framebuffer far;
  set_resolution(far, 40, 30);
  for (int32_t v : {INT_MIN, -6, 45, INT_MAX}) {
    draw_cursor(far, v, 10);
    draw_cursor(far, 10, v);
  }
  draw_cursor(far, INT_MAX, INT_MAX);
  EXPECT_TRUE(lit(far).empty());
}

}  // namespace
