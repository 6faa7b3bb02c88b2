#include "units/orders.h"

#include "core/geometry.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kSearchWindow = 64;  // cells (blocks for the coarse route)
constexpr int32_t kWaypointTries = 220;
constexpr int32_t kFirstWanderer = 2;  // unit 1 only moves when ordered

int32_t random_cell(Rng& rng) { return rng_next(rng) % 1022 + 1; }

bool inside_margin(const World& w, int32_t v) { return v >= 1 && v <= w.side - 2; }

bool is_mountain(uint8_t code) { return code == kTileMountain || code == kTileMountainHigh; }

void start_order(UnitRecord& u, PathSearch& ps, int32_t i) {
  u.order_flag = 1;
  u.order_state = kNewOrder;
  ps.path_cursor[i] = kNoPath;
}

// Asks for the first block of a coarse route from the unit's block toward its
// target's block. Returns 1 and leaves the block in the planning record's next
// step when there is one.
int32_t plan_coarse_route(const World& w, UnitTable& units, PathSearch& ps, const UnitRecord& u) {
  UnitRecord& plan = unit(units, kPlanningRecord);
  plan.in_use = 1;
  plan.kind = 1;
  plan.inactive = 0;
  plan.x = uint16_t(u.x / kBlockCells);
  plan.y = uint16_t(u.y / kBlockCells);
  plan.level = uint16_t(u.level + kCoarseLevelBase);
  plan.target_x = uint16_t(u.target_x / kBlockCells);
  plan.target_y = uint16_t(u.target_y / kBlockCells);
  // Above level 169 the coarse level would lie past the grid's top: no route.
  if (plan.level >= kLevelCount) {
    plan.order_flag = 0;
    return 0;
  }
  return coarse_route_step(ps, w, units, kPlanningRecord, plan.target_x, plan.target_y,
                           kSearchWindow, 0, 0);
}

// A cell of the route's first block that is not a mountain, if 220 draws find
// one; otherwise the last draw.
void choose_waypoint(const World& w, const UnitRecord& plan, UnitRecord& u, Rng& rng) {
  for (int32_t t = 0; t < kWaypointTries; ++t) {
    const int32_t x = plan.next_x * kBlockCells + rng_next(rng) % kBlockCells;
    const int32_t y = plan.next_y * kBlockCells + rng_next(rng) % kBlockCells;
    u.waypoint_x = uint16_t(x);
    u.waypoint_y = uint16_t(y);
    if (!is_mountain(cell_at(w, x, y, u.level))) return;
  }
}

void plan_leg(const World& w, UnitTable& units, PathSearch& ps, Rng& rng, int32_t i) {
  UnitRecord& u = unit(units, i);
  UnitRecord& plan = unit(units, kPlanningRecord);
  if (plan_coarse_route(w, units, ps, u) == 1) {
    choose_waypoint(w, plan, u, rng);
    u.order_state = kWalkingLeg;
  } else if (u.x == u.target_x && u.y == u.target_y) {
    u.order_state = kArrived;
    ps.path_cursor[i] = kNoPath;
  } else {
    // Already in the target's block, or no coarse route: head straight for it.
    u.waypoint_x = u.target_x;
    u.waypoint_y = u.target_y;
    u.order_state = kWalkingLeg;
    ps.path_cursor[i] = kNoPath;
  }
  plan.in_use = 0;
}

}  // namespace

void give_order(UnitTable& units, PathSearch& ps, int32_t u, int32_t x, int32_t y) {
  if (u < 0 || u >= kUnitTableSize) return;
  UnitRecord& r = unit(units, u);
  r.target_x = uint16_t(x);
  r.target_y = uint16_t(y);
  r.waypoint_x = 0;
  r.waypoint_y = 0;
  start_order(r, ps, u);
}

void order_unit1_random(const World& w, UnitTable& units, PathSearch& ps, Rng& rng) {
  UnitRecord& u = unit(units, 1);
  if (u.in_use != 1) return;
  const int32_t x = random_cell(rng);
  const int32_t y = random_cell(rng);
  u.target_x = uint16_t(x);
  u.target_y = uint16_t(y);
  // the waypoint keeps the last leg's end
  if (inside_margin(w, x) && inside_margin(w, y)) start_order(u, ps, 1);
}

void wander_orders(const World& w, UnitTable& units, PathSearch& ps, Rng& rng) {
  for (int32_t i = kFirstWanderer; i < kUnitTableSize; ++i) {
    UnitRecord& u = unit(units, i);
    if (u.in_use != 1) continue;
    if (u.order_flag != 0 && u.order_state != kArrived) continue;  // busy walking
    const int32_t x = random_cell(rng);
    const int32_t y = random_cell(rng);
    u.target_x = uint16_t(x);
    u.target_y = uint16_t(y);
    u.waypoint_x = 0;
    u.waypoint_y = 0;
    if (inside_margin(w, x) && inside_margin(w, y)) start_order(u, ps, i);
  }
}

void movement_tick(const World& w, UnitTable& units, PathSearch& ps, Rng& rng) {
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    UnitRecord& u = unit(units, i);
    if (u.in_use != 1 || u.inactive != 0 || u.order_flag != 1) continue;
    if (u.order_state == kNewOrder || u.order_state == kPlanAgain) plan_leg(w, units, ps, rng, i);
    if (u.order_state != kWalkingLeg) continue;
    if (next_path_step(ps, w, units, i, u.waypoint_x, u.waypoint_y, kSearchWindow, 1) == 1) {
      u.x = u.next_x;
      u.y = u.next_y;
    } else {
      // Leg over (the search put the unit on its waypoint) or blocked: plan
      // again next tick. The search cleared the flag; the order still stands.
      u.order_flag = 1;
      u.order_state = kPlanAgain;
      ps.path_cursor[i] = kNoPath;
    }
  }
}
