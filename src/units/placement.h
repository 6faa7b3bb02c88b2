#pragma once
// Where the 255 units stand at start.
#include <cstdint>

struct World;
struct UnitTable;
struct Rng;

// Draws x, y and level for each unit until a cell it may stand on turns up;
// a unit that finds none in 1000 attempts stays unused.
void place_units(const World& w, UnitTable& units, Rng& rng);
