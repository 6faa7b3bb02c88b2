#pragma once
// Unit orders and the movement tick.
#include <cstdint>

#include "units/pathsearch.h"

struct Rng;

void give_order(UnitTable& units, PathSearch& ps, int32_t u, int32_t x, int32_t y);
void order_unit1_random(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void wander_orders(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void movement_tick(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
// Grows the kept trees the first tick after wander_orders will ask for, before those orders
// are given (start-up's map pause). Nothing the game shows changes. Returns the rounds spent.
int64_t search_ahead_of_wander_orders(const World& w, const UnitTable& units, PathSearch& ps);

// What the movement tick does with unit i, as far as it is known before the unit's turn.
struct TickSearches {
  bool moves = false;        // the tick moves it at all
  bool plans = false;        // it plans a leg first
  bool coarse = false;       // and its level has a coarse map, so a coarse route is searched
  PathRequest coarse_route;  // from its block toward its target's, for the planning record
  bool leg = false;          // it searches for a leg from its cell
  PathRequest leg_search;    // its target is drawn in the tick, so it stands on the start here
};
TickSearches tick_searches(const UnitTable& units, const PathSearch& ps, int32_t i);
