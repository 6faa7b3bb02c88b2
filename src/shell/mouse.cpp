#include "shell/mouse.h"

#include "core/geometry.h"
#include "core/keys.h"
#include "shell/game.h"
#include "units/orders.h"
#include "views/minimap.h"

void mouse_orders(Game& g) {
  RunState& run = g.run;
  const int32_t px = run.pointer_x, py = run.pointer_y;
  if (pointer_strictly_inside_minimap(run, px, py)) return;
  // orders and selection act on overworld cells, so only in the overworld's resolution
  const bool overworld = g.fb.width == kOverworldWidth;
  if (key_down(g.platform, kVkRButton) && overworld)
    give_order(g.units, g.path, run.selected_unit, px / kCellPixels + run.SX,
               py / kCellPixels + run.SY);
  if (key_down(g.platform, kVkLButton) && overworld) {
    const int32_t cx = px / kCellPixels + run.SX;
    const int32_t cy = py / kCellPixels + run.SY;
    for (int32_t i = 0; i < kUnitTableSize; ++i) {
      const UnitRecord& u = unit(g.units, i);
      if (u.x == cx && u.y == cy) {
        run.selected_unit = i;
        break;
      }
    }
  }
}
