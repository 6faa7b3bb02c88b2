#include "units/orders.h"

#include <algorithm>

#include "core/geometry.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kWaypointTries = 220;
constexpr int32_t kFirstWanderer = 2;  // unit 1 only moves when ordered

int32_t random_cell(Rng& rng) { return rng_next(rng) % 1022 + 1; }

bool inside_margin(const World& w, int32_t v) { return v >= 1 && v <= w.side - 2; }

// Free for a wander order: in use and not busy walking.
bool wanders(const UnitRecord& u) {
  return u.in_use == 1 && (u.order_flag == 0 || u.order_state == kArrived);
}
int32_t on_grid(const World& w, int32_t v) { return v < w.side ? v : w.side - 1; }

bool is_mountain(uint8_t code) { return code == kTileMountain || code == kTileMountainHigh; }

void start_order(UnitRecord& u, PathSearch& ps, int32_t i) {
  u.order_flag = 1;
  u.order_state = kNewOrder;
  ps.path_cursor[i] = kNoPath;
}

// Asks for the first block of a coarse route from the unit's block toward its target's
// block; the planning record holds the search and, when there is one, the block.
bool plan_coarse_route(const World& w, UnitTable& units, PathSearch& ps, const TickSearches& t) {
  UnitRecord& plan = unit(units, kPlanningRecord);
  const PathRequest& rq = t.coarse_route;
  plan.in_use = 1;
  plan.kind = 1;
  plan.inactive = 0;
  plan.x = uint16_t(rq.start_x);
  plan.y = uint16_t(rq.start_y);
  plan.level = uint16_t(rq.level);
  plan.target_x = uint16_t(rq.target_x);
  plan.target_y = uint16_t(rq.target_y);
  const PathResult route = t.coarse ? find_path(ps, w, rq) : PathResult{};
  if (route.result != kFound) {
    plan.order_flag = 0;
    return false;
  }
  plan.next_x = uint16_t(route.step_x);
  plan.next_y = uint16_t(route.step_y);
  return true;
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

void plan_leg(const World& w, UnitTable& units, PathSearch& ps, Rng& rng, const TickSearches& t,
              int32_t i) {
  UnitRecord& u = unit(units, i);
  UnitRecord& plan = unit(units, kPlanningRecord);
  if (plan_coarse_route(w, units, ps, t)) {
    choose_waypoint(w, plan, u, rng);
    u.order_state = kWalkingLeg;
  } else if (u.x == on_grid(w, u.target_x) && u.y == on_grid(w, u.target_y)) {
    // a target past the grid's edge is reached on the edge cell nearest it
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
    if (!wanders(u)) continue;
    const int32_t x = random_cell(rng);
    const int32_t y = random_cell(rng);
    u.target_x = uint16_t(x);
    u.target_y = uint16_t(y);
    u.waypoint_x = 0;
    u.waypoint_y = 0;
    if (inside_margin(w, x) && inside_margin(w, y)) start_order(u, ps, i);
  }
}

int64_t search_ahead_of_wander_orders(const World& w, const UnitTable& units, PathSearch& ps) {
  // The orders' targets are not drawn yet, but a tree depends only on where its search
  // starts: any target off the unit's cell asks for the trees the drawn one will.
  UnitTable ordered;
  create_unit_table(ordered);
  std::copy_n(units.records.get(), kUnitTableSize, ordered.records.get());
  for (int32_t i = kFirstWanderer; i < kUnitTableSize; ++i) {
    UnitRecord& u = unit(ordered, i);
    if (!wanders(u)) continue;
    u.target_x = uint16_t(u.x ^ 1);
    u.target_y = u.y;
    u.order_flag = 1;
    u.order_state = kNewOrder;
  }
  return search_ahead(ps, w, ordered, INT64_MAX, 1);
}

TickSearches tick_searches(const UnitTable& units, const PathSearch& ps, int32_t i) {
  TickSearches t;
  const UnitRecord& u = unit(units, i);
  t.moves = u.in_use == 1 && u.inactive == 0 && u.order_flag == 1;
  if (!t.moves) return t;
  t.plans = u.order_state == kNewOrder || u.order_state == kPlanAgain;
  // Above level 169 the coarse level would lie past the grid's top: no route.
  const uint16_t coarse_level = uint16_t(u.level + kCoarseLevelBase);
  t.coarse = t.plans && coarse_level < kLevelCount;
  t.coarse_route = {.unit = kPlanningRecord,
                    .start_x = u.x / kBlockCells,
                    .start_y = u.y / kBlockCells,
                    .level = coarse_level,
                    .target_x = u.target_x / kBlockCells,
                    .target_y = u.target_y / kBlockCells,
                    .centred = false};
  // A unit that plans on its target arrives instead; one walking searches when its path
  // is used up.
  t.leg = t.plans ? u.x != u.target_x || u.y != u.target_y
                  : u.order_state == kWalkingLeg && ps.path_cursor[i] == kNoPath;
  t.leg_search = {.unit = i,
                  .start_x = u.x,
                  .start_y = u.y,
                  .level = u.level,
                  .target_x = u.x,
                  .target_y = u.y};
  return t;
}

void movement_tick(const World& w, UnitTable& units, PathSearch& ps, Rng& rng) {
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const TickSearches t = tick_searches(units, ps, i);
    if (!t.moves) continue;
    UnitRecord& u = unit(units, i);
    if (t.plans) plan_leg(w, units, ps, rng, t, i);
    if (u.order_state != kWalkingLeg) continue;
    PathRequest leg = t.leg_search;
    leg.target_x = u.waypoint_x;
    leg.target_y = u.waypoint_y;
    const PathStep step = next_path_step(ps, w, leg);
    if (step.kind != PathStep::kNone) {
      u.next_x = uint16_t(step.x);
      u.next_y = uint16_t(step.y);
    }
    if (step.kind == PathStep::kStep) {
      u.x = u.next_x;
      u.y = u.next_y;
      continue;
    }
    if (step.kind == PathStep::kLastStep) {  // on the waypoint: the leg is over
      u.x = uint16_t(step.land_x);
      u.y = uint16_t(step.land_y);
    }
    // Leg over or blocked: plan again next tick; the order still stands.
    u.order_state = kPlanAgain;
    ps.path_cursor[i] = kNoPath;
  }
}
