#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "core/runstate.h"
#include "render/framebuffer.h"
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
    int32_t dx, dy;
    bool inside, jumps;
  } cases[] = {// from the origin
               {0, 12, false, true},   {1, 12, true, true},    {63, 12, true, true},
               {64, 12, false, false}, {-1, 12, false, false}, {32, 0, false, true},
               {32, 1, true, true},    {32, 63, true, true},   {32, 64, false, false},
               {32, -1, false, false}, {63, 63, true, true}};
  for (auto [ox, oy] : {std::pair(518, 338), {0, 0}}) {
    RunState run;
    run.minimap_x = ox, run.minimap_y = oy;
    for (const auto& k : cases) {
      const int32_t x = ox + k.dx, y = oy + k.dy;
      EXPECT_EQ(pointer_strictly_inside_minimap(run, x, y), k.inside) << x << "," << y;
      run.SX = 5000, run.SY = 6000;  // unclamped: beyond the view's range is kept
      minimap_jump(run, false, x, y);
      EXPECT_EQ(std::pair(run.SX, run.SY), std::pair(5000, 6000));
      minimap_jump(run, true, x, y);
      EXPECT_EQ(std::pair(run.SX, run.SY),
                k.jumps ? std::pair(k.dx * 16, k.dy * 16) : std::pair(5000, 6000))
          << x << "," << y;
    }
  }
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

TEST(MinimapDraw, CoarseBlocksThenRedDotsForLiveUnitsOnTheLevelThenTheWhiteViewDot) {
  MapRig rig(128);
  // Level 1's coarse map lives on level 11; level 10 differs to catch a wrong level.
  // Other codes leave the pixel.
  auto coarse = [](int32_t i, int32_t j) {
    const int32_t k = (i + 2 * j) % 3;
    return k == 0 ? kGrey : k == 1 ? kDarkGreen : kMarker;
  };
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i) {
      rig.cell(i, j, 11) = coarse(i, j) == kGrey ? 19 : coarse(i, j) == kMarker ? 7 : 10;
      rig.cell(i, j, 10) = 19;
    }
  rig.cell(64, 0, 11) = rig.cell(0, 64, 11) = 19;  // outside the 64 x 64 corner: never shown
  rig.run.SX = 40, rig.run.SY = 70;                // view dot at (2, 4)
  rig.live(2999, 100, 20, 1);                      // dot at (6, 1); the last record counts too
  rig.live(10, 126, 126, 1);                       // last inner cell: dot at (7, 7)
  rig.live(3, 45, 75, 1);                          // under the view dot
  rig.live(4, 50, 50, 2);                          // other level
  rig.live(5, 60, 60, 1).in_use = 2;               // not in use
  for (auto [i, x, y] : {std::tuple(6, 0, 30), {7, 127, 30}, {8, 30, 0}, {9, 30, 127}})
    rig.live(i, x, y, 1);  // outermost columns and rows
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) put_pixel(rig.fb, x, y, kMarker.r, kMarker.g, kMarker.b);
  draw_minimap(rig.fb, rig.run, rig.w, rig.units);
  for (int32_t j = 0; j < 64; ++j)
    for (int32_t i = 0; i < 64; ++i) {
      const std::pair p(i, j);
      const Rgba want = p == std::pair(2, 4)                           ? kWhite
                        : p == std::pair(6, 1) || p == std::pair(7, 7) ? kRed
                                                                       : coarse(i, j);
      ASSERT_EQ(pixel_at(rig.fb, 518 + i, 338 + j), want) << i << "," << j;
    }
  EXPECT_EQ(std::pair(pixel_at(rig.fb, 582, 338), pixel_at(rig.fb, 518, 402)),
            std::pair(kMarker, kMarker));
}

TEST(MinimapDraw, ViewLevelsWithoutACoarseLevelReadNothingOutsideTheGrid) {
  // Side 32: rows of the 64 x 64 square past the side would reach beyond the
  // last level's storage; the sanitizer run catches any such read.
  MapRig rig(32);
  std::memset(&rig.cell(0, 0, 10), 10, size_t(rig.w.stride) * (kLevelCount - 10));
  rig.run.SX = rig.run.SY = 0;
  for (int32_t z : {169, 170, 179, 500, -11}) {  // only 169 has one
    rig.run.SZ = z;
    clear_pixels(rig.fb);
    draw_minimap(rig.fb, rig.run, rig.w, rig.units);
    EXPECT_EQ(std::tuple(pixel_at(rig.fb, 518 + 5, 338 + 5), pixel_at(rig.fb, 518 + 40, 338 + 5),
                         pixel_at(rig.fb, 518, 338)),
              std::tuple(z == 169 ? kDarkGreen : kNone, kNone, kWhite))
        << z;  // 40: past the side
  }
}

}  // namespace
