#pragma once
// Unit orders and the movement tick.
#include <cstdint>

#include "units/pathsearch.h"

struct Rng;

void give_order(UnitTable& units, PathSearch& ps, int32_t u, int32_t x, int32_t y);
void order_unit1_random(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void wander_orders(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void movement_tick(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);

// What the movement tick does with unit i, as far as it is known before the unit's turn.
struct TickSearches {
  bool moves = false;        // the tick moves it at all
  bool plans = false;        // it plans a leg first, searching a coarse route if its level
  bool coarse = false;       // has a coarse map
  PathRequest coarse_route;  // from its block toward its target's, for the planning record
  bool leg = false;          // it searches for a leg from its cell; the leg's target is drawn
  PathRequest leg_search;    // only then, so it stands on the start here
};
TickSearches tick_searches(const UnitTable& units, const PathSearch& ps, int32_t i);
