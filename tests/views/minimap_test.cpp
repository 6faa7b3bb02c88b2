#include <gtest/gtest.h>

#include <algorithm>

#include "render/framebuffer.h"
#include "core/runstate.h"
#include "units/units.h"
#include "views/minimap.h"
#include "world/world.h"

namespace {

constexpr Rgba kGrey{128, 128, 128, 255};
constexpr Rgba kDarkGreen{0, 128, 0, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kMarker{1, 2, 3, 255};  // painted under the minimap beforehand
constexpr Rgba kNone{0, 0, 0, 0};

// Selecting stays off the minimap only strictly inside its square; the jump
// takes the half-open square [x0, x0 + 64) x [y0, y0 + 64), 16 cells a pixel.
TEST(MinimapPointer, StrictlyInsideForSelectingHalfOpenForTheJump) {
  const struct {
    int32_t x, y;
    bool inside, jumps;
  } cases[] = {{518, 350, false, true}, {519, 350, true, true},   {581, 350, true, true},
               {582, 350, false, false}, {517, 350, false, false}, {550, 338, false, true},
               {550, 339, true, true},   {550, 401, true, true},   {550, 402, false, false},
               {550, 337, false, false}, {581, 401, true, true},   {0, 0, false, false}};
  RunState run;  // origin (518, 338)
  for (const auto& k : cases) {
    EXPECT_EQ(pointer_strictly_inside_minimap(run, k.x, k.y), k.inside) << k.x << "," << k.y;
    run.SX = 5000, run.SY = 6000;  // unclamped: beyond the view's range is kept
    minimap_jump(run, false, k.x, k.y);
    EXPECT_EQ(std::pair(run.SX, run.SY), std::pair(5000, 6000));
    minimap_jump(run, true, k.x, k.y);
    EXPECT_EQ(std::pair(run.SX, run.SY),
              k.jumps ? std::pair((k.x - 518) * 16, (k.y - 338) * 16) : std::pair(5000, 6000))
        << k.x << "," << k.y;
  }
  run.minimap_x = run.minimap_y = 0;
  EXPECT_TRUE(pointer_strictly_inside_minimap(run, 1, 1));
  EXPECT_FALSE(pointer_strictly_inside_minimap(run, 0, 1));
  minimap_jump(run, true, 2, 3);
  EXPECT_EQ(std::pair(run.SX, run.SY), std::pair(32, 48));
}

struct MapRig {
  Framebuffer fb;
  World w;
  UnitTable units;
  RunState run;
  explicit MapRig(int32_t side) {
    set_resolution(fb, 640, 480);
    set_world_side(w, side);
    create_world_grid(w);
    create_unit_table(units);
    run.SZ = 1;
  }
  uint8_t& cell(int32_t x, int32_t y, int32_t z) { return w.grid[cell_index(w, x, y, z)]; }
  UnitRecord& live(int32_t i, int32_t x, int32_t y, int32_t level) {
    UnitRecord& u = unit(units, i);
    u.in_use = 1, u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(level);
    return u;
  }
};

TEST(MinimapDraw, CoarseBlocksGreyAndGreenOtherCodesLeaveThePixel) {
  MapRig rig(128);
  // Level 1's coarse map lives on level 11; level 10 differs to catch a wrong level.
  auto want = [](int32_t i, int32_t j) {
    const int32_t k = (i + 2 * j) % 3;
    return k == 0 ? kGrey : k == 1 ? kDarkGreen : kMarker;
  };
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i) {
      rig.cell(i, j, 11) = want(i, j) == kGrey ? 19 : want(i, j) == kMarker ? 7 : 10;
      rig.cell(i, j, 10) = 19;
    }
  rig.cell(64, 0, 11) = rig.cell(0, 64, 11) = 19;  // outside the 64 x 64 corner: never shown
  rig.run.SX = 2000;  // view dot off the picture for this test
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) put_pixel(rig.fb, x, y, kMarker.r, kMarker.g, kMarker.b);
  draw_minimap(rig.fb, rig.run, rig.w, rig.units);
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i)
      ASSERT_EQ(pixel_at(rig.fb, 518 + i, 338 + j), want(i, j)) << i << "," << j;
  EXPECT_EQ(std::pair(pixel_at(rig.fb, 582, 338), pixel_at(rig.fb, 518, 402)),
            std::pair(kMarker, kMarker));
}

TEST(MinimapDraw, RedDotsForLiveUnitsOnTheLevelInsideTheBorderWhiteViewDotLast) {
  MapRig rig(128);
  rig.run.SX = 40, rig.run.SY = 70;
  rig.live(3, 100, 20, 1);            // dot at (6, 1)
  rig.live(10, 126, 126, 1);          // last inner cell: dot at (7, 7)
  rig.live(2999, 45, 75, 1);          // same block as the view dot
  rig.live(4, 50, 50, 2);             // other level
  rig.live(5, 60, 60, 1).in_use = 2;  // not in use
  for (auto [i, x, y] : {std::tuple(6, 0, 30), {7, 127, 30}, {8, 30, 0}, {9, 30, 127}})
    rig.live(i, x, y, 1);  // outermost columns and rows
  draw_minimap(rig.fb, rig.run, rig.w, rig.units);
  EXPECT_EQ(pixel_at(rig.fb, 518 + 6, 338 + 1), kRed);
  EXPECT_EQ(pixel_at(rig.fb, 518 + 7, 338 + 7), kRed);
  EXPECT_EQ(pixel_at(rig.fb, 518 + 2, 338 + 4), kWhite);
  int32_t lit = 0;
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) lit += pixel_at(rig.fb, x, y).a != 0;
  EXPECT_EQ(lit, 3);  // the coarse map is all zero: nothing else
}

TEST(MinimapDraw, ViewLevelsWithoutACoarseLevelReadNothingOutsideTheGrid) {
  // Side 32: rows of the 64 x 64 square past the side would reach beyond the
  // last level's storage; the sanitizer run catches any such read.
  MapRig rig(32);
  for (int32_t z = 10; z < kLevelCount; ++z)
    for (int32_t j = 0; j < 32; ++j)
      for (int32_t i = 0; i < 32; ++i) rig.cell(i, j, z) = 10;
  rig.run.SX = rig.run.SY = 0;
  for (int32_t z : {169, 170, 179, 500, -11}) {
    rig.run.SZ = z;
    clear_pixels(rig.fb);
    draw_minimap(rig.fb, rig.run, rig.w, rig.units);
    const bool has_coarse = z + 10 >= 0 && z + 10 < kLevelCount;
    EXPECT_EQ(pixel_at(rig.fb, 518 + 5, 338 + 5), has_coarse ? kDarkGreen : kNone) << z;
    EXPECT_EQ(pixel_at(rig.fb, 518 + 40, 338 + 5), kNone) << z;  // past the side
    EXPECT_EQ(pixel_at(rig.fb, 518, 338), kWhite) << z;
  }
}

}  // namespace
