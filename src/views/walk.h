#pragma once
// Walking unit 1 through the block world: steps, ground check, collision,
// head bob and cell changes. Pure logic, no GL.
#include <cstdint>

#include "world/population.h"  // kDegreeFactor, the game's degrees-to-radians

struct World;
struct RunState;
struct UnitRecord;
struct UnitTable;
struct BlockViewState;

// Unit 1 walks; the camera follows whichever unit is selected.
constexpr int32_t kWalker = 1;

// One step along the level plane, as a change of the cell fractions (fx, fy).
struct WalkStep {
  float dfx = 0;  // cells
  float dfy = 0;  // cells
};

// The step for a camera turned by yaw and pitch (degrees). Walking forward
// subtracts it, walking backward adds it.
WalkStep walk_step(float yaw, float pitch);

// Forward steps happen on frames divisible by the tick divisor / 10, truncated.
bool forward_step_frame(int32_t frame, float tick_divisor);

// Tile code of the cell holding the point (a, b, c) measured from unit u's cell
// corner; 0 outside the grid.
uint8_t cell_at_offset(const World& w, const UnitRecord& u, float a, float b, float c);

// Keeps the camera point of u at least 0.3 of a cell from walls on x and y.
void push_out_of_walls(const World& w, UnitRecord& u);

// After a step: while the cell below the view origin is a wall the origin is
// remembered as ground; otherwise the origin goes back there and u is centred.
void ground_check(const World& w, RunState& run, BlockViewState& bv, UnitRecord& u);

// fz follows the walk phase: 0.54 +- 0.024.
void head_bob(UnitRecord& u);

// Fractions past 0 or 1 move u into the neighbouring cell; a move that
// would leave the grid is refused and the fraction stops at the edge.
void cell_changes(UnitRecord& u, int32_t side);

// Unit 1's walk in a block view frame: forward (left button, on
// forward frames) and backward ('Z', every frame) steps with their ground
// checks, push out, bob, cell changes.
void walk_unit1(const World& w, RunState& run, BlockViewState& bv, UnitTable& units,
                bool left_button, bool back_key);
