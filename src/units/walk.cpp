#include "units/walk.h"

#include <cmath>
#include <cstdint>

#include "core/runstate.h"
#include "units/units.h"
#include "world/world.h"

namespace {

// Cell offset of a coordinate; absurd values land far outside the grid
// instead of overflowing the conversion.
int32_t floor_cells(float v) {
  const float f = std::floor(v);
  if (!(f > -1.0e6f && f < 1.0e6f)) return -1000000;
  return int32_t(f);
}

// One step along the level plane, as a change of the cell fractions (fx, fy).
struct WalkStep {
  float dfx = 0;  // cells
  float dfy = 0;  // cells
};

// Walking forward subtracts the step, walking backward adds it.
WalkStep walk_step(float yaw, float pitch) {
  const float turned = yaw + 180.0f;
  const float s = float(std::sin(double(turned) * kDegreeFactor));
  const float c = float(std::cos(double(turned) * kDegreeFactor));
  const float q = float(std::sin(double(pitch) * kDegreeFactor));
  return {q * s * 0.1f, q * c * 0.1f};
}

// Forward steps come on frames divisible by a tenth of the tick divisor, truncated.
bool forward_step_frame(int64_t frame, float tick_divisor) {
  // 1, 3 or 6 for the divisors the keys set; below 10 it walks every frame
  double k = std::trunc(double(tick_divisor) / 10.0);
  if (!(k >= 1.0)) k = 1.0;
  if (k > 2147483647.0) k = 2147483647.0;
  return frame % int64_t(k) == 0;
}

// Tile code of the cell holding the point (a, b, c) measured from u's cell
// corner; 0 outside the grid.
uint8_t cell_at_offset(const World& w, const UnitRecord& u, float a, float b, float c) {
  return cell_at(w, int32_t(u.x) + floor_cells(a), int32_t(u.y) + floor_cells(b),
                 int32_t(u.level) + floor_cells(c));
}

// Keeps the camera point of u at least 0.3 of a cell from walls on x and y.
void push_out_of_walls(const World& w, UnitRecord& u) {
  // camera point inside its cell; every test reads around this entry value
  const float a = 1.0f - u.fx, b = u.fy, c = 1.0f - u.fz;
  auto solid = [&](float da, float db) {
    return cell_at_offset(w, u, a + da, b + db, c) == kTileWall;
  };
  const bool centre = solid(0.0f, 0.0f);
  // a grows where fx shrinks: fx runs against the columns
  if (solid(-0.3f, 0.0f) && !centre) u.fx -= 0.3f - a;
  if (solid(-0.2f, 0.0f)) u.fx -= 0.2f;
  if (solid(0.3f, 0.0f) && !centre) u.fx += a + 0.3f - 1.0f;
  if (solid(0.2f, 0.0f)) u.fx += 0.2f;
  if (solid(0.0f, -0.3f) && !centre) u.fy += 0.3f - b;
  if (solid(0.0f, -0.2f)) u.fy += 0.2f;
  if (solid(0.0f, 0.3f) && !centre) u.fy -= b + 0.3f - 1.0f;
  if (solid(0.0f, 0.2f)) u.fy -= 0.2f;
  // diagonal corners: only the first one found pushes
  if (solid(-0.2f, -0.2f)) {
    u.fx -= 0.2f;
    u.fy += 0.2f;
  } else if (solid(0.2f, 0.2f)) {
    u.fx += 0.2f;
    u.fy -= 0.2f;
  } else if (solid(0.2f, -0.2f)) {
    u.fx += 0.2f;
    u.fy += 0.2f;
  } else if (solid(-0.2f, 0.2f)) {
    u.fx -= 0.2f;
    u.fy -= 0.2f;
  }
}

// The view origin, not the walker's cell, must have rock below it.
void ground_check(const World& w, RunState& run, GroundOrigin& ground, UnitRecord& u) {
  if (cell_at(w, run.SX, run.SY, run.SZ + 1) == kTileWall) {
    ground = {run.SX, run.SY, run.SZ};
    return;
  }
  run.SX = ground.x;
  run.SY = ground.y;
  run.SZ = ground.z;
  u.fx = 0.5f;
  u.fy = 0.5f;
  u.fz = 0.5f;
}

// fz follows the walk phase: 0.54 +- 0.024.
void head_bob(UnitRecord& u) { u.fz = std::sin(u.walk_phase * 1.5f) * 0.024f + 0.54f; }

// Fractions past 0 or 1 move u into the neighbouring cell; a move that
// would leave the grid is refused and the fraction stops at the edge.
void cell_changes(UnitRecord& u, int32_t side) {
  const int32_t last = side - 1;
  if (u.fx > 1.0f) {
    if (u.x > 0) {
      u.x -= 1;
      u.fx -= 1.0f;
    } else {
      u.fx = 1.0f;
    }
  }
  if (u.fy > 1.0f) {
    if (int32_t(u.y) < last) {
      u.y += 1;
      u.fy -= 1.0f;
    } else {
      u.fy = 1.0f;
    }
  }
  if (u.fx < 0.0f) {
    if (int32_t(u.x) < last) {
      u.x += 1;
      u.fx += 1.0f;
    } else {
      u.fx = 0.0f;
    }
  }
  if (u.fy < 0.0f) {
    if (u.y > 0) {
      u.y -= 1;
      u.fy += 1.0f;
    } else {
      u.fy = 0.0f;
    }
  }
}

}  // namespace

void walk_unit1(const World& w, RunState& run, UnitTable& units, ViewAngles look,
                GroundOrigin& ground, bool left_button, bool back_key) {
  UnitRecord& u = unit(units, kWalker);
  if (left_button && forward_step_frame(run.frame, run.tick_divisor)) {
    const WalkStep s = walk_step(look.yaw, look.pitch);
    u.fx -= s.dfx;
    u.fy -= s.dfy;
    u.walk_phase += 1.0f;
    ground_check(w, run, ground, u);
  }
  if (back_key) {
    const WalkStep s = walk_step(look.yaw, look.pitch);
    u.fx += s.dfx;
    u.fy += s.dfy;
    u.walk_phase -= 1.0f;
    ground_check(w, run, ground, u);
  }
  push_out_of_walls(w, u);
  head_bob(u);
  cell_changes(u, w.side);
}
