#include "units/placement.h"

#include "units/units.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

constexpr int32_t kPlacementAttempts = 1000;

// Start cells refused at placement: walls, both mountains and forest.
bool acceptable_start(uint8_t code) {
  return code != kTileWall && code != kTileMountain && code != kTileMountainHigh &&
         code != kTileForest;
}

int32_t draw_mod(Rng& rng, int32_t n) { return rng_next(rng) % n; }

}  // namespace

void place_units(const World& w, UnitTable& units, Rng& rng) {
  const int32_t span = w.side - 2;  // never the outermost rows or columns
  for (int32_t u = kFirstPlacedUnit; u <= kLastPlacedUnit; ++u) {
    for (int32_t attempt = 0; attempt < kPlacementAttempts; ++attempt) {
      const int32_t x = draw_mod(rng, span) + 1;
      const int32_t y = draw_mod(rng, span) + 1;
      int32_t level = draw_mod(rng, 3);
      if (u == 1) level = 1;  // drawn all the same, so the sequence stays in step
      if (!acceptable_start(grid_cells(w)[cell_index(w, x, y, level)])) continue;
      UnitRecord& r = unit(units, u);
      r.in_use = 1;
      r.kind = 1;
      r.inactive = 0;
      r.order_flag = 0;
      r.order_state = kNewOrder;
      r.sprite = kPlacedUnitSprite;
      r.bar_max = 24.0f;
      r.bar_value = 24.0f;
      r.x = uint16_t(x);
      r.y = uint16_t(y);
      r.level = uint16_t(level);
      r.target_x = uint16_t(x);
      r.target_y = uint16_t(y);
      r.fx = r.fy = r.fz = 0.5f;
      r.bar_state = 0;
      break;
    }
  }
}
