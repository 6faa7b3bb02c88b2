#pragma once
// Unit orders and the movement tick.
#include <cstdint>

struct World;
struct UnitTable;
struct PathSearch;
struct Rng;

void give_order(UnitTable& units, PathSearch& ps, int32_t u, int32_t x, int32_t y);
void order_unit1_random(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void wander_orders(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
void movement_tick(const World& w, UnitTable& units, PathSearch& ps, Rng& rng);
