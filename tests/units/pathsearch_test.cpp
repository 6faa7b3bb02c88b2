// The path search against the plain linear-scan reference (pathsearch_oracle.h): node
// store, route, first step and result code alike, on random worlds; and what the
// reference cannot be asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "pathsearch_oracle.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "units/pathsearch_internal.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kSide = 128;  // small worlds keep each test quick; the rules do not depend on it
constexpr int32_t kLevel = 1;
constexpr int32_t kWindow = 64;

struct Cell {
  int32_t x, y;
};

// A unit (or the planning record) ordered to move.
void place(UnitTable& t, int32_t u, int32_t x, int32_t y, int32_t level) {
  UnitRecord& r = t.records[u];
  r.in_use = r.order_flag = 1;
  r.x = uint16_t(x), r.y = uint16_t(y), r.level = uint16_t(level);
}

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
const uint8_t kOther[] = {6,  9,  12, 13, 14,  16,  17,  21,  22,  23,
                          24, 68, 70, 82, 100, 128, 180, 184, 200, 255};

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
      set_cell(w, x, y, level, c);
    }
  if (style == 1) {  // patches on uniform ground
    for (int32_t n = r.in(1, 30); n > 0; --n) {
      const int32_t px = r.in(x0, x1 - 1), py = r.in(y0, y1 - 1);
      const int32_t pw = r.in(1, 12), ph = r.in(1, 12);
      const uint8_t c = r.chance(40)   ? pick(r, kBlocking)
                        : r.chance(50) ? pick(r, kCostly)
                                       : pick(r, kOther);
      for (int32_t y = py; y < std::min(py + ph, y1); ++y)
        for (int32_t x = px; x < std::min(px + pw, x1); ++x) set_cell(w, x, y, level, c);
    }
  }
  if (style == 9) {  // walls with gaps, corridors that wind
    const bool rows = r.chance(50);
    const int32_t gap_every = r.in(2, 4);
    for (int32_t a = (rows ? y0 : x0) + 2; a < (rows ? y1 : x1); a += gap_every) {
      const int32_t lo = rows ? x0 : y0, hi = rows ? x1 : y1;
      const int32_t gap = r.in(lo, hi - 1);
      for (int32_t b = lo; b < hi; ++b)
        if (b != gap) set_cell(w, rows ? b : a, rows ? a : b, level, pick(r, kBlocking));
    }
  }
}

// A one-cell-wide serpentine from (1, 1): corridors on odd rows, gaps at alternating ends.
// Returns the route's cells after the start, in walking order.
std::vector<Cell> build_serpentine(World& w, int32_t level) {
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) set_cell(w, x, y, level, kTileWall);
  std::vector<Cell> route;
  for (int32_t k = 0; k <= 30; ++k) {
    const int32_t y = 1 + 2 * k;
    const bool east = k % 2 == 0;
    for (int32_t i = 0; i < 62; ++i) {
      const int32_t x = east ? 1 + i : 62 - i;
      set_cell(w, x, y, level, kTilePlain);
      route.push_back({x, y});
    }
    if (k < 30) {
      const int32_t gx = east ? 62 : 1;
      set_cell(w, gx, y + 1, level, kTilePlain);
      route.push_back({gx, y + 1});
    }
  }
  route.erase(route.begin());  // the start itself is not part of the path
  return route;
}

// The search and the reference on one world, each with its own unit table.
class Differential {
 public:
  Differential(int32_t side, uint64_t seed) : rng{seed} {
    set_world_side(world, side);
    create_world_grid(world);
    fill_terrain_costs(world);
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

  // Everything a search leaves behind, compared with the reference.
  void compare_search(const char* what, int32_t n) {
    SCOPED_TRACE(::testing::Message() << what << " #" << n);
    const PathSearchWork& s = *ps.work;
    const OracleSearch& o = oracle;
    ASSERT_EQ(std::tuple(ps.result, s.ready, s.goal, s.current, s.last, s.first_open, s.best_node),
              std::tuple(o.result, o.ready, o.goal, o.current, o.last, o.first_open, o.best_node));
    ASSERT_EQ(s.best_cost, o.best_cost);
    ASSERT_EQ(std::tuple(s.at.start_x, s.at.start_y, s.at.target_x, s.at.target_y, s.at.origin_x,
                         s.at.origin_y),
              std::tuple(o.start_x, o.start_y, o.target_x, o.target_y, o.origin_x, o.origin_y));
    ASSERT_EQ(std::tuple(ps.first_step_x, ps.first_step_y),
              std::tuple(o.first_step_x, o.first_step_y));
    const size_t n_cmp = std::min<size_t>(size_t(widest) * size_t(widest), size_t(s.node_capacity));
    const std::tuple<const char*, const void*, const void*, size_t> arrays[] = {
        {"node_x", s.node_x.get(), o.node_x.data(), 2},
        {"node_y", s.node_y.get(), o.node_y.data(), 2},
        {"node_parent", s.node_parent.get(), o.node_parent.data(), 4},
        {"node_state", s.node_state.get(), o.node_state.data(), 1},
        {"node_cost", s.node_cost.get(), o.node_cost.data(), 4},
        {"window_map", s.window_map.get(), o.window_map.data(), 1}};
    for (const auto& [name, a, b, size] : arrays)
      ASSERT_EQ(std::memcmp(a, b, n_cmp * size), 0) << name;
  }
  void compare_unit(int32_t u) {
    SCOPED_TRACE(::testing::Message() << "unit " << u);
    ASSERT_EQ(
        std::tuple(ps.path_length[u], ps.path_cursor[u], ps.path_target_x[u], ps.path_target_y[u]),
        std::tuple(oracle.path_length[u], oracle.path_cursor[u], oracle.path_target_x[u],
                   oracle.path_target_y[u]));
    const size_t row = size_t(u) * kUnitPathCapacity;
    ASSERT_EQ(std::memcmp(&ps.path_x[row], &oracle.path_x[row], kUnitPathCapacity * 4), 0);
    ASSERT_EQ(std::memcmp(&ps.path_y[row], &oracle.path_y[row], kUnitPathCapacity * 4), 0);
    ASSERT_EQ(std::memcmp(&units.records[u], &oracle_units.records[u], sizeof(UnitRecord)), 0);
  }
  void place_both(int32_t u, int32_t x, int32_t y, int32_t level) {
    for (UnitTable* t : {&units, &oracle_units}) place(*t, u, x, y, level);
  }

  int32_t pick_window() {
    if (widest > kWindow && rng.chance(60))
      return rng.in(kWindow + 1, std::min(widest, world.side));
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

  // Bare set-ups and runs, sometimes continued with a second budget, some with the
  // terrain prices changed in between.
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
          setup_search(ps, world, true, 0, 0, sx, sy, tx, ty, level, window);
          oracle_setup_centred(oracle, sx, sy, tx, ty, level, window);
        } else {
          const int32_t ox = pick_coord(cx - window / 2, 30), oy = pick_coord(cy - window / 2, 30);
          setup_search(ps, world, false, ox, oy, sx, sy, tx, ty, level, window);
          oracle_setup_at_origin(oracle, ox, oy, sx, sy, tx, ty, level, window);
        }
        const float saved = world.cost[kTilePlain];
        for (int32_t runs = rng.chance(30) || new_prices > 0 ? 3 : 1; runs > 0; --runs) {
          const int32_t budget = pick_budget(window);
          run_search(ps, world, budget);
          oracle_run(oracle, world, budget);
          compare_search("search", n);
          if (::testing::Test::HasFatalFailure()) return;
          if (new_prices > 0 && rng.chance(new_prices))
            world.cost[kTilePlain] = rng.chance(50) ? 0.5f : 40.0f;
        }
        world.cost[kTilePlain] = saved;
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
      const int32_t window =
          rng.chance(85) ? std::min(kWindow, world.side) : rng.in(3, std::min(kWindow, world.side));
      const int32_t u = rng.in(0, kUnitTableSize - 1);
      const int32_t x = rng.in(0, world.side - 1), y = rng.in(0, world.side - 1);
      paint(world, rng, level, x - 40, y - 40, 81);
      place_both(u, x, y, level);
      const int32_t tx = pick_coord(x, 45), ty = pick_coord(y, 45);
      const int32_t advance = rng.chance(80) ? 1 : 0;
      // up to the used-up or cleared path, and one call more: nothing, or a fresh search
      bool ended = false;
      for (int32_t calls = 0; calls <= 2100; ++calls) {
        const int32_t a = next_path_step(ps, world, units, u, tx, ty, window, advance);
        const int32_t b =
            oracle_next_path_step(oracle, world, oracle_units, u, tx, ty, window, advance);
        ASSERT_EQ(a, b) << "walk " << n << " call " << calls;
        if (calls == 0) {
          compare_search("walk", n);
          ++searched;
        }
        compare_unit(u);
        if (::testing::Test::HasFatalFailure()) return;
        if (ended) break;
        ended = a == 0;
        if (ended) continue;
        for (UnitTable* t : {&units, &oracle_units}) {
          t->records[u].x = t->records[u].next_x;
          t->records[u].y = t->records[u].next_y;
        }
      }
    }
  }

  // Winding one-cell corridors whose routes outgrow a unit path: the 1000 cells nearest
  // the start are kept, and the leg ends on the last of them.
  void long_routes(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const std::vector<Cell> route = build_serpentine(world, kLevel);
      for (int32_t y = 1; y < 63; ++y)  // vary the price of the corridor cells
        for (int32_t x = 1; x < 63; ++x)
          if (tile_enterable(world.grid[cell_index(world, x, y, kLevel)]) && rng.chance(30))
            set_cell(world, x, y, kLevel,
                     rng.chance(50) ? pick(rng, kCostly) : pick(rng, kOpenGround));
      const int32_t u = rng.in(1, kUnitTableSize - 2);
      // starts whose centred window still covers the whole maze
      const Cell from = rng.chance(50) ? Cell{1, 1} : route[size_t(rng.in(0, 30))];
      ps.path_cursor[u] = oracle.path_cursor[u] = kNoPath;
      place_both(u, from.x, from.y, kLevel);
      const Cell to = route[size_t(rng.in(1200, int32_t(route.size()) - 1))];
      const int32_t a = next_path_step(ps, world, units, u, to.x, to.y, kWindow, 1);
      const int32_t b =
          oracle_next_path_step(oracle, world, oracle_units, u, to.x, to.y, kWindow, 1);
      ASSERT_EQ(std::tuple(a, b, ps.path_length[u]), std::tuple(1, 1, kUnitPathCapacity));
      compare_search("long", n);
      compare_unit(u);
      for (int32_t u2 : {u - 1, u + 1}) compare_unit(u2);  // the rows beside are untouched
      if (::testing::Test::HasFatalFailure()) return;
      ++searched;
    }
  }

  World world;
  PathSearch ps;
  OracleSearch oracle;
  UnitTable units, oracle_units;
  Rand rng;
  int32_t searched = 0;
  int32_t widest = kWindow;        // widest window a search may get; the node entries compared
  int32_t budget_cap = INT32_MAX;  // keeps the reference's searches in wide windows short
  int32_t new_prices = 0;          // percent of runs after which the plain ground's price changes
};

// What the reference cannot be asked: set-ups that would read outside the grid or the
// node store, and unit indexes or cursors outside the tables. Nothing is searched.
TEST(PathSearch, WhatDoesNotFitIsRefused) {
  Differential rig(kSide, 0);
  std::memset(&rig.world.grid[cell_index(rig.world, 0, 0, kLevel)], kTilePlain,
              size_t(rig.world.stride));
  PathSearch& ps = rig.ps;
  const World& w = rig.world;
  const struct {
    int32_t level, window;
  } refused[] = {{-1, kWindow},
                 {kLevelCount, kWindow},
                 {kLevelCount + 9, kWindow},
                 {255, kWindow},
                 {65535, kWindow},
                 {kLevel, INT32_MIN},
                 {kLevel, -64},
                 {kLevel, 0},
                 {kLevel, 1},
                 {kLevel, 2},
                 {kLevel, kSide + 1},
                 {kLevel, 100000},
                 {kLevel, INT32_MAX}};
  for (const auto& c : refused) {
    SCOPED_TRACE(::testing::Message() << "level " << c.level << " window " << c.window);
    // a search that was found before must not be reported again
    setup_search(ps, w, true, 0, 0, 40, 40, 44, 40, kLevel, kWindow);
    run_search(ps, w, 4096);
    ASSERT_EQ(ps.result, kFound);
    setup_search(ps, w, true, 0, 0, 40, 40, 44, 40, c.level, c.window);
    EXPECT_EQ(ps.result, kNotFound);
    run_search(ps, w, 4096);
    EXPECT_EQ(ps.result, kNotFound);
    setup_search(ps, w, false, 0, 0, 40, 40, 44, 40, c.level, c.window);
    run_search(ps, w, INT32_MAX);
    EXPECT_EQ(ps.result, kNotFound);
    place(rig.units, 31, 40, 40, c.level);
    EXPECT_EQ(next_path_step(ps, w, rig.units, 31, 44, 40, c.window, 1), 0);
    EXPECT_EQ(std::tuple(rig.units.records[31].order_flag, ps.path_length[31]), std::tuple(0, 0));
    place(rig.units, kPlanningRecord, 3, 3, c.level);
    EXPECT_EQ(coarse_route_step(ps, w, rig.units, kPlanningRecord, 9, 9, c.window, 0, 0), 0);
    EXPECT_EQ(rig.units.records[kPlanningRecord].order_flag, 0);
  }
  // The smallest window has one interior cell: start and target always meet.
  setup_search(ps, w, true, 0, 0, 40, 40, 44, 40, kLevel, 3);
  run_search(ps, w, 9);
  EXPECT_EQ(ps.result, kStartIsTarget);

  for (int32_t u : {-1, kUnitTableSize, INT32_MAX}) {
    EXPECT_EQ(next_path_step(ps, w, rig.units, u, 44, 40, kWindow, 1), 0);
    EXPECT_EQ(coarse_route_step(ps, w, rig.units, u, 5, 5, 64, 0, 0), 0);
  }
  // A cursor no stored path can hold is not followed into another unit's cells.
  place(rig.units, 32, 40, 40, kLevel);
  const UnitRecord& r = rig.units.records[32];
  ps.path_cursor[32] = kUnitPathCapacity + 5;
  const UnitRecord before = r;
  EXPECT_EQ(next_path_step(ps, w, rig.units, 32, 44, 40, kWindow, 1), 0);
  EXPECT_EQ(std::memcmp(&before, &r, sizeof before), 0);
}

// Together the tests below compare more than 10,000 single searches.
TEST(PathSearchDifferential, SearchesMatchTheLinearScan) {
  // On a 64-wide world no node may cost more than 2 x 64 x 64, a limit that mountains
  // reach: the rule for "nothing cheaper than the limit" gets exercised too. Windows
  // wider than 64 cells, which the game never asks for, are searched by the plain scan.
  const struct {
    int32_t side, searches, widest, budget_cap;
  } cases[] = {{64, 600, kWindow, INT32_MAX},
               {96, 600, kWindow, INT32_MAX},
               {128, 600, kWindow, INT32_MAX},
               {160, 30, 160, 2500},
               {kWorldSide, 150, kWindow, INT32_MAX}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "side " << c.side);
    Differential d(c.side, 1000 + uint64_t(c.side));
    d.widest = c.widest;
    d.budget_cap = c.budget_cap;
    d.searches(c.searches);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 3 * c.searches);
  }
}

TEST(PathSearchDifferential, UnitWalksMatchTheLinearScan) {
  for (int32_t side : {64, 128, kWorldSide}) {
    Differential d(side, 2000 + uint64_t(side));
    d.walks(side == kWorldSide ? 200 : 1300);
    if (HasFatalFailure()) return;
    d.long_routes(15);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, side == kWorldSide ? 215 : 1315);
  }
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
      {"changed between runs", [](World&) {}},
  };
  uint64_t seed = 6000;
  for (const auto& [name, set_prices] : tables) {
    SCOPED_TRACE(name);
    Differential d(96, ++seed);
    set_prices(d.world);
    d.new_prices = std::strcmp(name, "changed between runs") == 0 ? 100 : 0;
    d.searches(60);
    if (HasFatalFailure()) return;
    d.walks(40);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 220);
  }
}

// Whole games, the game's side with kept search trees and searching ahead, the other side
// the reference's searches: orders by right click, by 'A' and by wandering, console edits
// of units' own levels and of the coarse maps, unit 1 teleported onto the coarse maps and
// near the top level. After every tick the unit tables, the routes and the random draws
// must agree.
class GameDifferential {
 public:
  explicit GameDifferential(uint64_t seed, int32_t trees) : rng{seed} {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    fill_terrain_costs(world);
    for (int32_t level = 0; level < 3; ++level)
      for (int32_t y = 0; y < kWorldSide; y += 64)
        for (int32_t x = 0; x < kWorldSide; x += 64) paint(world, rng, level, x, y, 64);
    for (int32_t level = kCoarseLevelBase; level < kCoarseLevelBase + 3; ++level)
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
          set_cell(world, x, y, level, rng.chance(75) ? kTilePlain : kTileMountain);
    create_path_search(ps, kWorldSide);
    create_kept_trees(ps, trees);
    create_path_search(cursors, kWorldSide);
    oracle_create(oracle, kWorldSide);
    create_unit_table(units);
    create_unit_table(oracle_units);
    for (int32_t u = 1; u <= kUnits; ++u) {
      place_both(u, rng.in(1, kWorldSide - 2), rng.in(1, kWorldSide - 2), u == 1 ? 1 : u % 3);
      for (UnitTable* t : {&units, &oracle_units}) t->records[u].order_flag = 0;
    }
    rng_seed(game_rng, uint32_t(seed));
    oracle_rng = game_rng;
  }
  ~GameDifferential() {
    release_path_search(ps);
    release_unit_table(units);
    release_unit_table(oracle_units);
  }

  void place_both(int32_t u, int32_t x, int32_t y, int32_t level) {
    for (UnitTable* t : {&units, &oracle_units}) place(*t, u, x, y, level);
  }

  // What the console writes, near a unit on its own level or on its level's coarse map.
  void edit() {
    const UnitRecord& u = units.records[rng.chance(30) ? 1 : rng.in(1, kUnits)];
    const uint8_t codes[] = {1, 2, 3, kTilePlain, kTileMountain, kTileWall, kTileForest};
    if (rng.chance(40) && u.level < 3) {
      set_cell(world, std::clamp(u.x / 16 + rng.in(-3, 3), 0, 63),
               std::clamp(u.y / 16 + rng.in(-3, 3), 0, 63), kCoarseLevelBase + u.level,
               rng.chance(50) ? uint8_t(kTilePlain) : pick(rng, codes));
    } else if (u.level < kLevelCount) {
      set_cell(world, std::clamp(u.x + rng.in(-12, 12), 0, kWorldSide - 1),
               std::clamp(u.y + rng.in(-12, 12), 0, kWorldSide - 1), u.level, pick(rng, codes));
    }
  }

  void play(int32_t frames, int32_t divisor, int64_t ahead_budget) {
    for (int32_t f = 0; f < frames; ++f) {
      if (rng.chance(20)) edit();
      if (rng.chance(2)) {  // teleport, as the console does it
        const int32_t levels[] = {1, 2, 10, 11, 12, 171};
        place_both(1, rng.in(1, kWorldSide - 2), rng.in(1, 62), levels[rng.in(0, 5)]);
      }
      if (rng.chance(3)) {  // a right click
        const int32_t u = rng.in(0, kUnits + 3), x = rng.in(0, 1023), y = rng.in(0, 1023);
        order_both([&](UnitTable& t, PathSearch& p, Rng&) { give_order(t, p, u, x, y); });
      }
      if (f % divisor == 0) {
        movement_tick(world, units, ps, game_rng);
        oracle_movement_tick(oracle, world, oracle_units, oracle_rng);
        compare(f);
        if (::testing::Test::HasFatalFailure()) return;
      }
      if (rng.chance(3))
        order_both(
            [&](UnitTable& t, PathSearch& p, Rng& r) { order_unit1_random(world, t, p, r); });
      if (f % 100 == 0)
        order_both([&](UnitTable& t, PathSearch& p, Rng& r) { wander_orders(world, t, p, r); });
      if (f % divisor != 0)
        ahead_rounds += search_ahead(ps, world, units, ahead_budget, divisor - f % divisor);
    }
  }

  // The same orders to both sides; the reference's cursors take what the orders set.
  template <class Order>
  void order_both(Order order) {
    order(units, ps, game_rng);
    std::fill_n(&cursors.path_cursor[0], kUnitTableSize, 0);
    order(oracle_units, cursors, oracle_rng);
    for (int32_t u = 0; u < kUnitTableSize; ++u)
      if (cursors.path_cursor[u] == kNoPath) oracle.path_cursor[u] = kNoPath;
  }

  void compare(int32_t frame) {
    SCOPED_TRACE(::testing::Message() << "frame " << frame);
    ASSERT_EQ(std::memcmp(units.records.get(), oracle_units.records.get(),
                          sizeof(UnitRecord) * kUnitTableSize),
              0);
    ASSERT_EQ(rng_next(game_rng), rng_next(oracle_rng));
    for (int32_t u = 0; u < kUnitTableSize; ++u) {
      ASSERT_EQ(std::tuple(ps.path_cursor[u], ps.path_length[u], ps.path_target_x[u],
                           ps.path_target_y[u]),
                std::tuple(oracle.path_cursor[u], oracle.path_length[u], oracle.path_target_x[u],
                           oracle.path_target_y[u]))
          << "unit " << u;
      const size_t row = size_t(u) * kUnitPathCapacity, cells = size_t(ps.path_length[u]);
      ASSERT_EQ(std::memcmp(&ps.path_x[row], &oracle.path_x[row], cells * 4), 0) << "unit " << u;
      ASSERT_EQ(std::memcmp(&ps.path_y[row], &oracle.path_y[row], cells * 4), 0) << "unit " << u;
    }
  }

  static constexpr int32_t kUnits = 24;
  World world;
  PathSearch ps, cursors;
  OracleSearch oracle;
  UnitTable units, oracle_units;
  Rand rng;
  Rng game_rng, oracle_rng;
  int64_t ahead_rounds = 0;
};

TEST(PathSearchDifferential, WholeGamesWithKeptTreesMatchTheLinearScan) {
  const struct {
    const char* what;
    uint64_t seed;
    int32_t divisor, trees, frames;
    int64_t ahead_budget;
  } cases[] = {
      {"searched ahead in full", 1, 10, 640, 700, 250000},
      {"a small budget: ticks search too", 2, 30, 640, 900, 5000},
      {"a pool smaller than a tick needs", 3, 10, 9, 700, 250000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GameDifferential g(c.seed, c.trees);
    g.play(c.frames, c.divisor, c.ahead_budget);
    if (HasFatalFailure()) return;
    EXPECT_GT(g.ahead_rounds, 0);
  }
}

}  // namespace
