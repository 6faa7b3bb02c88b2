#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "pathsearch_oracle.h"
#include "units/pathsearch.h"
#include "units/pathsearch_internal.h"
#include "units/units.h"
#include "world/world.h"

namespace {

constexpr int32_t kSide = 128;  // small worlds keep each test quick; the rules do not depend on it
constexpr int32_t kLevel = 1;
constexpr int32_t kWindow = 64;
constexpr float kDiag = 1.4142f;

// Neighbour order of the search, written out independently of the code under test.
constexpr int32_t kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t kDy[8] = {1, 1, 0, -1, -1, -1, 0, 1};

World make_world(int32_t side) {
  World w;
  set_world_side(w, side);
  create_world_grid(w);
  fill_terrain_costs(w);
  return w;
}

void fill_level(World& w, int32_t level, uint8_t code) {
  std::memset(&w.grid[cell_index(w, 0, 0, level)], code, size_t(w.stride));
}

void put(World& w, int32_t x, int32_t y, int32_t level, uint8_t code) {
  w.grid[cell_index(w, x, y, level)] = code;
}

struct Cell {
  int32_t x, y;
  bool operator==(const Cell&) const = default;
};

std::vector<Cell> stored_path(const PathSearch& ps, int32_t u) {
  std::vector<Cell> cells;
  for (int32_t i = 0; i < ps.path_length[u]; ++i)
    cells.push_back({path_cell_x(ps, u, i), path_cell_y(ps, u, i)});
  return cells;
}

// One search state, one unit table and a small world for the whole suite.
class PathSearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    world = new World(make_world(kSide));
    ps = new PathSearch;
    create_path_search(*ps, kSide);
    units = new UnitTable;
    create_unit_table(*units);
  }
  static void TearDownTestSuite() {
    release_path_search(*ps);
    release_unit_table(*units);
    delete ps;
    delete units;
    delete world;
  }
  void SetUp() override {
    fill_level(*world, kLevel, kTilePlain);
    for (int32_t i = 0; i < kUnitTableSize; ++i) {
      units->records[i] = UnitRecord{};
      ps->path_cursor[i] = kNoPath;
      ps->path_length[i] = 0;
    }
  }
  UnitRecord& place(int32_t u, int32_t x, int32_t y, int32_t level = kLevel) {
    UnitRecord& r = units->records[u];
    r.in_use = 1;
    r.x = uint16_t(x);
    r.y = uint16_t(y);
    r.level = uint16_t(level);
    r.order_flag = 1;
    ps->path_cursor[u] = kNoPath;  // a fresh order
    return r;
  }
  // A whole route from the unit to (tx, ty), first step first, taken as the tick does.
  std::vector<Cell> walk(int32_t u, int32_t tx, int32_t ty) {
    std::vector<Cell> steps;
    UnitRecord& r = units->records[u];
    while (steps.size() < 5000) {
      const int32_t got = next_path_step(*ps, *world, *units, u, tx, ty, kWindow, 1);
      steps.push_back({r.next_x, r.next_y});
      if (got == 0) break;
      r.x = r.next_x;
      r.y = r.next_y;
    }
    return steps;
  }
  static PathSearchState st() { return path_search_state(*ps); }
  static World* world;
  static PathSearch* ps;
  static UnitTable* units;
};
World* PathSearchTest::world = nullptr;
PathSearch* PathSearchTest::ps = nullptr;
UnitTable* PathSearchTest::units = nullptr;

TEST_F(PathSearchTest, FirstExpansionDiscoversNeighboursInOrderAndPicksTheWestOne) {
  const int32_t sx = 60, sy = 60;
  const Cell targets[] = {{70, 60}, {50, 60}, {60, 75}, {60, 45}, {72, 48}};
  for (const Cell& t : targets) {
    setup_centred_search(*ps, *world, sx, sy, t.x, t.y, kLevel, kWindow);
    run_search(*ps, *world, 1);
    ASSERT_EQ(st().last, 8);
    for (int32_t i = 1; i <= 8; ++i) {
      const bool diagonal = kDx[i - 1] != 0 && kDy[i - 1] != 0;
      EXPECT_EQ(st().node_x[i], sx + kDx[i - 1]) << i;
      EXPECT_EQ(st().node_y[i], sy + kDy[i - 1]) << i;
      EXPECT_EQ(st().node_parent[i], 0);
      EXPECT_EQ(st().node_state[i], 0);
      EXPECT_EQ(st().node_cost[i], diagonal ? 1.0f + kDiag + 3.0f : 5.0f) << i;
    }
    EXPECT_EQ(st().node_state[0], 9);
    EXPECT_EQ(st().current, 7) << "target " << t.x << "," << t.y;
    EXPECT_EQ(st().node_x[7], sx - 1);
    EXPECT_EQ(st().node_y[7], sy);
    EXPECT_EQ(st().best_cost, 5.0f);
    EXPECT_EQ(st().first_open, 1);
    EXPECT_EQ(ps->result, kNotFound);
  }
}

TEST_F(PathSearchTest, SetupPlacesWindowClampsCellsAndClearsOnlyItsSquare) {
  // Leftovers beyond the window square must survive: a set-up clears only what it uses.
  const size_t used = size_t(kWindow) * kWindow;
  const_cast<float*>(st().node_cost)[used] = 77.0f;
  const_cast<uint8_t*>(st().window_map)[used + 5] = 9;
  const auto* cost_array = st().node_cost;

  setup_centred_search(*ps, *world, -50, 500, 3, 200, kLevel, kWindow);
  // start clamps to (0, 127): window x from 0, y from 127 - 32 = 95 lowered to 128 - 64 = 64
  EXPECT_EQ(st().origin_x, 0);
  EXPECT_EQ(st().origin_y, 64);
  EXPECT_EQ(st().start_x, 1);
  EXPECT_EQ(st().start_y, 126);
  EXPECT_EQ(st().target_x, 3);
  EXPECT_EQ(st().target_y, 126);
  EXPECT_EQ(st().node_cost[used], 77.0f);
  EXPECT_EQ(st().window_map[used + 5], 9);
  EXPECT_EQ(st().node_cost, cost_array);
  EXPECT_EQ(st().node_cost[0], 1.0f);
  EXPECT_EQ(st().ready, 1);
  for (int32_t y = 0; y < kWindow; ++y)
    for (int32_t x = 0; x < kWindow; ++x) {
      const bool border = x == 0 || y == 0 || x == kWindow - 1 || y == kWindow - 1;
      ASSERT_EQ(st().window_map[y * kWindow + x], border ? 1 : 0) << x << "," << y;
    }

  setup_centred_search(*ps, *world, 40, 50, 40, 50, kLevel, 10);
  EXPECT_EQ(st().origin_x, 35);
  EXPECT_EQ(st().origin_y, 45);

  // Given corners stay one short of the last column unless the window is as wide as the grid.
  setup_search_at_origin(*ps, *world, -5, 200, 10, 10, 100, 100, kLevel, kWindow);
  EXPECT_EQ(st().origin_x, 0);
  EXPECT_EQ(st().origin_y, kSide - 1 - kWindow);
  EXPECT_EQ(st().start_x, 10);
  EXPECT_EQ(st().start_y, st().origin_y + 1);
  EXPECT_EQ(st().target_x, 62);
  EXPECT_EQ(st().target_y, 100);
  setup_search_at_origin(*ps, *world, 9, 9, 0, 0, 0, 0, kLevel, kSide);
  EXPECT_EQ(st().origin_x, 0);
  EXPECT_EQ(st().origin_y, 0);
}

TEST_F(PathSearchTest, AdjacentTargetGivesOneCellAndThenNothing) {
  place(5, 40, 40);
  ASSERT_EQ(next_path_step(*ps, *world, *units, 5, 41, 40, kWindow, 1), 1);
  EXPECT_EQ(units->records[5].next_x, 41);
  EXPECT_EQ(units->records[5].next_y, 40);
  EXPECT_EQ(ps->path_length[5], 1);
  EXPECT_EQ(ps->path_cursor[5], -1);
  EXPECT_EQ(units->records[5].x, 40) << "the caller moves the unit";

  const UnitRecord before = units->records[5];
  EXPECT_EQ(next_path_step(*ps, *world, *units, 5, 41, 40, kWindow, 1), 0);
  EXPECT_EQ(std::memcmp(&before, &units->records[5], sizeof before), 0);
  EXPECT_EQ(ps->path_cursor[5], -1);
  EXPECT_EQ(ps->path_length[5], 1);
}

TEST_F(PathSearchTest, TwoCellPathIsHandedOutInTwoCallsAndEndsOnTheTarget) {
  UnitRecord& r = place(6, 40, 40);
  ASSERT_EQ(next_path_step(*ps, *world, *units, 6, 42, 40, kWindow, 1), 1);
  EXPECT_EQ(r.next_x, 41);
  EXPECT_EQ(ps->path_cursor[6], 0);
  EXPECT_EQ(next_path_step(*ps, *world, *units, 6, 42, 40, kWindow, 1), 0);
  EXPECT_EQ(r.next_x, 42);
  EXPECT_EQ(ps->path_cursor[6], kNoPath);
  EXPECT_EQ(r.order_flag, 0);
  EXPECT_EQ(r.x, 42);
  EXPECT_EQ(r.y, 40);

  // Without advancing, the first call leaves the first step to be handed out again.
  UnitRecord& q = place(7, 40, 40);
  ASSERT_EQ(next_path_step(*ps, *world, *units, 7, 42, 40, kWindow, 0), 1);
  EXPECT_EQ(ps->path_cursor[7], 1);
  EXPECT_EQ(next_path_step(*ps, *world, *units, 7, 42, 40, kWindow, 0), 1);
  EXPECT_EQ(q.next_x, 41);
  EXPECT_EQ(next_path_step(*ps, *world, *units, 7, 42, 40, kWindow, 0), 0);
  EXPECT_EQ(q.x, 42);
}

TEST_F(PathSearchTest, UnreachableOrSameCellClearsTheOrder) {
  UnitRecord& r = place(8, 40, 40);
  ps->path_length[8] = 17;
  EXPECT_EQ(next_path_step(*ps, *world, *units, 8, 40, 40, kWindow, 1), 0);
  EXPECT_EQ(ps->result, kStartIsTarget);
  EXPECT_EQ(r.order_flag, 0);
  EXPECT_EQ(ps->path_length[8], 0);
  EXPECT_EQ(ps->path_cursor[8], kNoPath);

  r.order_flag = 1;
  put(*world, 45, 45, kLevel, kTileWall);
  EXPECT_EQ(next_path_step(*ps, *world, *units, 8, 45, 45, kWindow, 1), 0);
  EXPECT_EQ(ps->result, kNotFound);
  EXPECT_EQ(r.order_flag, 0);
  EXPECT_EQ(r.x, 40);
}

TEST_F(PathSearchTest, FarTargetIsReachedAsTheClampedCellThenTheUnitLandsOnIt) {
  place(9, 40, 40);
  // window x 8..71, so the route ends at the interior edge 70 and the unit is put on 100
  const std::vector<Cell> steps = walk(9, 100, 40);
  ASSERT_EQ(steps.size(), 30u);
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], (Cell{41 + int32_t(i), 40}));
  EXPECT_EQ(units->records[9].x, 100);
  EXPECT_EQ(units->records[9].y, 40);
}

TEST_F(PathSearchTest, TargetBeyondTheGridLeavesTheUnitOnTheGridEdge) {
  UnitRecord& r = place(10, 100, 30);
  walk(10, 5000, 30);
  EXPECT_EQ(r.x, kSide - 1);
  EXPECT_EQ(r.y, 30);
  place(11, 5, 30);
  walk(11, -40, 30);
  EXPECT_EQ(units->records[11].x, 0);
}

TEST_F(PathSearchTest, DiagonalOnlyBetweenOpenGroundSideCells) {
  const uint8_t open[] = {10, 11, 18, 60};
  const uint8_t not_open[] = {6, 12, 14, 19, 22, 68, 200, 61, 0};
  for (int side = 0; side < 2; ++side) {
    const int32_t cx = side == 0 ? 41 : 40, cy = side == 0 ? 40 : 41;  // a cell beside the step
    for (uint8_t c : open) {
      fill_level(*world, kLevel, kTilePlain);
      put(*world, cx, cy, kLevel, c);
      place(12, 40, 40);
      ASSERT_EQ(next_path_step(*ps, *world, *units, 12, 41, 41, kWindow, 1), 1);
      EXPECT_EQ(ps->path_length[12], 1) << "side code " << int(c);
    }
    for (uint8_t c : not_open) {
      fill_level(*world, kLevel, kTilePlain);
      put(*world, cx, cy, kLevel, c);
      place(12, 40, 40);
      ASSERT_EQ(next_path_step(*ps, *world, *units, 12, 41, 41, kWindow, 1), 1);
      EXPECT_EQ(ps->path_length[12], 2) << "side code " << int(c);
      EXPECT_NE(units->records[12].next_x == 41 && units->records[12].next_y == 41, true);
    }
  }
  // The cell stepped into needs no open ground, only its two side cells.
  fill_level(*world, kLevel, kTilePlain);
  put(*world, 41, 41, kLevel, kTileWater);
  place(12, 40, 40);
  ASSERT_EQ(next_path_step(*ps, *world, *units, 12, 41, 41, kWindow, 1), 1);
  EXPECT_EQ(ps->path_length[12], 1);
}

TEST_F(PathSearchTest, BlockingCodesAreNeverEnteredButMountainsAre) {
  const uint8_t blocking[] = {0, 1, 2, 3, 4, 5, 61};
  for (uint8_t b : blocking) {
    fill_level(*world, kLevel, kTilePlain);
    for (int32_t y = 0; y < kSide; ++y) put(*world, 45, y, kLevel, b);
    UnitRecord& r = place(13, 40, 40);
    EXPECT_EQ(next_path_step(*ps, *world, *units, 13, 50, 40, kWindow, 1), 0) << int(b);
    EXPECT_EQ(r.order_flag, 0);
    EXPECT_EQ(ps->path_length[13], 0);
    // Nothing behind the wall was discovered.
    for (int32_t i = 0; i <= st().last; ++i) ASSERT_LT(st().node_x[i], 45);

    // One gap: the route goes through it and through no blocking cell.
    put(*world, 45, 52, kLevel, kTilePlain);
    place(13, 40, 40);
    ASSERT_EQ(next_path_step(*ps, *world, *units, 13, 50, 40, kWindow, 1), 1) << int(b);
    const std::vector<Cell> path = stored_path(*ps, 13);
    EXPECT_NE(std::find(path.begin(), path.end(), Cell{45, 52}), path.end());
    for (const Cell& c : path) EXPECT_TRUE(tile_enterable(world->grid[cell_index(*world, c.x, c.y, kLevel)]));
  }
  for (uint8_t m : {kTileMountain, kTileMountainHigh}) {
    fill_level(*world, kLevel, kTilePlain);
    for (int32_t y = 0; y < kSide; ++y) put(*world, 45, y, kLevel, m);
    place(13, 40, 40);
    ASSERT_EQ(next_path_step(*ps, *world, *units, 13, 50, 40, kWindow, 1), 1) << int(m);
    EXPECT_EQ(ps->path_length[13], 10);
    EXPECT_EQ(st().node_cost[st().goal], 1.0f + 9 * 4.0f + (1.0f + terrain_cost(*world, m)));
  }
}

TEST_F(PathSearchTest, WalledInStartReexpandsTheLastNodeUntilTheBudgetEnds) {
  for (int32_t d = 0; d < 8; ++d) put(*world, 40 + kDx[d], 40 + kDy[d], kLevel, kTileWall);
  setup_centred_search(*ps, *world, 40, 40, 50, 50, kLevel, kWindow);
  run_search(*ps, *world, 100);
  EXPECT_EQ(ps->result, kNotFound);
  EXPECT_EQ(st().last, 0);
  EXPECT_EQ(st().current, 0);
  EXPECT_EQ(st().node_state[0], 9);
  EXPECT_EQ(st().best_node, 0);
  EXPECT_EQ(st().best_cost, 2.0f * kSide * kSide);

  // A one-cell pocket to the west: after it is expanded the pocket is taken again and again.
  put(*world, 39, 40, kLevel, kTilePlain);
  for (int32_t d = 0; d < 8; ++d)
    if (!(kDx[d] == 1 && kDy[d] == 0)) put(*world, 39 + kDx[d], 40 + kDy[d], kLevel, kTileWall);
  setup_centred_search(*ps, *world, 40, 40, 50, 50, kLevel, kWindow);
  run_search(*ps, *world, 100);
  EXPECT_EQ(st().last, 1);
  EXPECT_EQ(st().current, 1);
  EXPECT_EQ(st().node_state[1], 9);
  EXPECT_EQ(st().first_open, 1) << "stays where it was when nothing is open";
  EXPECT_EQ(st().window_map[(40 - st().origin_y) * kWindow + (39 - st().origin_x)], 9);
}

TEST_F(PathSearchTest, CoarseRouteClampsEdgeBlocksAndTakesTheFirstBlock) {
  const int32_t coarse = kCoarseLevelBase + kLevel;
  fill_level(*world, coarse, kTilePlain);
  UnitRecord& rec = units->records[kPlanningRecord];
  auto plan = [&](int32_t bx, int32_t by, int32_t tx, int32_t ty) {
    rec = UnitRecord{};
    rec.in_use = 1;
    rec.x = uint16_t(bx);
    rec.y = uint16_t(by);
    rec.level = uint16_t(coarse);
    rec.order_flag = 1;
    return coarse_route_step(*ps, *world, *units, kPlanningRecord, tx, ty, 64, 0, 0);
  };
  EXPECT_EQ(plan(0, 7, 1, 7), 0);
  EXPECT_EQ(ps->result, kStartIsTarget);
  EXPECT_EQ(rec.order_flag, 0);
  EXPECT_EQ(plan(63, 7, 62, 7), 0);
  EXPECT_EQ(plan(7, 0, 7, 1), 0);
  EXPECT_EQ(plan(7, 63, 7, 62), 0);

  // Corner to corner over open blocks: the straight diagonal, first block (2, 2).
  ASSERT_EQ(plan(0, 0, 63, 63), 1);
  EXPECT_EQ(rec.next_x, 2);
  EXPECT_EQ(rec.next_y, 2);
  EXPECT_EQ(rec.order_flag, 1);
  EXPECT_EQ(ps->path_length[kPlanningRecord], 61);

  // An obstructed block beside the start forbids the diagonal past it.
  put(*world, 2, 1, coarse, kTileMountain);
  ASSERT_EQ(plan(0, 0, 63, 63), 1);
  EXPECT_FALSE(rec.next_x == 2 && rec.next_y == 2);
  EXPECT_EQ(rec.next_x, 1);
  EXPECT_EQ(rec.next_y, 2);
}

// A one-cell-wide serpentine from (1, 1): corridors on odd rows, gaps at alternating ends.
// Returns the route's cells after the start, in walking order.
std::vector<Cell> build_serpentine(World& w, int32_t level) {
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) put(w, x, y, level, kTileWall);
  std::vector<Cell> route;
  for (int32_t k = 0; k <= 30; ++k) {
    const int32_t y = 1 + 2 * k;
    const bool east = k % 2 == 0;
    for (int32_t i = 0; i < 62; ++i) {
      const int32_t x = east ? 1 + i : 62 - i;
      put(w, x, y, level, kTilePlain);
      route.push_back({x, y});
    }
    if (k < 30) {
      const int32_t gx = east ? 62 : 1;
      put(w, gx, y + 1, level, kTilePlain);
      route.push_back({gx, y + 1});
    }
  }
  route.erase(route.begin());  // the start itself is not part of the path
  return route;
}

TEST_F(PathSearchTest, OverlongRouteKeepsTheThousandCellsNearestTheStart) {
  const std::vector<Cell> route = build_serpentine(*world, kLevel);
  ASSERT_GT(route.size(), 1000u);
  const Cell goal = route.back();
  const int32_t u = 20;
  // Sentinels in the neighbouring unit paths must survive.
  for (int32_t i = 0; i < kUnitPathCapacity; ++i) {
    ps->path_x[size_t(u - 1) * kUnitPathCapacity + i] = -3;
    ps->path_x[size_t(u + 1) * kUnitPathCapacity + i] = -4;
  }
  UnitRecord& r = place(u, 1, 1);
  ASSERT_EQ(next_path_step(*ps, *world, *units, u, goal.x, goal.y, kWindow, 1), 1);
  EXPECT_EQ(ps->result, kFound);
  ASSERT_EQ(ps->path_length[u], 1000);
  EXPECT_EQ(ps->path_cursor[u], 998);
  for (int32_t i = 0; i < 1000; ++i)
    ASSERT_EQ((Cell{path_cell_x(*ps, u, i), path_cell_y(*ps, u, i)}), route[size_t(999 - i)]) << i;
  EXPECT_EQ(ps->path_target_x[u], route[999].x);
  EXPECT_EQ(ps->path_target_y[u], route[999].y);
  for (int32_t i = 0; i < kUnitPathCapacity; ++i) {
    ASSERT_EQ(ps->path_x[size_t(u - 1) * kUnitPathCapacity + i], -3);
    ASSERT_EQ(ps->path_x[size_t(u + 1) * kUnitPathCapacity + i], -4);
  }

  // The leg ends on the farthest kept cell; the next search goes on from there.
  r.x = r.next_x;
  r.y = r.next_y;
  const std::vector<Cell> rest = walk(u, goal.x, goal.y);
  ASSERT_EQ(rest.size(), 999u);
  EXPECT_EQ(rest.back(), route[999]);
  EXPECT_EQ((Cell{r.x, r.y}), route[999]);
  EXPECT_EQ(r.order_flag, 0);
  EXPECT_EQ(ps->path_cursor[u], kNoPath);
  r.order_flag = 1;
  ASSERT_EQ(next_path_step(*ps, *world, *units, u, goal.x, goal.y, kWindow, 1), 1);
  EXPECT_EQ((Cell{r.next_x, r.next_y}), route[1000]);
  EXPECT_EQ(ps->path_length[u], int32_t(route.size()) - 1000);
}

TEST_F(PathSearchTest, LevelsOutsideTheGridFindNothing) {
  fill_level(*world, kLevelCount - 1, kTilePlain);
  UnitRecord& top = place(30, 40, 40, kLevelCount - 1);
  ASSERT_EQ(next_path_step(*ps, *world, *units, 30, 44, 40, kWindow, 1), 1);
  EXPECT_EQ(ps->result, kFound);

  // A unit high up plans on level + 10: no coarse route, and no stale "found" either.
  for (int32_t level : {kLevelCount, kLevelCount + 9, 189, 255, 65535}) {
    UnitRecord& rec = units->records[kPlanningRecord];
    rec = UnitRecord{};
    rec.in_use = 1;
    rec.x = 3;
    rec.y = 3;
    rec.level = uint16_t(level);
    rec.order_flag = 1;
    EXPECT_EQ(coarse_route_step(*ps, *world, *units, kPlanningRecord, 9, 9, 64, 0, 0), 0) << level;
    EXPECT_EQ(rec.order_flag, 0);
    EXPECT_EQ(ps->result, kNotFound);
    run_search(*ps, *world, 4096);
    EXPECT_EQ(ps->result, kNotFound);

    top.level = uint16_t(level);
    top.order_flag = 1;
    ps->path_cursor[30] = kNoPath;
    EXPECT_EQ(next_path_step(*ps, *world, *units, 30, 44, 40, kWindow, 1), 0);
    EXPECT_EQ(top.order_flag, 0);
    EXPECT_EQ(ps->path_length[30], 0);
  }
  setup_centred_search(*ps, *world, 40, 40, 44, 40, -1, kWindow);
  run_search(*ps, *world, 4096);
  EXPECT_EQ(ps->result, kNotFound);
}

TEST_F(PathSearchTest, WindowsAndIndexesThatDoNotFitAreRefused) {
  for (int32_t window : {INT32_MIN, -64, 0, 1, 2, kSide + 1, 100000, INT32_MAX}) {
    setup_centred_search(*ps, *world, 40, 40, 44, 40, kLevel, window);
    run_search(*ps, *world, 4096);
    EXPECT_EQ(ps->result, kNotFound) << window;
    setup_search_at_origin(*ps, *world, 0, 0, 40, 40, 44, 40, kLevel, window);
    run_search(*ps, *world, INT32_MAX);
    EXPECT_EQ(ps->result, kNotFound) << window;
    UnitRecord& r = place(31, 40, 40);
    EXPECT_EQ(next_path_step(*ps, *world, *units, 31, 44, 40, window, 1), 0);
    EXPECT_EQ(r.order_flag, 0);
  }
  // The smallest window has one interior cell: start and target always meet.
  setup_centred_search(*ps, *world, 40, 40, 44, 40, kLevel, 3);
  run_search(*ps, *world, 9);
  EXPECT_EQ(ps->result, kStartIsTarget);

  for (int32_t u : {-1, kUnitTableSize, INT32_MAX}) {
    EXPECT_EQ(next_path_step(*ps, *world, *units, u, 44, 40, kWindow, 1), 0);
    EXPECT_EQ(coarse_route_step(*ps, *world, *units, u, 5, 5, 64, 0, 0), 0);
  }
  // A cursor no stored path can hold is not followed into another unit's cells.
  UnitRecord& r = place(32, 40, 40);
  ps->path_cursor[32] = kUnitPathCapacity + 5;
  const UnitRecord before = r;
  EXPECT_EQ(next_path_step(*ps, *world, *units, 32, 44, 40, kWindow, 1), 0);
  EXPECT_EQ(std::memcmp(&before, &r, sizeof before), 0);
}

// ---- differential: the search against the plain linear-scan reference ----

struct Rand {
  uint64_t s;
  uint64_t next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int32_t in(int32_t lo, int32_t hi) { return lo + int32_t(next() % uint64_t(hi - lo + 1)); }
  bool chance(int32_t percent) { return in(0, 99) < percent; }
};

const uint8_t kBlocking[] = {0, 1, 2, 3, 4, 5, 61};
const uint8_t kOpenGround[] = {10, 11, 18, 60};
const uint8_t kCostly[] = {19, 20, 15};
const uint8_t kOther[] = {6, 9, 12, 13, 14, 16, 17, 21, 22, 23, 24, 68, 70, 82, 100, 128, 180, 184, 200, 255};

template <size_t N>
uint8_t pick(Rand& r, const uint8_t (&codes)[N]) {
  return codes[r.in(0, int32_t(N) - 1)];
}

// Terrain for one scenario on a square of a level: uniform (ties everywhere), scattered
// mixes of every code class, patches, or a maze of blocking walls.
void paint(World& w, Rand& r, int32_t level, int32_t x0, int32_t y0, int32_t size) {
  const int32_t x1 = std::min(x0 + size, w.side), y1 = std::min(y0 + size, w.side);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  const int32_t style = r.in(0, 9);
  const int32_t blocking = r.in(0, 45), costly = r.in(0, 30), other = r.in(0, 40);
  const uint8_t ground = r.chance(70) ? uint8_t(kTilePlain) : pick(r, kOpenGround);
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x) {
      uint8_t c = ground;
      if (style >= 2) {
        const int32_t roll = r.in(0, 99);
        if (roll < blocking) c = pick(r, kBlocking);
        else if (roll < blocking + costly) c = pick(r, kCostly);
        else if (roll < blocking + costly + other) c = pick(r, kOther);
        else c = pick(r, kOpenGround);
      }
      put(w, x, y, level, c);
    }
  if (style == 1) {  // patches on uniform ground
    for (int32_t n = r.in(1, 30); n > 0; --n) {
      const int32_t px = r.in(x0, x1 - 1), py = r.in(y0, y1 - 1);
      const int32_t pw = r.in(1, 12), ph = r.in(1, 12);
      const uint8_t c = r.chance(40) ? pick(r, kBlocking) : r.chance(50) ? pick(r, kCostly) : pick(r, kOther);
      for (int32_t y = py; y < std::min(py + ph, y1); ++y)
        for (int32_t x = px; x < std::min(px + pw, x1); ++x) put(w, x, y, level, c);
    }
  }
  if (style == 9) {  // walls with gaps, corridors that wind
    const bool rows = r.chance(50);
    const int32_t gap_every = r.in(2, 4);
    for (int32_t a = (rows ? y0 : x0) + 2; a < (rows ? y1 : x1); a += gap_every) {
      const int32_t lo = rows ? x0 : y0, hi = rows ? x1 : y1;
      const int32_t gap = r.in(lo, hi - 1);
      for (int32_t b = lo; b < hi; ++b)
        if (b != gap) put(w, rows ? b : a, rows ? a : b, level, pick(r, kBlocking));
    }
  }
}

class Differential {
 public:
  Differential(int32_t side, uint64_t seed) : world(make_world(side)), rng{seed} {
    create_path_search(ps, side);
    oracle_create(oracle, side);
    create_unit_table(units);
    create_unit_table(oracle_units);
  }
  ~Differential() {
    release_path_search(ps);
    release_unit_table(units);
    release_unit_table(oracle_units);
  }

  PathSearchState state() const { return path_search_state(ps); }
  // Everything a search leaves behind, compared with the reference.
  void compare_search(const char* what, int32_t n) {
    SCOPED_TRACE(::testing::Message() << what << " #" << n);
    ASSERT_EQ(ps.result, oracle.result);
    ASSERT_EQ(state().ready, oracle.ready);
    ASSERT_EQ(state().goal, oracle.goal);
    ASSERT_EQ(state().current, oracle.current);
    ASSERT_EQ(state().last, oracle.last);
    ASSERT_EQ(state().first_open, oracle.first_open);
    ASSERT_EQ(state().best_node, oracle.best_node);
    ASSERT_EQ(state().best_cost, oracle.best_cost);
    ASSERT_EQ(state().start_x, oracle.start_x);
    ASSERT_EQ(state().start_y, oracle.start_y);
    ASSERT_EQ(state().target_x, oracle.target_x);
    ASSERT_EQ(state().target_y, oracle.target_y);
    ASSERT_EQ(state().origin_x, oracle.origin_x);
    ASSERT_EQ(state().origin_y, oracle.origin_y);
    ASSERT_EQ(ps.first_step_x, oracle.first_step_x);
    ASSERT_EQ(ps.first_step_y, oracle.first_step_y);
    const size_t n_cmp = std::min<size_t>(size_t(widest) * size_t(widest), size_t(state().node_capacity));
    ASSERT_EQ(std::memcmp(state().node_x, oracle.node_x.data(), n_cmp * 2), 0);
    ASSERT_EQ(std::memcmp(state().node_y, oracle.node_y.data(), n_cmp * 2), 0);
    ASSERT_EQ(std::memcmp(state().node_parent, oracle.node_parent.data(), n_cmp * 4), 0);
    ASSERT_EQ(std::memcmp(state().node_state, oracle.node_state.data(), n_cmp), 0);
    ASSERT_EQ(std::memcmp(state().node_cost, oracle.node_cost.data(), n_cmp * 4), 0);
    ASSERT_EQ(std::memcmp(state().window_map, oracle.window_map.data(), n_cmp), 0);
  }
  void compare_unit(int32_t u) {
    SCOPED_TRACE(::testing::Message() << "unit " << u);
    ASSERT_EQ(ps.path_length[u], oracle.path_length[u]);
    ASSERT_EQ(ps.path_cursor[u], oracle.path_cursor[u]);
    ASSERT_EQ(ps.path_target_x[u], oracle.path_target_x[u]);
    ASSERT_EQ(ps.path_target_y[u], oracle.path_target_y[u]);
    const size_t row = size_t(u) * kUnitPathCapacity;
    ASSERT_EQ(std::memcmp(&ps.path_x[row], &oracle.path_x[row], kUnitPathCapacity * 4), 0);
    ASSERT_EQ(std::memcmp(&ps.path_y[row], &oracle.path_y[row], kUnitPathCapacity * 4), 0);
    const UnitRecord& a = units.records[u];
    const UnitRecord& b = oracle_units.records[u];
    ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0);
  }

  int32_t pick_window() {
    if (widest > kWindow && rng.chance(60)) return rng.in(kWindow + 1, std::min(widest, world.side));
    if (rng.chance(75)) return std::min(kWindow, world.side);
    return rng.in(3, std::min(kWindow, world.side));
  }
  int32_t pick_budget(int32_t window) {
    switch (rng.in(0, 7)) {
      case 0: return 0;
      case 1: return rng.in(1, 3);
      case 2: return rng.in(1, 40);
      case 3: return rng.in(1, 600);
      case 4: return std::min(INT32_MAX, budget_cap);
      case 5: return -rng.in(1, 5);
      default: return std::min(window * window, budget_cap);
    }
  }
  int32_t pick_coord(int32_t around, int32_t spread) {
    if (rng.chance(5)) return rng.in(-100, world.side + 100);  // off the grid
    return around + rng.in(-spread, spread);
  }
  int32_t pick_level() {
    const int32_t levels[] = {0, 1, 2, 11, kLevelCount - 1};
    return levels[rng.in(0, 4)];
  }

  // Bare set-ups and runs, sometimes continued with a second budget.
  void searches(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const int32_t level = pick_level();
      const int32_t window = pick_window();
      const int32_t cx = rng.in(0, world.side - 1), cy = rng.in(0, world.side - 1);
      paint(world, rng, level, cx - 40, cy - 40, 81);
      for (int32_t k = 0; k < 3; ++k) {  // three searches per painted scenario
        const int32_t sx = pick_coord(cx, 20), sy = pick_coord(cy, 20);
        const int32_t tx = pick_coord(sx, 40), ty = pick_coord(sy, 40);
        if (rng.chance(50)) {
          setup_centred_search(ps, world, sx, sy, tx, ty, level, window);
          oracle_setup_centred(oracle, sx, sy, tx, ty, level, window);
        } else {
          const int32_t ox = pick_coord(cx - window / 2, 30), oy = pick_coord(cy - window / 2, 30);
          setup_search_at_origin(ps, world, ox, oy, sx, sy, tx, ty, level, window);
          oracle_setup_at_origin(oracle, ox, oy, sx, sy, tx, ty, level, window);
        }
        for (int32_t runs = rng.chance(30) ? 3 : 1; runs > 0; --runs) {
          const int32_t budget = pick_budget(window);
          run_search(ps, world, budget);
          oracle_run(oracle, world, budget);
          compare_search("search", n);
          if (::testing::Test::HasFatalFailure()) return;
        }
        if (ps.result == kFound) {
          const int32_t u = rng.in(0, kUnitTableSize - 1);
          store_unit_path(ps, u);
          oracle_store(oracle, u);
          compare_search("store", n);
          compare_unit(u);
          if (::testing::Test::HasFatalFailure()) return;
        }
        ++searched;
      }
    }
  }

  // Units walking to targets the way the movement tick asks for steps.
  void walks(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const int32_t level = pick_level();
      const int32_t window = rng.chance(85) ? std::min(kWindow, world.side) : rng.in(3, std::min(kWindow, world.side));
      const int32_t u = rng.in(0, kUnitTableSize - 1);
      const int32_t x = rng.in(0, world.side - 1), y = rng.in(0, world.side - 1);
      paint(world, rng, level, x - 40, y - 40, 81);
      for (UnitTable* t : {&units, &oracle_units}) {
        UnitRecord& rec = t->records[u];
        rec.x = uint16_t(x);
        rec.y = uint16_t(y);
        rec.level = uint16_t(level);
        rec.order_flag = 1;
      }
      const int32_t tx = pick_coord(x, 45), ty = pick_coord(y, 45);
      const int32_t advance = rng.chance(80) ? 1 : 0;
      for (int32_t calls = 0; calls < 2100; ++calls) {
        const int32_t a = next_path_step(ps, world, units, u, tx, ty, window, advance);
        const int32_t b = oracle_next_path_step(oracle, world, oracle_units, u, tx, ty, window, advance);
        ASSERT_EQ(a, b) << "walk " << n << " call " << calls;
        if (calls == 0) {
          compare_search("walk", n);
          ++searched;
        }
        compare_unit(u);
        if (::testing::Test::HasFatalFailure()) return;
        if (a == 0) break;
        for (UnitTable* t : {&units, &oracle_units}) {
          t->records[u].x = t->records[u].next_x;
          t->records[u].y = t->records[u].next_y;
        }
      }
      // One more call on a used-up or cleared path: nothing, or a fresh search.
      const int32_t a = next_path_step(ps, world, units, u, tx, ty, window, advance);
      const int32_t b = oracle_next_path_step(oracle, world, oracle_units, u, tx, ty, window, advance);
      ASSERT_EQ(a, b);
      compare_unit(u);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }

  // The planning record on the coarse map of levels 0..2.
  void coarse_routes(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const int32_t level = kCoarseLevelBase + rng.in(0, 2);
      if (n % 4 == 0) paint(world, rng, level, 0, 0, 64);
      const int32_t bx = rng.in(-2, 66), by = rng.in(-2, 66);
      const int32_t tx = rng.chance(20) ? bx + rng.in(-1, 1) : rng.in(-2, 66);
      const int32_t ty = rng.chance(20) ? by + rng.in(-1, 1) : rng.in(-2, 66);
      const int32_t ox = rng.chance(80) ? 0 : rng.in(-10, 80), oy = rng.chance(80) ? 0 : rng.in(-10, 80);
      for (UnitTable* t : {&units, &oracle_units}) {
        UnitRecord& rec = t->records[kPlanningRecord];
        rec.in_use = 1;
        rec.x = uint16_t(std::max(bx, 0));
        rec.y = uint16_t(std::max(by, 0));
        rec.level = uint16_t(level);
        rec.order_flag = 1;
      }
      const int32_t window = rng.chance(90) ? 64 : rng.in(3, 64);
      const int32_t a = coarse_route_step(ps, world, units, kPlanningRecord, tx, ty, window, ox, oy);
      const int32_t b = oracle_coarse_route_step(oracle, world, oracle_units, kPlanningRecord, tx, ty, window, ox, oy);
      ASSERT_EQ(a, b) << "route " << n;
      compare_search("coarse", n);
      compare_unit(kPlanningRecord);
      if (::testing::Test::HasFatalFailure()) return;
      ++searched;
    }
  }

  // Winding one-cell corridors whose routes outgrow a unit path.
  void long_routes(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const std::vector<Cell> route = build_serpentine(world, kLevel);
      for (int32_t y = 1; y < 63; ++y)  // vary the price of the corridor cells
        for (int32_t x = 1; x < 63; ++x)
          if (tile_enterable(world.grid[cell_index(world, x, y, kLevel)]) && rng.chance(30))
            put(world, x, y, kLevel, rng.chance(50) ? pick(rng, kCostly) : pick(rng, kOpenGround));
      const int32_t u = rng.in(1, kUnitTableSize - 2);
      // starts whose centred window still covers the whole maze
      const Cell from = rng.chance(50) ? Cell{1, 1} : route[size_t(rng.in(0, 30))];
      ps.path_cursor[u] = oracle.path_cursor[u] = kNoPath;
      for (UnitTable* t : {&units, &oracle_units}) {
        t->records[u].x = uint16_t(from.x);
        t->records[u].y = uint16_t(from.y);
        t->records[u].level = uint16_t(kLevel);
        t->records[u].order_flag = 1;
      }
      const Cell to = route[size_t(rng.in(1200, int32_t(route.size()) - 1))];
      const int32_t a = next_path_step(ps, world, units, u, to.x, to.y, kWindow, 1);
      const int32_t b = oracle_next_path_step(oracle, world, oracle_units, u, to.x, to.y, kWindow, 1);
      ASSERT_EQ(a, b);
      ASSERT_EQ(a, 1);
      ASSERT_EQ(ps.path_length[u], kUnitPathCapacity);
      compare_search("long", n);
      compare_unit(u);
      if (::testing::Test::HasFatalFailure()) return;
      ++searched;
    }
  }

  // A search run in two parts with the terrain prices changed in between.
  void resumed_with_new_prices(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const int32_t level = pick_level();
      const int32_t cx = rng.in(0, world.side - 1), cy = rng.in(0, world.side - 1);
      paint(world, rng, level, cx - 40, cy - 40, 81);
      const int32_t tx = pick_coord(cx, 40), ty = pick_coord(cy, 40);
      setup_centred_search(ps, world, cx, cy, tx, ty, level, kWindow);
      oracle_setup_centred(oracle, cx, cy, tx, ty, level, kWindow);
      const int32_t first = rng.in(1, 300);
      run_search(ps, world, first);
      oracle_run(oracle, world, first);
      compare_search("first part", n);
      if (::testing::Test::HasFatalFailure()) return;
      const float saved = world.cost[kTilePlain];
      world.cost[kTilePlain] = rng.chance(50) ? 0.5f : 40.0f;
      run_search(ps, world, kWindow * kWindow);
      oracle_run(oracle, world, kWindow * kWindow);
      world.cost[kTilePlain] = saved;
      compare_search("second part", n);
      if (::testing::Test::HasFatalFailure()) return;
      ++searched;
    }
  }

  World world;
  Rand rng;
  PathSearch ps;
  OracleSearch oracle;
  UnitTable units, oracle_units;
  int32_t searched = 0;
  int32_t widest = kWindow;         // widest window a search may get; the node entries compared
  int32_t budget_cap = INT32_MAX;   // keeps the reference's searches in wide windows short
};

// Together the tests below compare more than 11,000 searches.
TEST(PathSearchDifferential, SearchesOnSmallWorldsMatchTheLinearScan) {
  // On a 64-wide world no node may cost more than 2 x 64 x 64, a limit that mountains
  // reach: the rule for "nothing cheaper than the limit" gets exercised too.
  for (int32_t side : {64, 96, 128}) {
    Differential d(side, 1000 + uint64_t(side));
    d.searches(600);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 1800);
  }
}

TEST(PathSearchDifferential, UnitWalksMatchTheLinearScan) {
  for (int32_t side : {64, 128}) {
    Differential d(side, 2000 + uint64_t(side));
    d.walks(1300);
    if (HasFatalFailure()) return;
    d.long_routes(15);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 1315);
  }
}

TEST(PathSearchDifferential, CoarseRoutesMatchTheLinearScan) {
  Differential d(kSide, 3000);
  d.coarse_routes(1500);
  EXPECT_EQ(d.searched, 1500);
}

// Windows wider than 64 cells, which the game never asks for, keep a byte per cell.
TEST(PathSearchDifferential, WindowsWiderThanTheGamesMatchTheLinearScan) {
  Differential d(160, 5000);
  d.widest = 160;
  d.budget_cap = 2500;
  d.searches(30);
  EXPECT_EQ(d.searched, 90);
}

// Prices the game's table never has. A negative or NaN price, or a table changed in the
// middle of a search, breaks the order the open nodes are kept in; 256 distinct prices
// fill every lane; infinite and zero prices are legal floats too.
TEST(PathSearchDifferential, UnusualTerrainPricesMatchTheLinearScan) {
  const std::vector<std::pair<const char*, void (*)(World&)>> tables = {
      {"negative", [](World& w) { w.cost[kTilePlain] = -2.5f; }},
      {"nan", [](World& w) { w.cost[kTileForest] = std::numeric_limits<float>::quiet_NaN(); }},
      {"infinite", [](World& w) { w.cost[kTileHills] = std::numeric_limits<float>::infinity(); }},
      {"zero", [](World& w) { std::fill(std::begin(w.cost), std::end(w.cost), 0.0f); }},
      {"all distinct",
       [](World& w) {
         for (int32_t c = 0; c < 256; ++c) w.cost[c] = 1.0f + float(c) * 0.37f;
       }},
  };
  uint64_t seed = 6000;
  for (const auto& [name, set_prices] : tables) {
    SCOPED_TRACE(name);
    Differential d(96, ++seed);
    set_prices(d.world);
    d.searches(60);
    if (HasFatalFailure()) return;
    d.walks(40);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 220);
  }
  Differential d(96, ++seed);
  d.resumed_with_new_prices(150);
  EXPECT_EQ(d.searched, 150);
}

TEST(PathSearchDifferential, SearchesOnTheFullSizeWorldMatchTheLinearScan) {
  Differential d(kWorldSide, 4000);
  d.searches(150);
  if (HasFatalFailure()) return;
  d.walks(200);
  if (HasFatalFailure()) return;
  d.coarse_routes(100);
  EXPECT_EQ(d.searched, 750);
}

}  // namespace
