// Weak stand-ins for subsystems that have not landed yet; each real
// definition replaces its stand-in at link time. This file goes once all have landed.
#include <cstdarg>
#include <cstdio>

#include "console/commandline.h"
#include "render/line.h"
#include "render/text.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "views/blockview.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"
#include "world/bitmap.h"
#include "world/catalogue.h"
#include "world/items.h"
#include "world/mapfile.h"
#include "world/population.h"
#include "shell/runstate.h"

#define WEAK __attribute__((weak))

WEAK bool load_bitmap_from_memory(BitmapStore&, int32_t, const uint8_t*, size_t) { return false; }
WEAK bool load_bitmap(BitmapStore&, const char*, int32_t) { return false; }
WEAK void create_item_table(ItemTable& t) { t.items = std::make_unique<ItemType[]>(kItemTypeCount); }
WEAK void release_item_table(ItemTable& t) { t.items.reset(); }
WEAK void fill_item_types(ItemTable&) {}
WEAK std::string map_file_path(const std::string& d, int32_t n) {
  return d + "/map/" + std::to_string(n) + ".overworld";
}
WEAK int64_t load_overworld_map(World&, const std::string&, uint32_t) { return -1; }
WEAK void build_coarse_map(World&) {}
WEAK void scatter_objects(World&, Rng&) {}
WEAK void place_units(const World&, UnitTable&, Rng&) {}
WEAK void build_trig_tables(TrigTables&) {}
WEAK void release_trig_tables(TrigTables& t) {
  t.sine.reset();
  t.cosine.reset();
}
WEAK void setup_centred_search(PathSearch&, const World&, int32_t, int32_t, int32_t, int32_t,
                               int32_t, int32_t) {}
WEAK void setup_search_at_origin(PathSearch&, const World&, int32_t, int32_t, int32_t, int32_t,
                                 int32_t, int32_t, int32_t, int32_t) {}
WEAK void run_search(PathSearch&, const World&, int32_t) {}
WEAK void store_unit_path(PathSearch&, int32_t) {}
WEAK int32_t next_path_step(PathSearch&, const World&, UnitTable&, int32_t, int32_t, int32_t,
                            int32_t, int32_t) {
  return 0;
}
WEAK int32_t coarse_route_step(PathSearch&, const World&, UnitTable&, int32_t, int32_t, int32_t,
                               int32_t, int32_t, int32_t) {
  return 0;
}
WEAK void give_order(UnitTable&, PathSearch&, int32_t, int32_t, int32_t) {}
WEAK void order_unit1_random(const World&, UnitTable&, PathSearch&, Rng&) {}
WEAK void wander_orders(const World&, UnitTable&, PathSearch&, Rng&) {}
WEAK void movement_tick(const World&, UnitTable&, PathSearch&, Rng&) {}
WEAK void text_print(TextBuffer& t, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(t.s, sizeof t.s, fmt, ap);
  va_end(ap);
}
WEAK void draw_small_text(Framebuffer&, const TextBuffer&, int32_t, int32_t, uint8_t, uint8_t,
                          uint8_t) {}
WEAK void draw_large_text(Framebuffer&, const TextBuffer&, int32_t, int32_t, uint8_t, uint8_t,
                          uint8_t) {}
WEAK void draw_line(Framebuffer&, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t, uint8_t) {}
WEAK void draw_cursor(Framebuffer&, int32_t, int32_t) {}
WEAK void draw_overworld_view(Framebuffer&, const RunState&, const World&, const BitmapStore&,
                              const UnitTable&, const PathSearch&, TextBuffer&) {}
WEAK bool pointer_strictly_inside_minimap(const RunState& run, int32_t x, int32_t y) {
  return x > run.minimap_x && x < run.minimap_x + 64 && y > run.minimap_y &&
         y < run.minimap_y + 64;
}
WEAK void minimap_jump(RunState&, bool, int32_t, int32_t) {}
WEAK void draw_minimap(Framebuffer&, const RunState&, const World&, const UnitTable&) {}
WEAK void draw_screensaver_view(Framebuffer&, int32_t, const TrigTables&, Rng&) {}
WEAK void draw_block_view(Framebuffer&, RunState&, const World&, UnitTable&, BlockViewState&,
                          Platform&, bool) {}
WEAK void command_line_step(CommandLine&, Platform&, RunState&, Framebuffer&, World&, UnitTable&,
                            TextBuffer&) {}
