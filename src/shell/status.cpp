#include "shell/status.h"

#include <cstdio>

#include "core/geometry.h"
#include "shell/game.h"
#include "shell/notice.h"

const char* notice_line(const RunState& run, const Framebuffer& fb) {
  // Under the screensaver the overworld's clicks still reach the hidden map,
  // while the block view's walk and look go with its picture.
  const bool overworld = fb.width == kOverworldWidth;
  if (run.screensaver == 1)
    return overworld ? "Screensaver: clicks still order and select unseen; Tab for the command "
                       "line, F10 keys, Escape quits"
                     : "Screensaver: buttons only jump the minimap; F10 keys, Esc quits";
  if (overworld) return "Right click orders, left click selects, F10 keys, Escape quits";
  return "Left button walks, any button looks, F10 keys, Esc quits";
}

void draw_banner_and_status(Game& g) {
  Framebuffer& fb = g.fb;
  TextBuffer& t = g.text;
  const RunState& run = g.run;
  const uint8_t r = 255, gr = 255, b = 0;  // yellow

  text_print(t, "KELVAROT 1.0 - a tile world of 255 wanderers");
  draw_small_text(fb, t, 12, fb.height - 14, r, gr, b);
  text_print(t, "F1-F4 zoom, F5 walk, F6 map, Tab command line; kelvarot --help");
  draw_small_text(fb, t, 12, fb.height - 27, r, gr, b);
  text_print(t, "%s", notice_text(g));
  draw_small_text(fb, t, 12, 14, r, gr, b);

  text_print(t, "SX=%d,SY=%d,SZ=%d mx=%d my=%d su%d", run.SX, run.SY, run.SZ, run.pointer_x,
             run.pointer_y, run.selected_unit);
  draw_large_text(fb, t, 12, 58, r, gr, b);
  snprintf(g.status[0], sizeof g.status[0], "%s", t.s);

  if (run.selected_unit >= 0 && run.selected_unit < kUnitTableSize) {
    const UnitRecord& u = unit(g.units, run.selected_unit);
    text_print(t, "movex%d movey%d rendu%d ux%d uy%d", u.target_x, u.target_y,
               g.path.path_cursor[run.selected_unit], u.waypoint_x, u.waypoint_y);
  }
  draw_large_text(fb, t, 12, 45, r, gr, b);
  snprintf(g.status[1], sizeof g.status[1], "%s", t.s);

  const UnitRecord& plan = unit(g.units, kPlanningRecord);
  const UnitRecord& sel =
      unit(g.units,
           run.selected_unit >= 0 && run.selected_unit < kUnitTableSize ? run.selected_unit : 0);
  text_print(t, "x%d y%d mx%d my%d us%d ux%d uy%d", plan.x, plan.y, plan.target_x, plan.target_y,
             sel.order_state, sel.x, sel.y);
  draw_large_text(fb, t, 12, 32, r, gr, b);
  snprintf(g.status[2], sizeof g.status[2], "%s", t.s);
}
