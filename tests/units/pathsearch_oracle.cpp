#include "pathsearch_oracle.h"

#include "units/units.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

constexpr int32_t kPathCells = 1000;  // per unit index
constexpr int32_t kUnits = 3000;

bool passable(uint8_t code) { return code > 5 && code != 61; }

bool open_ground(uint8_t code) { return code == 10 || code == 11 || code == 18 || code == 60; }

uint8_t tile(const World& w, int32_t level, int32_t x, int32_t y) {
  return grid_cells(
      w)[size_t(level) * size_t(w.side) * size_t(w.side) + size_t(y) * size_t(w.side) + size_t(x)];
}

struct Step {
  int32_t dx, dy;
  float cost;
};
const Step kSteps[8] = {{0, 1, 1.0f},  {1, 1, 1.4142f},   {1, 0, 1.0f},  {1, -1, 1.4142f},
                        {0, -1, 1.0f}, {-1, -1, 1.4142f}, {-1, 0, 1.0f}, {-1, 1, 1.4142f}};

int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// What both set-ups share: start and target clamped into the grid, then into the window;
// the first node.
void finish_setup(OracleSearch& o, int32_t sx, int32_t sy, int32_t tx, int32_t ty) {
  const int32_t n = o.window, e = o.side - 1;
  o.start_x = clamp(clamp(sx, 0, e), o.origin_x + 1, o.origin_x + n - 2);
  o.start_y = clamp(clamp(sy, 0, e), o.origin_y + 1, o.origin_y + n - 2);
  o.target_x = clamp(clamp(tx, 0, e), o.origin_x + 1, o.origin_x + n - 2);
  o.target_y = clamp(clamp(ty, 0, e), o.origin_y + 1, o.origin_y + n - 2);
  for (int32_t i = 0; i < n * n; ++i) {
    o.node_x[i] = o.node_y[i] = 0;
    o.node_parent[i] = o.node_state[i] = o.window_map[i] = 0;
    o.node_cost[i] = 0;
  }
  for (int32_t i = 0; i < n; ++i) {
    o.window_map[i] = 1;                // first row
    o.window_map[(n - 1) * n + i] = 1;  // last row
    o.window_map[i * n] = 1;            // first column
    o.window_map[i * n + n - 1] = 1;    // last column
  }
  o.node_x[0] = int16_t(o.start_x), o.node_y[0] = int16_t(o.start_y);
  o.node_cost[0] = 1.0f;
  o.current = o.last = o.first_open = 0;
  o.best_cost = 0.0f;
  o.result = 0, o.ready = 1;
}

}  // namespace

void oracle_create(OracleSearch& o, int32_t world_side) {
  const size_t n = size_t(world_side) * size_t(world_side);
  o = OracleSearch{};
  o.side = world_side;
  o.node_x.assign(n, 0);
  o.node_y.assign(n, 0);
  o.node_parent.assign(n, 0);
  o.node_state.assign(n, 0);
  o.node_cost.assign(n, 0.0f);
  o.window_map.assign(n, 0);
  o.path_target_x.assign(kUnits, 0);
  o.path_target_y.assign(kUnits, 0);
  o.path_x.assign(size_t(kUnits) * kPathCells, 0);
  o.path_y.assign(size_t(kUnits) * kPathCells, 0);
  o.path_length.assign(kUnits, 0);
  o.path_cursor.assign(kUnits, -9);
}

void oracle_setup_centred(OracleSearch& o, int32_t sx, int32_t sy, int32_t tx, int32_t ty,
                          int32_t level, int32_t window) {
  o.level = level;
  o.window = window;
  o.origin_x = clamp(clamp(sx, 0, o.side - 1) - window / 2, 0, o.side - window);
  o.origin_y = clamp(clamp(sy, 0, o.side - 1) - window / 2, 0, o.side - window);
  finish_setup(o, sx, sy, tx, ty);
}

void oracle_setup_at_origin(OracleSearch& o, int32_t ox, int32_t oy, int32_t sx, int32_t sy,
                            int32_t tx, int32_t ty, int32_t level, int32_t window) {
  o.level = level;
  o.window = window;
  // short of the last row and column, unless the window is as wide as the grid
  o.origin_x = clamp(clamp(ox, 0, o.side - 1 - window), 0, o.side - window);
  o.origin_y = clamp(clamp(oy, 0, o.side - 1 - window), 0, o.side - window);
  finish_setup(o, sx, sy, tx, ty);
}

void oracle_run(OracleSearch& o, const World& w, int32_t budget) {
  if (!o.ready) return;
  const int32_t limit = o.window * o.window - 9;
  if (o.start_x == o.target_x && o.start_y == o.target_y) {
    o.result = 3;
    return;
  }
  if (int64_t(o.last) + int64_t(budget) >= limit) budget = limit - o.last;
  for (int32_t round = 0; round < budget; ++round) {
    const int32_t cx = o.node_x[o.current];
    const int32_t cy = o.node_y[o.current];
    for (int32_t d = 0; d < 8; ++d) {
      const int32_t dx = kSteps[d].dx, dy = kSteps[d].dy;
      const int32_t nx = cx + dx, ny = cy + dy;
      if (d % 2 == 1) {
        if (!open_ground(tile(w, o.level, cx + dx, cy))) continue;
        if (!open_ground(tile(w, o.level, cx, cy + dy))) continue;
      }
      const int32_t m = (ny - o.origin_y) * o.window + (nx - o.origin_x);
      if (o.window_map[m] == 0 && passable(tile(w, o.level, nx, ny))) {
        o.last = o.last + 1;
        o.node_x[o.last] = int16_t(nx);
        o.node_y[o.last] = int16_t(ny);
        o.node_parent[o.last] = o.current;
        o.node_state[o.last] = 0;
        o.node_cost[o.last] =
            o.node_cost[o.current] + 1.0f * kSteps[d].cost + kTerrainCost[tile(w, o.level, nx, ny)];
        o.window_map[m] = 1;
      }
    }
    o.node_state[o.current] = 9;
    o.window_map[(cy - o.origin_y) * o.window + (cx - o.origin_x)] = 9;

    o.best_cost = float(2 * o.side * o.side);
    o.best_node = o.last;
    for (int32_t i = o.first_open; i <= o.last; ++i) {
      if (o.node_state[i] < 9 && o.node_cost[i] <= o.best_cost) {
        o.best_cost = o.node_cost[i];
        o.best_node = i;
      }
    }
    o.current = o.best_node;
    for (int32_t i = o.first_open; i <= o.last; ++i) {
      if (o.node_state[i] < 9) {
        o.first_open = i;
        break;
      }
    }

    if (o.node_x[o.current] == o.target_x && o.node_y[o.current] == o.target_y) {
      o.result = 1;
      o.goal = o.current;
      return;
    }
  }
}

void oracle_store(OracleSearch& o, int32_t unit) {
  // Collect the whole route goal first, then keep the 1000 cells nearest the start.
  std::vector<int32_t> xs, ys;
  int32_t node = o.goal;
  xs.push_back(o.node_x[node]);
  ys.push_back(o.node_y[node]);
  while (o.node_parent[node] != 0) {
    node = o.node_parent[node];
    xs.push_back(o.node_x[node]);
    ys.push_back(o.node_y[node]);
  }
  const size_t drop = xs.size() > size_t(kPathCells) ? xs.size() - kPathCells : 0;
  const size_t base = size_t(unit) * kPathCells;
  o.path_length[unit] = 0;
  for (size_t i = drop; i < xs.size(); ++i) {
    o.path_x[base + o.path_length[unit]] = xs[i];
    o.path_y[base + o.path_length[unit]] = ys[i];
    o.path_length[unit]++;
  }
  if (drop > 0) {
    o.path_target_x[unit] = xs[drop];
    o.path_target_y[unit] = ys[drop];
  }
  o.route_cells = int32_t(xs.size());
  o.first_step_x = xs.back();
  o.first_step_y = ys.back();
  o.path_cursor[unit] = o.path_length[unit] - 1;
}

int32_t oracle_next_path_step(OracleSearch& o, const World& w, UnitTable& units, int32_t u,
                              int32_t tx, int32_t ty, int32_t window) {
  UnitRecord& r = units.records[u];
  const size_t base = size_t(u) * kPathCells;
  if (o.path_cursor[u] == -9) {
    oracle_setup_centred(o, r.x, r.y, tx, ty, r.level, window);
    oracle_run(o, w, window * window);
    if (o.result != 1) {
      o.path_length[u] = 0;
      r.order_flag = 0;
      return 0;
    }
    o.path_target_x[u] = tx;
    o.path_target_y[u] = ty;
    oracle_store(o, u);
    r.next_x = uint16_t(o.path_x[base + o.path_cursor[u]]);
    r.next_y = uint16_t(o.path_y[base + o.path_cursor[u]]);
    o.path_cursor[u]--;
    return 1;
  }
  if (o.path_cursor[u] < 0) return 0;
  r.next_x = uint16_t(o.path_x[base + o.path_cursor[u]]);
  r.next_y = uint16_t(o.path_y[base + o.path_cursor[u]]);
  o.path_cursor[u]--;
  if (o.path_cursor[u] == -1) {
    o.path_cursor[u] = -9;
    r.order_flag = 0;
    // Kept on the grid when the target lay beyond it.
    r.x = uint16_t(clamp(o.path_target_x[u], 0, w.side - 1));
    r.y = uint16_t(clamp(o.path_target_y[u], 0, w.side - 1));
    return 0;
  }
  return 1;
}

int32_t oracle_coarse_route_step(OracleSearch& o, const World& w, UnitTable& units, int32_t r,
                                 int32_t tx, int32_t ty, int32_t window, int32_t ox, int32_t oy) {
  UnitRecord& rec = units.records[r];
  oracle_setup_at_origin(o, ox, oy, rec.x, rec.y, tx, ty, rec.level, window);
  oracle_run(o, w, window * window);
  if (o.result != 1) {
    rec.order_flag = 0;
    return 0;
  }
  oracle_store(o, r);
  rec.next_x = uint16_t(o.first_step_x);
  rec.next_y = uint16_t(o.first_step_y);
  return 1;
}

void oracle_give_order(OracleSearch& o, UnitTable& units, int32_t u, int32_t x, int32_t y) {
  if (u < 0 || u >= kUnits) return;
  UnitRecord& r = units.records[u];
  r.target_x = uint16_t(x);
  r.target_y = uint16_t(y);
  r.waypoint_x = 0;
  r.waypoint_y = 0;
  r.order_flag = 1;
  r.order_state = 0;
  o.path_cursor[u] = -9;
}

// A random target from the game's draws; the order starts only when it lies inside the
// grid's margin.
void random_order(OracleSearch& o, const World& w, UnitTable& units, Rng& rng, int32_t u) {
  UnitRecord& r = units.records[u];
  const int32_t x = rng_next(rng) % 1022 + 1;
  const int32_t y = rng_next(rng) % 1022 + 1;
  r.target_x = uint16_t(x);
  r.target_y = uint16_t(y);
  if (x >= 1 && x <= w.side - 2 && y >= 1 && y <= w.side - 2) {
    r.order_flag = 1;
    r.order_state = 0;
    o.path_cursor[u] = -9;
  }
}

void oracle_order_unit1_random(OracleSearch& o, const World& w, UnitTable& units, Rng& rng) {
  if (units.records[1].in_use == 1) random_order(o, w, units, rng, 1);
}

void oracle_wander_orders(OracleSearch& o, const World& w, UnitTable& units, Rng& rng) {
  for (int32_t i = 2; i < kUnits; ++i) {
    UnitRecord& r = units.records[i];
    if (r.in_use != 1 || (r.order_flag != 0 && r.order_state != 3)) continue;
    random_order(o, w, units, rng, i);
    r.waypoint_x = 0;
    r.waypoint_y = 0;
  }
}

void oracle_movement_tick(OracleSearch& o, const World& w, UnitTable& units, Rng& rng) {
  for (int32_t i = 0; i < kUnits; ++i) {
    UnitRecord& u = units.records[i];
    if (u.in_use != 1 || u.inactive != 0 || u.order_flag != 1) continue;
    if (u.order_state == 0 || u.order_state == 2) {
      UnitRecord& plan = units.records[1000];
      plan.in_use = 1;
      plan.kind = 1;
      plan.inactive = 0;
      plan.x = uint16_t(u.x / 16);
      plan.y = uint16_t(u.y / 16);
      plan.level = uint16_t(u.level + 10);
      plan.target_x = uint16_t(u.target_x / 16);
      plan.target_y = uint16_t(u.target_y / 16);
      int32_t found = 0;
      if (plan.level < 180)  // past the top level there is no coarse map
        found = oracle_coarse_route_step(o, w, units, 1000, plan.target_x, plan.target_y, 64, 0, 0);
      else plan.order_flag = 0;
      if (found == 1) {
        for (int32_t t = 0; t < 220; ++t) {
          u.waypoint_x = uint16_t(plan.next_x * 16 + int32_t(rng_next(rng) % 16));
          u.waypoint_y = uint16_t(plan.next_y * 16 + int32_t(rng_next(rng) % 16));
          const uint8_t c = tile(w, u.level, u.waypoint_x, u.waypoint_y);
          if (c != 19 && c != 20) break;
        }
        u.order_state = 1;
      } else if (u.x == std::min(u.target_x, uint16_t(w.side - 1)) &&
                 u.y == std::min(u.target_y, uint16_t(w.side - 1))) {
        u.order_state = 3;
        o.path_cursor[i] = -9;
      } else {
        u.waypoint_x = u.target_x;
        u.waypoint_y = u.target_y;
        u.order_state = 1;
        o.path_cursor[i] = -9;
      }
      plan.in_use = 0;
    }
    if (u.order_state != 1) continue;
    if (oracle_next_path_step(o, w, units, i, u.waypoint_x, u.waypoint_y, 64) == 1) {
      u.x = u.next_x;
      u.y = u.next_y;
    } else {
      u.order_flag = 1;
      u.order_state = 2;
      o.path_cursor[i] = -9;
    }
  }
}
