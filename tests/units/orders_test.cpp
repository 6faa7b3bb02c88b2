#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "units/orders.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

int32_t chebyshev(int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  return std::max(std::abs(ax - bx), std::abs(ay - by));
}

// Fields compared together; gtest prints both sides on a mismatch.
std::tuple<int, int> at(const UnitRecord& u) { return {u.x, u.y}; }
std::tuple<int, int> target(const UnitRecord& u) { return {u.target_x, u.target_y}; }
std::tuple<int, int> waypoint(const UnitRecord& u) { return {u.waypoint_x, u.waypoint_y}; }
std::tuple<int, int> order(const UnitRecord& u) { return {u.order_flag, u.order_state}; }
// The planning record: start block, coarse level, target block.
std::tuple<int, int, int, int, int> blocks(const UnitRecord& p) {
  return {p.x, p.y, p.level, p.target_x, p.target_y};
}
using XY = std::tuple<int, int>;

// A full-size world whose overworld levels are open plain, shared by the suite;
// each test starts from a clean unit table and path store.
class OrdersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    world = new World;
    set_world_side(*world, kWorldSide);
    create_world_grid(*world);
    fill_terrain_costs(*world);
    ps = new PathSearch;
    create_path_search(*ps, kWorldSide);
    units = new UnitTable;
    create_unit_table(*units);
  }
  static void TearDownTestSuite() {
    release_path_search(*ps);
    release_unit_table(*units);
    release_world_grid(*world);
    delete ps;
    delete units;
    delete world;
  }
  void SetUp() override {
    for (int32_t z = 0; z < 3; ++z) fill_level(z, kTilePlain);
    build_coarse_map(*world);
    for (int32_t i = 0; i < kUnitTableSize; ++i) {
      units->records[i] = UnitRecord{};
      ps->path_cursor[i] = kNoPath;
      ps->path_length[i] = 0;
    }
    rng_seed(rng, 2024);
    rng_seed(replay, 2024);
  }
  void fill_level(int32_t z, uint8_t code) {
    std::memset(&world->grid[cell_index(*world, 0, 0, z)], code, size_t(world->stride));
  }
  void put(int32_t x, int32_t y, int32_t z, uint8_t code) {
    world->grid[cell_index(*world, x, y, z)] = code;
  }
  // A unit as placement leaves it: in use, idle, its target its own cell.
  UnitRecord& place(int32_t u, int32_t x, int32_t y, int32_t level = 0) {
    UnitRecord& r = units->records[u];
    r.in_use = 1;
    r.kind = 1;
    r.x = r.target_x = uint16_t(x);
    r.y = r.target_y = uint16_t(y);
    r.level = uint16_t(level);
    return r;
  }
  void tick() { movement_tick(*world, *units, *ps, rng); }
  UnitRecord& plan() { return units->records[kPlanningRecord]; }
  int32_t cursor(int32_t u) const { return ps->path_cursor[u]; }

  static World* world;
  static PathSearch* ps;
  static UnitTable* units;
  Rng rng, replay;
};
World* OrdersTest::world = nullptr;
PathSearch* OrdersTest::ps = nullptr;
UnitTable* OrdersTest::units = nullptr;

TEST_F(OrdersTest, GiveOrderSetsUpANewOrderWithoutTestingAnything) {
  UnitRecord& u = place(4, 10, 10);
  u.waypoint_x = 33;
  u.order_state = kArrived;
  ps->path_cursor[4] = 5;
  give_order(*units, *ps, 4, 700, 12);
  EXPECT_EQ(target(u), XY(700, 12));
  EXPECT_EQ(waypoint(u), XY(0, 0));
  EXPECT_EQ(order(u), XY(1, kNewOrder));
  EXPECT_EQ(cursor(4), kNoPath);
  // a record not in use takes the order too, and a cell off the grid is kept as given
  give_order(*units, *ps, 300, 1500, 0);
  EXPECT_EQ(target(units->records[300]), XY(1500, 0));
  EXPECT_EQ(units->records[300].order_flag, 1);
  // an index outside the table is ignored
  give_order(*units, *ps, -1, 5, 5);
  give_order(*units, *ps, kUnitTableSize, 5, 5);
  for (int32_t i = 0; i < kUnitTableSize; ++i)
    ASSERT_EQ(units->records[i].order_flag, int(i == 4 || i == 300)) << i;
}

TEST_F(OrdersTest, RandomOrderForUnitOneDrawsXThenYAndKeepsTheWaypoint) {
  units->records[1].in_use = 2;  // only exactly 1 is in use: no order, no draw
  order_unit1_random(*world, *units, *ps, rng);
  EXPECT_EQ(units->records[1].order_flag, 0);
  EXPECT_EQ(rng_next(rng), rng_next(replay));

  UnitRecord& u1 = place(1, 500, 500, 1);
  u1.waypoint_x = 510;
  u1.waypoint_y = 490;
  order_unit1_random(*world, *units, *ps, rng);
  const int x = rng_next(replay) % 1022 + 1;
  EXPECT_EQ(target(u1), XY(x, rng_next(replay) % 1022 + 1));
  EXPECT_EQ(waypoint(u1), XY(510, 490));
  EXPECT_EQ(order(u1), XY(1, kNewOrder));
  EXPECT_EQ(cursor(1), kNoPath);
  EXPECT_EQ(rng_next(rng), rng_next(replay));
}

TEST_F(OrdersTest, WanderOrdersGoOnlyToIdleOrArrivedUnitsFromTwoUp) {
  place(1, 50, 50, 1);  // never wanders
  place(2, 60, 60);     // idle
  UnitRecord& walking = place(3, 70, 70);
  give_order(*units, *ps, 3, 900, 70);
  walking.order_state = kWalkingLeg;
  walking.waypoint_x = 80;
  place(4, 80, 80).order_state = kArrived;
  units->records[4].order_flag = 1;
  UnitRecord& replanning = place(5, 90, 90);
  give_order(*units, *ps, 5, 95, 95);
  replanning.order_state = kPlanAgain;
  place(7, 100, 100).inactive = 1;  // inactive units still get orders
  place(2999, 110, 110);            // the last index is included

  wander_orders(*world, *units, *ps, rng);

  for (int32_t u : {2, 4, 7, 2999}) {  // in index order, X first
    const UnitRecord& r = units->records[u];
    const int x = rng_next(replay) % 1022 + 1;
    EXPECT_EQ(target(r), XY(x, rng_next(replay) % 1022 + 1)) << u;
    EXPECT_EQ(r.waypoint_x, 0) << u;
    EXPECT_EQ(order(r), XY(1, kNewOrder)) << u;
    EXPECT_EQ(cursor(u), kNoPath) << u;
  }
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // nobody else drew
  EXPECT_EQ(units->records[1].order_flag, 0);
  EXPECT_EQ(std::tuple(walking.target_x, walking.waypoint_x, walking.order_state),
            std::tuple(900, 80, kWalkingLeg));
  EXPECT_EQ(std::tuple(replanning.target_x, replanning.order_state), std::tuple(95, kPlanAgain));
}

TEST_F(OrdersTest, OrderInsideTheOwnBlockWalksStraightAndArrives) {
  UnitRecord& u = place(2, 100, 100);  // block (6, 6)
  give_order(*units, *ps, 2, 105, 103);
  // on open plain the cheapest route has max(5, 3) = 5 cells; no coarse route:
  // the leg goes to the target itself
  for (int32_t t = 1; t <= 5; ++t) {
    const int32_t x = u.x, y = u.y;
    tick();
    EXPECT_EQ(chebyshev(x, y, u.x, u.y), 1) << t;
    EXPECT_EQ(waypoint(u), XY(105, 103)) << t;
    EXPECT_EQ(u.order_flag, 1) << t;
  }
  EXPECT_EQ(at(u), XY(105, 103));
  EXPECT_EQ(u.order_state, kPlanAgain);  // the leg ended with the last cell
  tick();
  EXPECT_EQ(order(u), XY(1, kArrived));
  EXPECT_EQ(cursor(2), kNoPath);
  for (int32_t t = 0; t < 3; ++t) tick();
  EXPECT_EQ(at(u), XY(105, 103));
  EXPECT_EQ(u.order_state, kArrived);
  // and only then does it wander again
  wander_orders(*world, *units, *ps, rng);
  EXPECT_EQ(u.order_state, kNewOrder);

  // ordered to its own cell, a unit arrives at the first tick
  UnitRecord& v = place(3, 300, 300);
  give_order(*units, *ps, 3, 300, 300);
  tick();
  EXPECT_EQ(v.order_state, kArrived);
  EXPECT_EQ(at(v), XY(300, 300));
}

TEST_F(OrdersTest, CoarseRoutePicksAWaypointInItsFirstBlockWithXDrawnFirst) {
  UnitRecord& u = place(2, 100, 100);    // block (6, 6)
  give_order(*units, *ps, 2, 300, 100);  // block (18, 6), straight east
  tick();
  // a straight run of open blocks is the cheapest coarse route: first block (7, 6)
  const int wx = 7 * 16 + rng_next(replay) % 16;
  EXPECT_EQ(waypoint(u), XY(wx, 6 * 16 + rng_next(replay) % 16));
  EXPECT_EQ(u.order_state, kWalkingLeg);
  EXPECT_EQ(chebyshev(100, 100, u.x, u.y), 1);
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // the first try was taken
  // the planning record is put away but remembers the blocks
  EXPECT_NE(plan().in_use, 1);
  EXPECT_EQ(blocks(plan()), std::tuple(6, 6, 10, 18, 6));
  EXPECT_EQ(plan().kind, 1);
}

TEST_F(OrdersTest, WaypointTriesSkipMountainCellsUpTo220Times) {
  // after the coarse map: block (7, 6) of level 0 is mountain except its top row,
  // block (7, 6) of level 1 is all mountain
  for (int32_t y = 96; y < 112; ++y)
    for (int32_t x = 112; x < 128; ++x) {
      put(x, y, 0, y == 111 ? kTilePlain : (x % 2 ? 19 : 20));
      put(x, y, 1, 19);
    }
  UnitRecord& u = place(2, 100, 100, 0);
  UnitRecord& v = place(3, 100, 100, 1);
  give_order(*units, *ps, 2, 300, 100);
  give_order(*units, *ps, 3, 300, 100);
  tick();
  int32_t wx, wy, tries = 0;
  do {
    wx = 7 * 16 + rng_next(replay) % 16;
    wy = 6 * 16 + rng_next(replay) % 16;
    ++tries;
  } while (wy != 111 && tries < 220);
  ASSERT_GT(tries, 1) << "pick another seed: the first try already hit the open row";
  EXPECT_EQ(waypoint(u), XY(wx, wy));
  for (int32_t t = 0; t < 220; ++t) {  // all fail: the last try stays
    wx = 7 * 16 + rng_next(replay) % 16;
    wy = 6 * 16 + rng_next(replay) % 16;
  }
  EXPECT_EQ(waypoint(v), XY(wx, wy));
  EXPECT_EQ(v.order_state, kWalkingLeg);
  EXPECT_EQ(rng_next(rng), rng_next(replay));
}

TEST_F(OrdersTest, LongOrderIsWalkedLegByLegOneCellPerTick) {
  UnitRecord& u = place(2, 100, 100);
  give_order(*units, *ps, 2, 300, 140);
  int32_t ticks = 0;
  while (u.order_state != kArrived && ticks < 1000) {
    const int32_t x = u.x, y = u.y;
    tick();
    ++ticks;
    ASSERT_LE(chebyshev(x, y, u.x, u.y), 1) << "tick " << ticks;
    ASSERT_EQ(u.order_flag, 1);
  }
  EXPECT_EQ(u.order_state, kArrived);
  EXPECT_EQ(at(u), XY(300, 140));
  // 200 columns need at least 200 steps; legs end and re-plan on the way
  EXPECT_GE(ticks, 200);
  EXPECT_LE(ticks, 400);
}

TEST_F(OrdersTest, UnreachableTargetLeavesTheUnitReplanningInPlace) {
  // target (110, 110) walled in, inside the unit's own block
  for (int32_t d = -1; d <= 1; ++d) {
    put(110 + d, 109, 0, kTileWall);
    put(110 + d, 111, 0, kTileWall);
    put(109, 110 + d, 0, kTileWall);
    put(111, 110 + d, 0, kTileWall);
  }
  UnitRecord& u = place(2, 100, 100);
  give_order(*units, *ps, 2, 110, 110);
  for (int32_t t = 0; t < 3; ++t) {
    tick();
    EXPECT_EQ(at(u), XY(100, 100));
    EXPECT_EQ(order(u), XY(1, kPlanAgain));  // the search cleared the flag; the tick restores it
    EXPECT_EQ(cursor(2), kNoPath);
  }
}

TEST_F(OrdersTest, TickMovesOnlyUnitsInUseActiveAndOrdered) {
  UnitRecord& idle = place(2, 100, 100);  // order flag 0
  UnitRecord& resting = place(3, 200, 200);
  resting.inactive = 1;
  give_order(*units, *ps, 3, 205, 205);
  give_order(*units, *ps, 300, 20, 20);   // not in use, stands on (0, 0)
  UnitRecord& odd = place(4, 400, 400);
  odd.in_use = 2;                         // only exactly 1 counts
  give_order(*units, *ps, 4, 405, 405);
  UnitRecord& arrived = place(5, 500, 500);
  give_order(*units, *ps, 5, 520, 500);
  arrived.order_state = kArrived;
  for (int32_t t = 0; t < 5; ++t) tick();
  EXPECT_EQ(idle.x, 100);
  EXPECT_EQ(std::tuple(resting.x, resting.order_state), std::tuple(200, kNewOrder));
  const UnitRecord& unused = units->records[300];
  EXPECT_EQ(std::tuple(unused.x, unused.y, unused.order_state), std::tuple(0, 0, kNewOrder));
  EXPECT_EQ(odd.x, 400);
  EXPECT_EQ(arrived.x, 500);
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // nobody planned
  EXPECT_EQ(std::tuple(plan().in_use, plan().kind), std::tuple(0, 0));
}

TEST_F(OrdersTest, PlanningRecordKeepsTheLastPlannedUnitsBlocks) {
  place(2, 100, 100);
  give_order(*units, *ps, 2, 300, 100);
  place(9, 520, 700, 2);
  give_order(*units, *ps, 9, 40, 650);
  tick();
  EXPECT_EQ(plan().in_use, 0);
  EXPECT_EQ(blocks(plan()), std::tuple(520 / 16, 700 / 16, 12, 40 / 16, 650 / 16));
  // both moved in the same tick
  EXPECT_EQ(units->records[2].x, 101);
  EXPECT_EQ(units->records[9].order_state, kWalkingLeg);
}

TEST_F(OrdersTest, UnitHighUpHasNoCoarseRouteAndHeadsStraightForItsTarget) {
  // level 175 has no coarse map: 185 would lie past the grid's last level
  for (int32_t y = 60; y < 140; ++y)
    for (int32_t x = 60; x < 200; ++x) put(x, y, 175, kTilePlain);
  UnitRecord& u = place(1, 100, 100, 175);
  give_order(*units, *ps, 1, 300, 100);
  tick();
  EXPECT_EQ(std::tuple(plan().in_use, plan().level), std::tuple(0, 185));
  EXPECT_EQ(waypoint(u), XY(300, 100));  // no coarse route: straight for the target
  EXPECT_EQ(u.order_state, kWalkingLeg);
  EXPECT_EQ(at(u), XY(101, 100));
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // no waypoint draws
  for (int32_t t = 0; t < 20; ++t) tick();
  EXPECT_EQ(std::tuple(u.x, u.level), std::tuple(121, 175));

  // the top level too
  UnitRecord& top = place(2, 100, 100, 179);
  put(101, 100, 179, kTilePlain);
  give_order(*units, *ps, 2, 101, 100);
  tick();
  EXPECT_EQ(std::tuple(top.x, plan().level), std::tuple(101, 189));

  // level 5's coarse level 15 holds code 0, which is not passable: the same
  for (int32_t x = 95; x < 200; ++x) put(x, 100, 5, kTilePlain);
  UnitRecord& low = place(4, 100, 100, 5);
  give_order(*units, *ps, 4, 200, 100);
  tick();
  EXPECT_EQ(std::tuple(plan().level, low.waypoint_x, low.x), std::tuple(15, 200, 101));
}

}  // namespace
