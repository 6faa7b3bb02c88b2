// Walking unit 1 in the block view, through the one entry point the view calls.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "core/runstate.h"
#include "units/units.h"
#include "units/walk.h"
#include "world/world.h"

namespace {

class WalkTest : public ::testing::Test {
 protected:
  WalkTest() { set_world_side(world, kWorldSide), create_world_grid(world); }
  void wall(int32_t x, int32_t y, int32_t z, uint8_t code = kTileWall) {
    set_cell(world, x, y, z, code);
  }
  // Unit 1 at (x, y, level) with the camera point (a, b) inside the cell.
  void place(int32_t x, int32_t y, int32_t level, float a, float b, float fz = 0.54f) {
    u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(level);
    u.fx = 1.0f - a, u.fy = b, u.fz = fz;
  }
  // Rock under the view origin, so steps are kept.
  void stand_view_on_rock(int32_t x, int32_t y, int32_t z) {
    std::tie(run.SX, run.SY, run.SZ) = std::tuple(x, y, z);
    wall(x, y, z + 1);
  }
  void walk(int frames, bool left, bool back) {
    for (int i = 0; i < frames; ++i, ++run.frame)
      walk_unit1(world, run, units, look, ground, left, back);
  }
  World world;
  UnitTable units;
  RunState run;
  GroundOrigin ground;
  ViewAngles look{0.0f, -90.0f};                               // level, toward lower rows
  UnitRecord& u = (create_unit_table(units), unit(units, 1));  // the table made first
};

TEST_F(WalkTest, ForwardFollowsTheLookOnFramesSetByTheTickDivisorAndTheHeadBobs) {
  // level (pitch -90) yaw 0 faces lower rows, -90 lower columns, 180 higher rows; -30 half a step
  stand_view_on_rock(100, 100, 1);
  run.tick_divisor = 10.0f;
  for (auto [yaw, pitch, da, db] : {std::tuple(0.0f, -90.0f, 0.0f, -0.1f),
                                    {-90.0f, -90.0f, -0.1f, 0.0f},
                                    {180.0f, -90.0f, 0.0f, 0.1f},
                                    {-90.0f, -30.0f, -0.05f, 0.0f},
                                    {-90.0f, 0.0f, 0.0f, 0.0f}}) {
    place(100, 100, 1, 0.5f, 0.5f);
    look = {yaw, pitch};
    walk(1, true, false);
    EXPECT_NEAR(1.0f - u.fx, 0.5f + da, 1e-6) << yaw << " " << pitch;
    EXPECT_NEAR(u.fy, 0.5f + db, 1e-6) << yaw << " " << pitch;
  }
  // on multiples of a tenth of the divisor; below 10 (a division by zero): every frame
  for (auto [divisor, every] :
       {std::pair(10.0f, 1), {30.0f, 3}, {60.0f, 6}, {0.0f, 1}, {-30.0f, 1}}) {
    run.tick_divisor = divisor;
    for (run.frame = 0; run.frame < 24;) {
      const float phase = u.walk_phase;
      const bool due = run.frame % every == 0;
      walk(1, true, false);
      EXPECT_EQ(u.walk_phase, phase + (due ? 1.0f : 0.0f)) << divisor << " " << run.frame;
      EXPECT_NEAR(u.fz, std::sin(u.walk_phase * 1.5f) * 0.024f + 0.54f, 1e-7);
    }
  }
}

TEST_F(WalkTest, ZStepsBackEveryFrameBothKeysCancelAndCellsChangeOnTheWay) {
  stand_view_on_rock(100, 100, 1);
  place(100, 100, 1, 0.5f, 0.5f);
  const double y0 = u.y + double(u.fy);
  walk(5, false, true);  // divisor 30, frames 0 .. 4
  EXPECT_FLOAT_EQ(u.walk_phase, -5.0f);
  EXPECT_NEAR(u.y + double(u.fy), y0 + 0.5, 1e-5);
  walk(1, true, true);  // frame 5 is no forward frame: back only
  walk(1, true, true);  // frame 6 is: the steps cancel
  EXPECT_FLOAT_EQ(u.walk_phase, -6.0f);
  EXPECT_NEAR(u.y + double(u.fy), y0 + 0.6, 1e-5);
  run.tick_divisor = 10.0f;
  walk(17, true, false);  // the camera point moves on smoothly into row 99
  EXPECT_EQ(u.y, 99);
  EXPECT_NEAR(u.y + double(u.fy), y0 - 1.1, 1e-4);
}

TEST_F(WalkTest, GroundCheckRemembersRockAndUndoesStepsWithoutIt) {
  run.tick_divisor = 10.0f;  // every frame a forward frame
  // nothing under the start origin: back to the first ground origin (1, 1, 28)
  for (bool back : {false, true}) {  // both steps are checked
    place(100, 100, 1, 0.5f, 0.5f, 0.3f);
    std::tie(run.SX, run.SY, run.SZ) = std::tuple(100, 100, 1);
    walk(1, !back, back);
    EXPECT_EQ(std::tuple(run.SX, run.SY, run.SZ), std::tuple(1, 1, 28)) << back;
    EXPECT_EQ(std::tuple(u.x, u.y, u.fx, u.fy), std::tuple(100, 100, 0.5f, 0.5f)) << back;
    EXPECT_FLOAT_EQ(u.walk_phase, back ? 0.0f : 1.0f);  // the phase is not undone
  }
  // rock under (300, 400, 2): remembered, and the step stands
  stand_view_on_rock(300, 400, 2);
  place(100, 100, 1, 0.5f, 0.5f);
  walk(1, true, false);
  EXPECT_EQ(std::tuple(ground.x, ground.y, ground.z), std::tuple(300, 400, 2));
  EXPECT_NEAR(u.fy, 0.4f, 1e-6);
  // the view moves off the rock: the next step brings it back and centres unit 1
  run.SX = 310;
  walk(1, false, true);
  EXPECT_EQ(std::tuple(run.SX, run.SY, run.SZ, u.fx, u.fy), std::tuple(300, 400, 2, 0.5f, 0.5f));
  run.SZ = kLevelCount - 1;  // the top level has nothing below it inside the grid
  walk(1, false, true);
  EXPECT_EQ(run.SZ, 2);
  // the centring includes fz, whose level the push reads (a wall below pushes at fz 1.5)
  wall(100, 100, 0);
  place(100, 100, 1, 0.5f, 0.5f, 1.5f);
  run.SX = 310;
  walk(1, false, true);
  EXPECT_EQ(std::tuple(u.fx, u.fy), std::tuple(0.5f, 0.5f));
}

TEST_F(WalkTest, PushOutKeepsTheCameraPointOffWallsAndCellsChangeButNeverOffTheGrid) {
  struct Cell {
    int dx, dy, dz = 0;
    uint8_t code = kTileWall;
  };
  // walls around unit 1's cell; the camera point at entry, then after the push and the cell change
  const struct {
    std::vector<Cell> cells;
    float a, b, ea, eb;
    int32_t dx = 0, dy = 0;  // the cell change
    float fz = 0.54f;
    int32_t x = 100, y = 100;
  } cases[] = {
      // clang-format off
      // 0.25 from a wall: out to 0.3; 0.35 away: untouched
      {{{-1, 0}}, 0.25f, 0.5f, 0.3f, 0.5f}, {{{1, 0}}, 0.75f, 0.5f, 0.7f, 0.5f},
      {{{0, -1}}, 0.5f, 0.25f, 0.5f, 0.3f}, {{{0, 1}}, 0.5f, 0.75f, 0.5f, 0.7f},
      {{{-1, 0}}, 0.35f, 0.5f, 0.35f, 0.5f}, {{{0, 1}}, 0.5f, 0.65f, 0.5f, 0.65f},
      // within 0.2: both tests of that side push, and a corner test along the wall as well
      {{{-1, 0}}, 0.1f, 0.5f, 0.7f, 0.7f}, {{{1, 0}}, 0.9f, 0.5f, 0.3f, 0.3f},
      {{{0, -1}}, 0.5f, 0.1f, 0.7f, 0.7f}, {{{0, 1}}, 0.5f, 0.9f, 0.3f, 0.3f},
      // a lone wall diagonally: only the corner test pushes, 0.2 on both axes
      {{{-1, -1}}, 0.1f, 0.1f, 0.3f, 0.3f}, {{{1, 1}}, 0.9f, 0.9f, 0.7f, 0.7f},
      {{{1, -1}}, 0.9f, 0.1f, 0.7f, 0.3f}, {{{-1, 1}}, 0.1f, 0.9f, 0.3f, 0.7f},
      // inside a wall: the 0.3 tests hold back, the 0.2 tests cancel, a corner pushes
      {{{0, 0}}, 0.4f, 0.5f, 0.6f, 0.7f},
      // two corner tests find a wall: only the first (lower-left) pushes, on both axes
      {{{-1, -1}, {0, -1}}, 0.1f, 0.1f, 0.3f, 0.7f},
      // other codes are open space; so are walls a level up or down
      {{{-1, 0, 0, 19}}, 0.1f, 0.5f, 0.1f, 0.5f}, {{{-1, 0, 0, 255}}, 0.1f, 0.5f, 0.1f, 0.5f},
      {{{-1, 0, -1}, {-1, 0, 1}}, 0.1f, 0.5f, 0.1f, 0.5f},
      // ... unless the camera point is there: 1 - fz is the level offset, floored
      {{{-1, 0, 1}}, 0.25f, 0.5f, 0.3f, 0.5f, 0, 0, -0.5f},
      {{{-1, 0, -1}}, 0.25f, 0.5f, 0.3f, 0.5f, 0, 0, 1.5f},
      // column -1 is off the grid, not the end of the row before in flat storage
      {{{1023, -1}}, 0.1f, 0.5f, 0.1f, 0.5f, 0, 0, 0.54f, 0, 60},
      // past a side the cell changes; past the grid's edge the point stops there
      {{}, -0.25f, 0.5f, 0.75f, 0.5f, -1, 0}, {{}, 0.5f, 1.25f, 0.5f, 0.25f, 0, 1},
      {{}, 1.25f, 0.5f, 0.25f, 0.5f, 1, 0}, {{}, 0.5f, -0.25f, 0.5f, 0.75f, 0, -1},
      {{}, -0.3f, -0.3f, 0, 0, 0, 0, 0.54f, 0, 0}, {{}, 1.3f, 1.3f, 1, 1, 0, 0, 0.54f, 1023, 1023},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "a " << c.a << " b " << c.b << " walls " << c.cells.size());
    for (const Cell& w : c.cells) wall(c.x + w.dx, c.y + w.dy, 1 + w.dz, w.code);
    place(c.x, c.y, 1, c.a, c.b, c.fz);
    walk(1, false, false);
    EXPECT_NEAR(1.0f - u.fx, c.ea, 1e-5);
    EXPECT_NEAR(u.fy, c.eb, 1e-5);
    EXPECT_EQ(std::pair(int32_t(u.x), int32_t(u.y)), std::pair(c.x + c.dx, c.y + c.dy));
    for (const Cell& w : c.cells) wall(c.x + w.dx, c.y + w.dy, 1 + w.dz, 0);
  }
}

}  // namespace
