#include <algorithm>
#include <cstdio>
#include <ctime>

#include "console/commandline.h"
#include "core/geometry.h"
#include "shell/game.h"
#include "shell/window.h"
#include "world/catalogue.h"
#include "world/mapfile.h"

namespace {

// Start-up loading: the stores in their fixed order, then the pictures and tables.
void startup_loading(Game& g, const StartOptions& opt) {
  set_resolution(g.fb, g.fb.width, g.fb.height);
  create_world_grid(g.world);
  create_bitmap_store(g.bitmaps);
  create_unit_table(g.units);
  create_object_table(g.world);
  create_item_table(g.items);
  create_path_search(g.path, g.world.side);
  const CatalogueLoad load = load_catalogue(g.bitmaps, opt.data_dir);
  g.loaded.bitmaps_loaded = load.loaded;
  if (load.failed > 0 && opt.report_missing)
    std::fprintf(stderr, "kelvarot: %d of %d pictures failed to load (%s)\n", load.failed,
                 load.loaded + load.failed, load.first_failed.c_str());
  fill_terrain_costs(g.world);
  build_trig_tables(g.trig);
  create_token_slots(g.console);
  fill_item_types(g.items);
  UnitRecord& u1 = unit(g.units, 1);
  u1.fx = u1.fy = u1.fz = 0.5f;
}

}  // namespace

bool start_game(Game& g, const StartOptions& opt) {
  set_world_side(g.world, kWorldSide);                                   // 1
  set_resolution(g.fb, kOverworldWidth, kOverworldHeight);               // 2
  g.run.zoom = 2;
  startup_loading(g, opt);                                               // 3
  if (!create_game_window(g)) return false;                              // 4
  const std::string map_path = map_file_path(opt.data_dir, kMapNumber);  // 5
  g.loaded.map_loaded = load_overworld_map(g.world, map_path, 3);
  if (g.loaded.map_loaded >= 0) pause_ms(g.platform, 1000);
  const int64_t full = int64_t(g.world.stride) * 3;
  if (opt.report_missing && g.loaded.map_loaded < 0)
    std::fprintf(stderr, "kelvarot: map file %s is missing; the world starts empty\n",
                 map_path.c_str());
  else if (opt.report_missing && g.loaded.map_loaded < full)
    std::fprintf(stderr, "kelvarot: map file %s is short (%lld of %lld bytes)\n",
                 map_path.c_str(), static_cast<long long>(g.loaded.map_loaded),
                 static_cast<long long>(full));
  build_coarse_map(g.world);                                             // 6
  scatter_objects(g.world, g.rng);                                       // 7
  rng_seed(g.rng, opt.seeded ? opt.seed : uint32_t(std::time(nullptr))); // 8
  g.run.selected_unit = 1;                                               // 9
  UnitRecord& u0 = unit(g.units, 0);
  u0.in_use = 0;
  u0.sprite = 0;
  u0.order_flag = 0;
  place_units(g.world, g.units, g.rng);                                  // 10
  const UnitRecord& sel = unit(g.units, g.run.selected_unit);            // 11
  const int32_t side = g.world.side;
  g.run.SX = std::clamp<int32_t>(sel.x, 1, side - 1 - g.fb.width / kCellPixels);
  g.run.SY = std::clamp<int32_t>(sel.y, 1, side - 1 - g.fb.height / kCellPixels);
  g.run.SZ = std::clamp<int32_t>(sel.level, 0, kLevelCount - 1);
  return true;                                                           // 12
}

void shutdown_game(Game& g) {
  release_framebuffer(g.fb);
  release_world_grid(g.world);
  release_bitmap_store(g.bitmaps);
  release_unit_table(g.units);
  release_object_table(g.world);
  release_item_table(g.items);
  release_path_search(g.path);
  release_trig_tables(g.trig);
  release_token_slots(g.console);
}
