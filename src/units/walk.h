#pragma once
// Walking unit 1 through the block world: steps, ground check, collision,
// head bob and cell changes. Pure logic, no GL.
#include <cstdint>

#include "core/geometry.h"

struct World;
struct RunState;
struct UnitTable;

// Unit 1 walks; the camera follows whichever unit is selected.
constexpr int32_t kWalker = 1;

// The last view origin that had rock below it; a step taken anywhere else
// puts the origin back here.
struct GroundOrigin {
  int32_t x = 1, y = 1, z = 28;
};

// Unit 1's walk in a block view frame, the camera turned by look: forward
// (left button, on frames divisible by a tenth of the tick divisor) and
// backward ('Z', every frame) steps, each followed by the ground check, then
// the push out of walls, the head bob and the cell changes.
void walk_unit1(const World& w, RunState& run, UnitTable& units, ViewAngles look,
                GroundOrigin& ground, bool left_button, bool back_key);
