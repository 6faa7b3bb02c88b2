// Walking unit 1 through the block world, without GL.
#include "views/walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "shell/runstate.h"
#include "units/units.h"
#include "views/blockview.h"
#include "world/world.h"

namespace {

class WalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    create_unit_table(units);
  }
  void set_cell(int32_t x, int32_t y, int32_t z, uint8_t code) {
    world.grid[cell_index(world, x, y, z)] = code;
    written.push_back(cell_index(world, x, y, z));
  }
  void wall(int32_t x, int32_t y, int32_t z) { set_cell(x, y, z, kTileWall); }
  // Empties every cell written so far and gives unit 1 a fresh record.
  void reset() {
    for (size_t i : written) world.grid[i] = 0;
    written.clear();
    unit(units, 1) = UnitRecord{};
  }
  // Unit 1 at (x, y, level) with the camera point (a, b) inside the cell.
  UnitRecord& place(int32_t x, int32_t y, int32_t level, float a, float b) {
    UnitRecord& u = unit(units, 1);
    u.x = uint16_t(x);
    u.y = uint16_t(y);
    u.level = uint16_t(level);
    u.fx = 1.0f - a;
    u.fy = b;
    u.fz = 0.54f;
    return u;
  }
  // The camera point of unit 1 in world coordinates (column, row).
  double world_x() const {
    const UnitRecord& u = unit(units, 1);
    return u.x + 1.0 - u.fx;
  }
  double world_y() const {
    const UnitRecord& u = unit(units, 1);
    return u.y + double(u.fy);
  }
  // Rock under the view origin, so steps are kept.
  void stand_view_on_rock(int32_t x, int32_t y, int32_t z) {
    run.SX = x;
    run.SY = y;
    run.SZ = z;
    wall(x, y, z + 1);
  }

  World world;
  UnitTable units;
  RunState run;
  BlockViewState bv;
  std::vector<size_t> written;
};

TEST(WalkStep, ForwardFollowsTheLookDirectionOnTheLevelPlane) {
  // Looking level (pitch -90): yaw 0 faces lower rows, yaw -90 lower columns.
  // A forward step subtracts the step from (fx, fy); the camera point's column
  // is x + 1 - fx, its row y + fy.
  WalkStep s = walk_step(0.0f, -90.0f);
  EXPECT_NEAR(s.dfy, 0.1f, 1e-6);  // row moves by -0.1
  EXPECT_NEAR(s.dfx, 0.0f, 1e-6);
  s = walk_step(-90.0f, -90.0f);
  EXPECT_NEAR(s.dfx, -0.1f, 1e-6);  // fx grows: the column falls by 0.1
  EXPECT_NEAR(s.dfy, 0.0f, 1e-6);
  s = walk_step(180.0f, -90.0f);
  EXPECT_NEAR(s.dfy, -0.1f, 1e-6);  // turned round: toward higher rows
  // The length is a tenth of a cell times the sine of the pitch.
  for (float yaw : {-300.0f, -45.0f, 17.0f, 123.0f}) {
    for (float pitch : {-90.0f, -45.0f, -30.0f}) {
      s = walk_step(yaw, pitch);
      const double expect = 0.1 * std::fabs(std::sin(pitch * M_PI / 180.0));
      EXPECT_NEAR(std::hypot(s.dfx, s.dfy), expect, 1e-6) << yaw << " " << pitch;
    }
    // looking straight along the levels: too small to move a fraction near 0.5
    for (float pitch : {0.0f, -180.0f}) {
      s = walk_step(yaw, pitch);
      EXPECT_EQ(0.5f - s.dfx, 0.5f) << yaw << " " << pitch;
      EXPECT_EQ(0.5f - s.dfy, 0.5f) << yaw << " " << pitch;
    }
  }
}

TEST(WalkStep, ForwardFramesFollowTheTickDivisor) {
  auto count = [](float divisor) {
    int n = 0;
    for (int32_t f = 0; f < 60; ++f) n += forward_step_frame(f, divisor);
    return n;
  };
  EXPECT_EQ(count(10.0f), 60);
  EXPECT_EQ(count(30.0f), 20);
  EXPECT_EQ(count(60.0f), 10);
  EXPECT_TRUE(forward_step_frame(3, 30.0f));
  EXPECT_FALSE(forward_step_frame(4, 30.0f));
  // a divisor below 10 would divide by zero: it walks every frame instead
  EXPECT_EQ(count(0.0f), 60);
  EXPECT_EQ(count(-30.0f), 60);
}

TEST_F(WalkTest, LeftButtonWalksOnDivisorFramesAndZEveryFrame) {
  stand_view_on_rock(100, 100, 1);
  place(100, 100, 1, 0.5f, 0.5f);
  bv.pitch = -90.0f;  // level, toward lower rows
  const double y0 = world_y();
  for (run.frame = 0; run.frame < 9; ++run.frame) walk_unit1(world, run, bv, units, true, false);
  // divisor 30: frames 0, 3 and 6
  EXPECT_FLOAT_EQ(unit(units, 1).walk_phase, 3.0f);
  EXPECT_NEAR(world_y(), y0 - 0.3, 1e-5);
  for (run.frame = 9; run.frame < 14; ++run.frame) walk_unit1(world, run, bv, units, false, true);
  EXPECT_FLOAT_EQ(unit(units, 1).walk_phase, -2.0f);
  EXPECT_NEAR(world_y(), y0 + 0.2, 1e-5);
  // both on a forward frame: the steps cancel, the phase goes +1 -1
  run.frame = 15;
  walk_unit1(world, run, bv, units, true, true);
  EXPECT_FLOAT_EQ(unit(units, 1).walk_phase, -2.0f);
  EXPECT_NEAR(world_y(), y0 + 0.2, 1e-5);
}

TEST_F(WalkTest, WalkingAcrossCellsKeepsTheCameraPointContinuous) {
  stand_view_on_rock(200, 300, 1);
  place(200, 300, 1, 0.5f, 0.5f);
  run.tick_divisor = 10.0f;
  bv.pitch = -90.0f;
  bv.yaw = 0.0f;  // toward lower rows
  const double y0 = world_y(), x0 = world_x();
  for (int i = 0; i < 12; ++i, ++run.frame) walk_unit1(world, run, bv, units, true, false);
  const UnitRecord& u = unit(units, 1);
  EXPECT_EQ(u.y, 299);  // 1.2 cells from the middle of row 300
  EXPECT_NEAR(world_y(), y0 - 1.2, 1e-4);
  EXPECT_NEAR(world_x(), x0, 1e-4);
  EXPECT_GE(u.fy, 0.0f);
  EXPECT_LE(u.fy, 1.0f);

  bv.yaw = -90.0f;  // toward lower columns
  for (int i = 0; i < 8; ++i, ++run.frame) walk_unit1(world, run, bv, units, true, false);
  EXPECT_EQ(u.x, 199);
  EXPECT_NEAR(world_x(), x0 - 0.8, 1e-4);
  bv.yaw = 90.0f;  // back toward higher columns, 0.8 past the start
  for (int i = 0; i < 16; ++i, ++run.frame) walk_unit1(world, run, bv, units, true, false);
  EXPECT_EQ(u.x, 201);
  EXPECT_NEAR(world_x(), x0 + 0.8, 1e-4);
  EXPECT_GE(u.fx, 0.0f);
  EXPECT_LE(u.fx, 1.0f);
}

TEST_F(WalkTest, CellChangesInBothDirections) {
  UnitRecord& u = place(100, 100, 1, 0.5f, 0.5f);
  u.fx = 1.25f;  // past the column below
  cell_changes(u, world.side);
  EXPECT_EQ(u.x, 99);
  EXPECT_FLOAT_EQ(u.fx, 0.25f);
  u.fx = -0.25f;  // past the column above
  cell_changes(u, world.side);
  EXPECT_EQ(u.x, 100);
  EXPECT_FLOAT_EQ(u.fx, 0.75f);
  u.fy = 1.25f;
  cell_changes(u, world.side);
  EXPECT_EQ(u.y, 101);
  EXPECT_FLOAT_EQ(u.fy, 0.25f);
  u.fy = -0.25f;
  cell_changes(u, world.side);
  EXPECT_EQ(u.y, 100);
  EXPECT_FLOAT_EQ(u.fy, 0.75f);
}

TEST_F(WalkTest, UnitOneStaysInsideTheGrid) {
  UnitRecord& u = place(0, 0, 1, 0.5f, 0.5f);
  u.fx = 1.3f;   // would be column -1
  u.fy = -0.3f;  // would be row -1
  cell_changes(u, world.side);
  EXPECT_EQ(u.x, 0);
  EXPECT_EQ(u.y, 0);
  EXPECT_FLOAT_EQ(u.fx, 1.0f);  // at the grid's edge
  EXPECT_FLOAT_EQ(u.fy, 0.0f);

  place(1023, 1023, 1, 0.5f, 0.5f);
  u.fx = -0.3f;  // would be column 1024
  u.fy = 1.3f;   // would be row 1024
  cell_changes(u, world.side);
  EXPECT_EQ(u.x, 1023);
  EXPECT_EQ(u.y, 1023);
  EXPECT_FLOAT_EQ(u.fx, 0.0f);
  EXPECT_FLOAT_EQ(u.fy, 1.0f);

  // a long walk off the corner of the world ends at the corner
  stand_view_on_rock(500, 500, 1);
  place(2, 1, 1, 0.5f, 0.5f);
  run.tick_divisor = 10.0f;
  bv.pitch = -90.0f;
  bv.yaw = -45.0f;  // toward lower columns and rows
  for (int i = 0; i < 200; ++i, ++run.frame) walk_unit1(world, run, bv, units, true, false);
  EXPECT_EQ(u.x, 0);
  EXPECT_EQ(u.y, 0);
  EXPECT_NEAR(world_x(), 0.0, 1e-6);
  EXPECT_NEAR(world_y(), 0.0, 1e-6);
}

TEST_F(WalkTest, GroundCheckRemembersRockAndUndoesStepsWithoutIt) {
  UnitRecord& u = place(100, 100, 1, 0.5f, 0.5f);
  bv.pitch = -90.0f;
  // nothing under the start origin: back to the first ground origin (1, 1, 28)
  run.SX = 100;
  run.SY = 100;
  run.SZ = 1;
  walk_unit1(world, run, bv, units, true, false);
  EXPECT_EQ(run.SX, 1);
  EXPECT_EQ(run.SY, 1);
  EXPECT_EQ(run.SZ, 28);
  EXPECT_EQ(u.x, 100);
  EXPECT_EQ(u.y, 100);
  EXPECT_FLOAT_EQ(u.fx, 0.5f);
  EXPECT_FLOAT_EQ(u.fy, 0.5f);
  EXPECT_FLOAT_EQ(u.walk_phase, 1.0f);  // the phase is not undone

  // rock under (300, 400, 2): remembered, and the step stands
  stand_view_on_rock(300, 400, 2);
  u.fx = u.fy = u.fz = 0.3f;
  ground_check(world, run, bv, u);
  EXPECT_EQ(bv.ground_x, 300);
  EXPECT_EQ(bv.ground_y, 400);
  EXPECT_EQ(bv.ground_z, 2);
  EXPECT_FLOAT_EQ(u.fx, 0.3f);
  EXPECT_FLOAT_EQ(u.fz, 0.3f);

  // the view moves off the rock: the next check brings it back and centres unit 1
  run.SX = 310;
  ground_check(world, run, bv, u);
  EXPECT_EQ(run.SX, 300);
  EXPECT_EQ(run.SY, 400);
  EXPECT_EQ(run.SZ, 2);
  EXPECT_FLOAT_EQ(u.fx, 0.5f);
  EXPECT_FLOAT_EQ(u.fy, 0.5f);
  EXPECT_FLOAT_EQ(u.fz, 0.5f);

  // the top level has nothing below it inside the grid
  run.SZ = kLevelCount - 1;
  ground_check(world, run, bv, u);
  EXPECT_EQ(run.SZ, 2);
}

TEST_F(WalkTest, HeadBobStaysInsideItsRange) {
  UnitRecord& u = place(10, 10, 1, 0.5f, 0.5f);
  float lo = 1, hi = 0;
  for (float phase = -500.0f; phase <= 500.0f; phase += 0.37f) {
    u.walk_phase = phase;
    head_bob(u);
    lo = std::min(lo, u.fz);
    hi = std::max(hi, u.fz);
  }
  EXPECT_GE(lo, 0.516f - 1e-6f);
  EXPECT_LE(hi, 0.564f + 1e-6f);
  EXPECT_LT(lo, 0.517f);  // the swing reaches both ends
  EXPECT_GT(hi, 0.563f);
  u.walk_phase = 0.0f;
  head_bob(u);
  EXPECT_FLOAT_EQ(u.fz, 0.54f);
  u.walk_phase = float(M_PI / 3.0);  // 1.5 x phase = 90 degrees
  head_bob(u);
  EXPECT_NEAR(u.fz, 0.564f, 1e-6);
}

TEST_F(WalkTest, PushOutOnEachSide) {
  struct Case {
    int dx, dy;      // wall beside cell (100, 100): column and row offset
    float a, b;      // camera point at entry
    float ea, eb;    // camera point after the push
  };
  const Case cases[] = {
      // 0.25 from a wall: out to 0.3
      {-1, 0, 0.25f, 0.5f, 0.3f, 0.5f},
      {1, 0, 0.75f, 0.5f, 0.7f, 0.5f},
      {0, -1, 0.5f, 0.25f, 0.5f, 0.3f},
      {0, 1, 0.5f, 0.75f, 0.5f, 0.7f},
      // 0.3 or more away: untouched
      {-1, 0, 0.35f, 0.5f, 0.35f, 0.5f},
      {0, 1, 0.5f, 0.65f, 0.5f, 0.65f},
      // within 0.2: both tests of that side push (0.2 + 0.2), and the corner
      // test that reaches the same wall pushes along the wall as well
      {-1, 0, 0.1f, 0.5f, 0.7f, 0.7f},
      {1, 0, 0.9f, 0.5f, 0.3f, 0.3f},
      {0, -1, 0.5f, 0.1f, 0.7f, 0.7f},
      {0, 1, 0.5f, 0.9f, 0.3f, 0.3f},
  };
  for (const Case& c : cases) {
    reset();
    wall(100 + c.dx, 100 + c.dy, 1);
    UnitRecord& u = place(100, 100, 1, c.a, c.b);
    push_out_of_walls(world, u);
    EXPECT_NEAR(1.0f - u.fx, c.ea, 1e-5) << c.dx << "," << c.dy << " a " << c.a << " b " << c.b;
    EXPECT_NEAR(u.fy, c.eb, 1e-5) << c.dx << "," << c.dy << " a " << c.a << " b " << c.b;
  }
}

TEST_F(WalkTest, PushOutInCornersAndBetweenTwoWalls) {
  // a lone wall diagonally behind: only the corner test pushes, 0.2 on both axes
  wall(99, 99, 1);
  UnitRecord& u = place(100, 100, 1, 0.1f, 0.1f);
  push_out_of_walls(world, u);
  EXPECT_NEAR(1.0f - u.fx, 0.3f, 1e-5);
  EXPECT_NEAR(u.fy, 0.3f, 1e-5);

  // the other three corners, each alone
  struct Corner {
    int dx, dy;
    float a, b, ea, eb;
  };
  const Corner corners[] = {
      {1, 1, 0.9f, 0.9f, 0.7f, 0.7f},
      {1, -1, 0.9f, 0.1f, 0.7f, 0.3f},
      {-1, 1, 0.1f, 0.9f, 0.3f, 0.7f},
  };
  for (const Corner& c : corners) {
    reset();
    wall(100 + c.dx, 100 + c.dy, 1);
    UnitRecord& v = place(100, 100, 1, c.a, c.b);
    push_out_of_walls(world, v);
    EXPECT_NEAR(1.0f - v.fx, c.ea, 1e-5) << c.dx << "," << c.dy;
    EXPECT_NEAR(v.fy, c.eb, 1e-5) << c.dx << "," << c.dy;
  }

  // in the inside corner of two walls, 0.25 from each: out to 0.3 on both
  reset();
  wall(99, 100, 1);
  wall(100, 99, 1);
  wall(99, 99, 1);
  place(100, 100, 1, 0.25f, 0.25f);
  push_out_of_walls(world, unit(units, 1));
  EXPECT_NEAR(1.0f - unit(units, 1).fx, 0.3f, 1e-5);
  EXPECT_NEAR(unit(units, 1).fy, 0.3f, 1e-5);

  // in a corridor one cell wide, off the middle: pushed from one side only
  reset();
  wall(99, 100, 1);
  wall(101, 100, 1);
  place(100, 100, 1, 0.28f, 0.5f);
  push_out_of_walls(world, unit(units, 1));
  EXPECT_NEAR(1.0f - unit(units, 1).fx, 0.3f, 1e-5);
  EXPECT_NEAR(unit(units, 1).fy, 0.5f, 1e-5);

  // two corner tests would find a wall (99, 99 and 100, 99): only the first pushes
  reset();
  wall(99, 99, 1);
  wall(100, 99, 1);
  place(100, 100, 1, 0.1f, 0.1f);
  push_out_of_walls(world, unit(units, 1));
  // the row below pushes b 0.2 + 0.2, the lower-left corner 0.2 on both
  EXPECT_NEAR(1.0f - unit(units, 1).fx, 0.3f, 1e-5);
  EXPECT_NEAR(unit(units, 1).fy, 0.7f, 1e-5);
}

TEST_F(WalkTest, PushOutIgnoresOtherCodesAndTheOutsideOfTheGrid) {
  // codes other than 61 are open space for the collision
  for (uint8_t code : {uint8_t(1), uint8_t(19), uint8_t(60), uint8_t(255)}) {
    reset();
    set_cell(99, 100, 1, code);
    UnitRecord& u = place(100, 100, 1, 0.1f, 0.5f);
    push_out_of_walls(world, u);
    EXPECT_NEAR(1.0f - u.fx, 0.1f, 1e-6) << int(code);
  }
  // past the grid's edge is empty
  reset();
  UnitRecord& u = place(0, 0, 1, 0.1f, 0.1f);
  push_out_of_walls(world, u);
  EXPECT_NEAR(1.0f - u.fx, 0.1f, 1e-6);
  EXPECT_NEAR(u.fy, 0.1f, 1e-6);
  // a wall one level up or down does not push
  wall(1, 0, 0);
  wall(1, 0, 2);
  place(1, 0, 1, 0.1f, 0.5f);
  push_out_of_walls(world, u);
  EXPECT_NEAR(1.0f - u.fx, 0.1f, 1e-6);
}

TEST_F(WalkTest, CellAtOffsetReadsAroundUnitOne) {
  wall(49, 60, 7);
  wall(51, 61, 8);
  place(50, 60, 7, 0.5f, 0.5f);
  const UnitRecord& u = unit(units, 1);
  EXPECT_EQ(cell_at_offset(world, u, -0.01f, 0.5f, 0.5f), kTileWall);  // floor(-0.01) = -1
  EXPECT_EQ(cell_at_offset(world, u, 0.0f, 0.5f, 0.5f), 0);
  EXPECT_EQ(cell_at_offset(world, u, 1.5f, 1.0f, 1.2f), kTileWall);
  EXPECT_EQ(cell_at_offset(world, u, -60.0f, 0.0f, 0.0f), 0);     // column -10
  EXPECT_EQ(cell_at_offset(world, u, 0.0f, 0.0f, 173.0f), 0);     // level 180
  EXPECT_EQ(cell_at_offset(world, u, 1e30f, 0.0f, 0.0f), 0);      // far outside
  EXPECT_EQ(cell_at_offset(world, u, std::nanf(""), 0.0f, 0.0f), 0);
}

}  // namespace
