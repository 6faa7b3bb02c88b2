// The path search and the movement tick against the plain linear-scan reference
// (pathsearch_oracle.h): node store, route, first step and result alike, on random worlds
// and windows; whole games with kept search trees; and what the reference cannot be asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <tuple>
#include <vector>

#include "pathsearch_oracle.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "units/pathsearch_internal.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kLevel = 1;

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
// mixes of every code class, patches, a maze of blocking walls, or mountains but for one
// row, so that waypoints are drawn many times.
void paint(World& w, Rand& r, int32_t level, int32_t x0, int32_t y0, int32_t size) {
  const int32_t x1 = std::min(x0 + size, w.side), y1 = std::min(y0 + size, w.side);
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  const int32_t style = r.in(0, 10);
  const int32_t blocking = r.in(0, 45), costly = r.in(0, 30), other = r.in(0, 40);
  const uint8_t ground = r.chance(70) ? uint8_t(kTilePlain) : pick(r, kOpenGround);
  const int32_t open_row = r.chance(50) ? r.in(y0, y1 - 1) : -1;
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x) {
      uint8_t c = ground;
      if (style == 10 && y != open_row) c = r.chance(50) ? kTileMountain : kTileMountainHigh;
      if (style >= 2 && style < 10) {
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

// A one-cell-wide serpentine from (1, 1) whose route outgrows a unit path, some cells dearer.
// Returns the route's cells after the start, in walking order.
std::vector<std::pair<int32_t, int32_t>> build_serpentine(World& w, Rand& r) {
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) set_cell(w, x, y, kLevel, kTileWall);
  std::vector<std::pair<int32_t, int32_t>> route;
  auto open = [&](int32_t x, int32_t y) {
    set_cell(w, x, y, kLevel, r.chance(30) ? pick(r, kCostly) : pick(r, kOpenGround));
    route.emplace_back(x, y);
  };
  for (int32_t k = 0; k <= 30; ++k) {
    for (int32_t i = 0; i < 62; ++i) open(k % 2 == 0 ? 1 + i : 62 - i, 1 + 2 * k);
    if (k < 30) open(k % 2 == 0 ? 62 : 1, 2 + 2 * k);
  }
  route.erase(route.begin());
  return route;
}

// A unit's stored path against the reference's, its first `cells` cells.
void compare_path(const PathSearch& ps, const OracleSearch& o, int32_t u, int32_t cells) {
  SCOPED_TRACE(::testing::Message() << "unit " << u);
  ASSERT_EQ(
      std::tuple(ps.path_length[u], ps.path_cursor[u], ps.path_target_x[u], ps.path_target_y[u]),
      std::tuple(o.path_length[u], o.path_cursor[u], o.path_target_x[u], o.path_target_y[u]));
  const size_t row = size_t(u) * kUnitPathCapacity;
  ASSERT_EQ(std::memcmp(&ps.path_x[row], &o.path_x[row], size_t(cells) * 4), 0);
  ASSERT_EQ(std::memcmp(&ps.path_y[row], &o.path_y[row], size_t(cells) * 4), 0);
}

// A unit ordered to move, on both tables of a comparison.
void place(UnitTable& t, int32_t u, int32_t x, int32_t y, int32_t level, uint16_t flag = 1) {
  UnitRecord& r = t.records[u];
  r.in_use = 1, r.order_flag = flag;
  r.x = uint16_t(x), r.y = uint16_t(y), r.level = uint16_t(level);
}

// The search (without kept trees, so the node store is always the last search's) and the
// reference on one world, each with its own unit table.
class Differential {
 public:
  Differential(int32_t side, uint64_t seed) : rng{seed} {
    set_world_side(world, side), create_world_grid(world);
    create_path_search(ps, side), oracle_create(oracle, side);
    create_unit_table(units), create_unit_table(oracle_units);
  }

  // Everything a search leaves behind, compared with the reference.
  void compare_search(const char* what, int32_t n) {
    SCOPED_TRACE(::testing::Message() << what << " #" << n);
    const PathSearchWork& s = *ps.work;
    const OracleSearch& o = oracle;
    ASSERT_EQ(std::tuple(s.result, s.ready, s.goal, s.current, s.last, s.first_open, s.best_node),
              std::tuple(o.result, o.ready, o.goal, o.current, o.last, o.first_open, o.best_node));
    ASSERT_EQ(s.best_cost, o.best_cost);
    ASSERT_EQ(std::tuple(s.at.start_x, s.at.start_y, s.at.target_x, s.at.target_y, s.at.origin_x,
                         s.at.origin_y),
              std::tuple(o.start_x, o.start_y, o.target_x, o.target_y, o.origin_x, o.origin_y));
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
  // A unit's stored path and record; the rows beside it stay untouched.
  void compare_unit(int32_t u) {
    for (int32_t v = std::max(u - 1, 0); v <= std::min(u + 1, kUnitTableSize - 1); ++v) {
      ASSERT_NO_FATAL_FAILURE(compare_path(ps, oracle, v, kUnitPathCapacity));
      ASSERT_EQ(std::memcmp(&units.records[v], &oracle_units.records[v], sizeof(UnitRecord)), 0)
          << "unit " << v;
    }
  }

  int32_t pick_window() {
    if (widest > kSearchWindow && rng.chance(60))
      return rng.in(kSearchWindow + 1, std::min(widest, world.side));
    if (rng.chance(75)) return std::min(kSearchWindow, world.side);
    return rng.in(3, std::min(kSearchWindow, world.side));
  }
  int32_t pick_coord(int32_t around, int32_t spread) {
    return rng.chance(5) ? rng.in(-100, world.side + 100) : around + rng.in(-spread, spread);
  }
  int32_t pick_level() {
    const int32_t levels[] = {0, 1, 2, 11, kLevelCount - 1};
    return levels[rng.in(0, 4)];
  }

  // Single searches, centred or at an origin, three per painted scenario.
  void searches(int32_t count) {
    for (int32_t n = 0; n < count; ++n) {
      const int32_t level = pick_level(), window = pick_window();
      const int32_t cx = rng.in(0, world.side - 1), cy = rng.in(0, world.side - 1);
      paint(world, rng, level, cx - 40, cy - 40, 81);
      for (int32_t k = 0; k < 3; ++k) {
        const int32_t sx = pick_coord(cx, 20), sy = pick_coord(cy, 20);
        const int32_t tx = pick_coord(sx, 40), ty = pick_coord(sy, 40);
        const int32_t u = rng.in(0, kUnitTableSize - 1);
        PathRequest rq{u, sx, sy, level, tx, ty, window, rng.chance(50)};
        rq.origin_x = pick_coord(cx - window / 2, 30);
        rq.origin_y = pick_coord(cy - window / 2, 30);
        const PathResult r = find_path(ps, world, rq);
        if (rq.centred) oracle_setup_centred(oracle, sx, sy, tx, ty, level, window);
        else
          oracle_setup_at_origin(oracle, rq.origin_x, rq.origin_y, sx, sy, tx, ty, level, window);
        oracle_run(oracle, world, window * window);
        ASSERT_NO_FATAL_FAILURE(compare_search("search", n));
        ASSERT_EQ(r.result, oracle.result);
        if (r.result == kFound) {
          oracle_store(oracle, u);
          ASSERT_EQ(std::tuple(r.step_x, r.step_y, r.length),
                    std::tuple(oracle.first_step_x, oracle.first_step_y, oracle.route_cells));
          ASSERT_NO_FATAL_FAILURE(compare_unit(u));
        }
        ++searched;
      }
    }
  }

  // A unit walking to (tx, ty), stepping as the movement tick steps it, up to the end of
  // its path and one call more: nothing, or a fresh search.
  void walk(const char* what, int32_t n, int32_t u, int32_t tx, int32_t ty, int32_t window) {
    SCOPED_TRACE(::testing::Message() << what << " #" << n);
    UnitRecord& r = units.records[u];
    bool ended = false;
    for (int32_t calls = 0; calls <= 2100; ++calls) {
      const PathStep step = next_path_step(ps, world, {u, r.x, r.y, r.level, tx, ty, window});
      if (step.kind != PathStep::kNone) r.next_x = uint16_t(step.x), r.next_y = uint16_t(step.y);
      if (step.kind == PathStep::kLastStep)
        r.x = uint16_t(step.land_x), r.y = uint16_t(step.land_y);
      const int32_t want = oracle_next_path_step(oracle, world, oracle_units, u, tx, ty, window);
      ASSERT_EQ(step.kind == PathStep::kStep, want == 1) << "call " << calls;
      if (calls == 0) {
        compare_search("walk", n);
        first_length = ps.path_length[u];
        ++searched;
      }
      compare_unit(u);
      if (::testing::Test::HasFatalFailure() || ended) return;
      ended = want == 0;
      if (ended) continue;
      for (UnitTable* t : {&units, &oracle_units})
        t->records[u].x = t->records[u].next_x, t->records[u].y = t->records[u].next_y;
    }
  }

  void walks(int32_t count) {
    for (int32_t n = 0; n < count && !::testing::Test::HasFatalFailure(); ++n) {
      const int32_t level = pick_level(), u = rng.in(0, kUnitTableSize - 1);
      const int32_t window = std::min(pick_window(), kSearchWindow);
      const int32_t x = rng.in(0, world.side - 1), y = rng.in(0, world.side - 1);
      paint(world, rng, level, x - 40, y - 40, 81);
      // the reference clears the order flag where the game leaves it to the tick
      for (UnitTable* t : {&units, &oracle_units}) place(*t, u, x, y, level, 0);
      walk("walk", n, u, pick_coord(x, 45), pick_coord(y, 45), window);
    }
  }

  // Winding one-cell corridors whose routes outgrow a unit path: the cells nearest the
  // start are kept, and the leg ends on the last of them.
  void long_routes(int32_t count) {
    for (int32_t n = 0; n < count && !::testing::Test::HasFatalFailure(); ++n) {
      const auto route = build_serpentine(world, rng);
      const int32_t u = rng.in(0, kUnitTableSize - 1);
      // starts whose centred window still covers the whole maze
      const auto from = rng.chance(50) ? std::pair(1, 1) : route[size_t(rng.in(0, 30))];
      ps.path_cursor[u] = oracle.path_cursor[u] = kNoPath;
      for (UnitTable* t : {&units, &oracle_units}) place(*t, u, from.first, from.second, kLevel, 0);
      const auto to = route[size_t(rng.in(1200, int32_t(route.size()) - 1))];
      walk("long", n, u, to.first, to.second, kSearchWindow);
      EXPECT_EQ(first_length, kUnitPathCapacity);
    }
  }

  World world;
  PathSearch ps;
  OracleSearch oracle;
  UnitTable units, oracle_units;
  Rand rng;
  int32_t searched = 0;
  int32_t first_length = 0;        // of the last walk's path
  int32_t widest = kSearchWindow;  // widest window a search may get; the node entries compared
};

// Over 10,000 searches. On a 64-wide world mountains reach the node cost limit (2 x 64 x 64);
// windows wider than the game's, which it never asks for, are searched by the plain scan.
TEST(PathSearchDifferential, SearchesAndWalksMatchTheLinearScan) {
  const struct {
    int32_t side, searches, walks, long_routes, widest;
  } cases[] = {{64, 600, 1300, 15, kSearchWindow},
               {96, 600, 0, 0, kSearchWindow},
               {128, 600, 1300, 15, kSearchWindow},
               {160, 30, 0, 0, 160},
               {kWorldSide, 150, 200, 15, kSearchWindow}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "side " << c.side);
    Differential d(c.side, 1000 + uint64_t(c.side));
    d.widest = c.widest;
    d.searches(c.searches);
    d.walks(c.walks);
    d.long_routes(c.long_routes);
    if (HasFatalFailure()) return;
    EXPECT_EQ(d.searched, 3 * c.searches + c.walks + c.long_routes);
  }
}

// What the reference cannot be asked: searches that would read outside the grid or the
// node store, and unit indexes or cursors outside the tables. Nothing is searched.
TEST(PathSearch, WhatDoesNotFitIsRefused) {
  Differential rig(128, 0);
  for (int32_t c = 0; c < rig.world.stride; ++c)
    set_cell(rig.world, c % 128, c / 128, kLevel, kTilePlain);
  PathSearch& ps = rig.ps;
  const PathRequest fits{31, 40, 40, kLevel, 44, 40};
  ASSERT_EQ(find_path(ps, rig.world, fits).result, kFound);
  std::vector<PathRequest> refused;
  for (auto [level, window] : {std::pair{-1, 64},
                               {kLevelCount, 64},
                               {65535, 64},
                               {kLevel, 0},
                               {kLevel, 2},
                               {kLevel, 129},
                               {kLevel, INT32_MIN},
                               {kLevel, INT32_MAX}})
    for (bool centred : {true, false})
      refused.push_back({31, 40, 40, level, 44, 40, window, centred});
  for (int32_t u : {-1, kUnitTableSize, INT32_MAX}) refused.push_back({u, 40, 40, kLevel, 44, 40});
  for (const PathRequest& rq : refused) {
    SCOPED_TRACE(::testing::Message()
                 << "unit " << rq.unit << " level " << rq.level << " window " << rq.window);
    EXPECT_EQ(find_path(ps, rig.world, rq).result, kNotFound);
    ps.path_cursor[31] = kNoPath;
    EXPECT_EQ(next_path_step(ps, rig.world, rq).kind, PathStep::kNone);
    EXPECT_EQ(ps.path_length[31], 0);
  }
  // The smallest window has one interior cell: start and target always meet.
  EXPECT_EQ(find_path(ps, rig.world, {31, 40, 40, kLevel, 44, 40, 3}).result, kStartIsTarget);
  // A cursor no stored path can hold is not followed into another unit's cells.
  ps.path_cursor[31] = kUnitPathCapacity + 5;
  EXPECT_EQ(next_path_step(ps, rig.world, fits).kind, PathStep::kNone);
  EXPECT_EQ(ps.path_cursor[31], kUnitPathCapacity + 5);
}

// Whole games, kept search trees and searching ahead against the reference: orders by right
// click (some to or near a unit's own cell), by 'A' and by wandering, console edits of units'
// levels and coarse maps, unit 1 teleported onto the coarse maps and near the top level, units
// inactive, in use but not as 1, or at the last index. After every tick the unit tables, the
// routes and the random draws agree.
class GameDifferential : public Differential {
 public:
  explicit GameDifferential(uint64_t seed, int32_t trees) : Differential(kWorldSide, seed) {
    create_kept_trees(ps, trees);
    for (int32_t level = 0; level < 3; ++level)
      for (int32_t y = 0; y < kWorldSide; y += 64)
        for (int32_t x = 0; x < kWorldSide; x += 64) paint(world, rng, level, x, y, 64);
    for (int32_t level = kCoarseLevelBase; level < kCoarseLevelBase + 3; ++level)
      for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
          set_cell(world, x, y, level, rng.chance(75) ? kTilePlain : kTileMountain);
    for (int32_t u : kUnits) {
      const int32_t x = rng.in(1, kWorldSide - 2), y = rng.in(1, kWorldSide - 2);
      for (UnitTable* t : {&units, &oracle_units}) {
        place(*t, u, x, y, u == 1 ? 1 : u % 3, 0);
        t->records[u].inactive = u < 100 && u % 7 == 3;
        if (u % 11 == 5) t->records[u].in_use = 2;
      }
    }
    rng_seed(game_rng, uint32_t(seed));
    oracle_rng = game_rng;
  }

  int32_t any_unit() { return kUnits[size_t(rng.in(0, int32_t(std::size(kUnits)) - 1))]; }

  // What the console writes, near a unit on its own level or on its level's coarse map.
  void edit() {
    const UnitRecord& u = units.records[rng.chance(30) ? 1 : any_unit()];
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

  // A right click: anywhere, or on or near a unit; now and then for the planning record or
  // outside the table.
  void right_click() {
    const int32_t odd[] = {-1, kPlanningRecord, kUnitTableSize};
    // unit 1 near the far edge is often sent past it, as a view origin past the grid can
    const bool past = units.records[1].x > 1000 && rng.chance(50);
    const int32_t u = past ? 1 : rng.chance(5) ? odd[rng.in(0, 2)] : any_unit();
    int32_t x = past ? rng.in(1024, 1063) : rng.in(0, 1023), y = rng.in(0, 1023);
    if (past) y = units.records[1].y;
    else if (u >= 0 && u < kUnitTableSize && rng.chance(40)) {
      const int32_t near = rng.chance(25) ? 0 : 20;
      x = std::clamp(units.records[u].x + rng.in(-near, near), 0, 1023);
      y = std::clamp(units.records[u].y + rng.in(-near, near), 0, 1023);
    }
    give_order(units, ps, u, x, y);
    oracle_give_order(oracle, oracle_units, u, x, y);
  }

  void play(int32_t frames, int32_t divisor, int64_t ahead_budget) {
    for (int32_t f = 0; f < frames; ++f) {
      if (rng.chance(20)) edit();
      if (rng.chance(2)) {  // teleport, as the console does it
        const int32_t levels[] = {1, 2, 10, 11, 12, 171};
        // now and then on the ground near or on the far edge, where a route lands a unit
        const bool edge = rng.chance(30);
        const int32_t x = edge ? rng.in(1020, 1023) : rng.in(1, kWorldSide - 2), y = rng.in(1, 62),
                      z = levels[rng.in(0, edge ? 1 : 5)];
        const uint8_t in_use = rng.chance(10) ? 2 : 1;  // only exactly 1 counts
        for (UnitTable* t : {&units, &oracle_units})
          place(*t, 1, x, y, z), t->records[1].in_use = in_use;
      }
      if (rng.chance(3)) right_click();
      if (f % divisor == 0) {
        movement_tick(world, units, ps, game_rng);
        oracle_movement_tick(oracle, world, oracle_units, oracle_rng);
        ASSERT_NO_FATAL_FAILURE(compare(f));
      }
      if (rng.chance(3)) {
        order_unit1_random(world, units, ps, game_rng);
        oracle_order_unit1_random(oracle, world, oracle_units, oracle_rng);
      }
      if (f % 100 == 0) {
        wander_orders(world, units, ps, game_rng);
        oracle_wander_orders(oracle, world, oracle_units, oracle_rng);
      }
      if (f % divisor != 0)
        ahead_rounds += search_ahead(ps, world, units, ahead_budget, divisor - f % divisor);
    }
  }

  void compare(int32_t frame) {
    SCOPED_TRACE(::testing::Message() << "frame " << frame);
    ASSERT_EQ(std::memcmp(units.records.get(), oracle_units.records.get(),
                          sizeof(UnitRecord) * kUnitTableSize),
              0);
    ASSERT_EQ(rng_next(game_rng), rng_next(oracle_rng));
    for (int32_t u = 0; u < kUnitTableSize; ++u)
      ASSERT_NO_FATAL_FAILURE(compare_path(ps, oracle, u, ps.path_length[u]));
  }

  static constexpr int32_t kUnits[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,  12,   13,  14,
                                       15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 999, 1001, 2999};
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

// Grown before the first wander orders, the trees leave their tick nothing to search ahead
// for, and the game after them still matches the reference.
TEST(PathSearchDifferential, TreesGrownBeforeWanderOrdersAreTheOnesTheirTickAsksFor) {
  GameDifferential g(4, 640);
  EXPECT_GT(search_ahead_of_wander_orders(g.world, g.units, g.ps), 0);
  wander_orders(g.world, g.units, g.ps, g.game_rng);
  oracle_wander_orders(g.oracle, g.world, g.oracle_units, g.oracle_rng);
  EXPECT_EQ(search_ahead(g.ps, g.world, g.units, INT64_MAX, 1), 0);
  g.play(300, 10, 250000);
}

}  // namespace
