#include <gtest/gtest.h>

#include "shell/pointer.h"

namespace {

TEST(PointerMaths, ZoomOneMapsScreenPixelsOneToOne) {
  const ScreenRect r{100, 50, 740, 530};  // 640 x 480 at (100, 50)
  EXPECT_EQ(pointer_x_from_screen(100, r, 640), 0);
  EXPECT_EQ(pointer_x_from_screen(420, r, 640), 320);
  EXPECT_EQ(pointer_x_from_screen(739, r, 640), 639);
  // y counts up from the bottom edge
  EXPECT_EQ(pointer_y_from_screen(529, r, 480), 1);
  EXPECT_EQ(pointer_y_from_screen(530, r, 480), 0);
  EXPECT_EQ(pointer_y_from_screen(50, r, 480), 479);  // top row
}

TEST(PointerMaths, ZoomTwoHalvesEveryOffset) {
  const ScreenRect r{0, 0, 1280, 960};
  EXPECT_EQ(pointer_x_from_screen(1279, r, 640), 639);
  EXPECT_EQ(pointer_x_from_screen(1, r, 640), 0);
  EXPECT_EQ(pointer_x_from_screen(3, r, 640), 1);
  EXPECT_EQ(pointer_y_from_screen(0, r, 480), 479);
  EXPECT_EQ(pointer_y_from_screen(958, r, 480), 1);
  // 320 x 240 at zoom 2
  const ScreenRect s{0, 0, 640, 480};
  EXPECT_EQ(pointer_x_from_screen(639, s, 320), 319);
  EXPECT_EQ(pointer_y_from_screen(240, s, 240), 120);
}

TEST(PointerMaths, OutsideTheWindowClampsToTheNearestEdge) {
  const ScreenRect r{100, 100, 740, 580};
  EXPECT_EQ(pointer_x_from_screen(20, r, 640), 0);     // left of it
  EXPECT_EQ(pointer_x_from_screen(2000, r, 640), 639); // right of it
  EXPECT_EQ(pointer_y_from_screen(10, r, 480), 479);   // above it
  EXPECT_EQ(pointer_y_from_screen(900, r, 480), 0);    // below it
}

TEST(PointerMaths, ZeroSizedWindowGivesZero) {
  const ScreenRect r{50, 50, 50, 50};
  EXPECT_EQ(pointer_x_from_screen(60, r, 640), 0);
  EXPECT_EQ(pointer_y_from_screen(40, r, 480), 0);
  EXPECT_EQ(pointer_x_from_screen(0, ScreenRect{}, 640), 0);
}

}  // namespace
