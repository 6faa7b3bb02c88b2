#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "console/commandline.h"
#include "core/geometry.h"
#include "core/quote.h"
#include "shell/game.h"
#include "shell/window.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "units/placement.h"
#include "world/catalogue.h"
#include "world/mapfile.h"
#include "world/population.h"

namespace {

// Search trees kept for the movement tick: a tick asks for at most a coarse route and a
// leg for each of the 255 units.
constexpr int32_t kKeptTrees = 640;

// Start-up loading: the stores in their fixed order, then the pictures and tables.
void startup_loading(Game& g, const StartOptions& opt) {
  set_resolution(g.fb, g.fb.width, g.fb.height);
  create_world_grid(g.world);
  create_bitmap_store(g.bitmaps);
  create_unit_table(g.units);
  create_object_table(g.world);
  create_item_table(g.items);
  create_path_search(g.path, g.world.side);
  create_kept_trees(g.path, kKeptTrees);
  const CatalogueLoad load = load_catalogue(g.bitmaps, opt.data_dir);
  g.loaded.bitmaps_loaded = load.loaded;
  g.loaded.first_failed = load.first_failed;
  g.loaded.pictures_there = load.loaded + load.unreadable + load.over_budget > 0;
  // with nothing loaded, the map's report says it in one line with the folders looked in
  if (load.failed > 0 && load.loaded > 0 && opt.report_missing)
    std::fprintf(stderr, "kelvarot: %d of %d pictures failed to load (%s)\n", load.failed,
                 load.loaded + load.failed, load.first_failed.c_str());
  if (load.unreadable > 0 && opt.report_missing)
    std::fprintf(stderr, "kelvarot: %d picture files are there but cannot be read (%s%s)\n",
                 load.unreadable, load.first_unreadable.c_str(),
                 load.unreadable > 1 ? ", ..." : "");
  if (load.over_budget > 0 && opt.report_missing)
    std::fprintf(stderr,
                 "kelvarot: %d pictures refused: together they would hold more than %d MiB of "
                 "pixels (%s%s)\n",
                 load.over_budget, int(kPixelBudgetBytes >> 20), load.first_over_budget.c_str(),
                 load.over_budget > 1 ? ", ..." : "");
  create_token_slots(g.console);
  fill_item_types(g.items);
  UnitRecord& u1 = unit(g.units, 1);
  u1.fx = u1.fy = u1.fz = 0.5f;
}

// The map's three levels; a loaded map's pause comes once the world is populated. False
// when neither a picture nor the map was there at all: the data folder is not where we looked.
bool load_map(Game& g, const StartOptions& opt) {
  const std::string map_path = map_file_path(opt.data_dir, kMapNumber);
  std::string why;
  g.loaded.map_loaded = load_overworld_map(g.world, map_path, 3, &why);
  const int64_t full = int64_t(g.world.stride) * 3;
  if (!opt.report_missing) return true;
  const std::string map = "map file " + quote_name(map_path);
  std::string map_note;
  if (g.loaded.map_loaded < 0 && !why.empty()) map_note = map + " cannot be read (" + why + ")";
  else if (g.loaded.map_loaded < 0) map_note = map + " is missing";
  else if (g.loaded.map_loaded < full)
    map_note = map + " is short (" + std::to_string(g.loaded.map_loaded) + " of " +
               std::to_string(full) + " bytes)";
  if (g.loaded.bitmaps_loaded > 0) {
    if (!map_note.empty())
      std::fprintf(stderr, "kelvarot: %s%s\n", map_note.c_str(),
                   g.loaded.map_loaded < 0 ? "; the world starts empty" : "");
    return true;
  }
  // with no pictures, one line says it all and names the folders looked in
  const std::string line = std::to_string(kCatalogueSize) + " of " +
                           std::to_string(kCatalogueSize) + " pictures failed to load (" +
                           g.loaded.first_failed + ")" +
                           (map_note.empty() ? "" : " and the " + map_note) + "; looked in " +
                           (opt.looked_in.empty() ? quote_name(opt.data_dir) : opt.looked_in);
  const bool nothing_there = !g.loaded.pictures_there && g.loaded.map_loaded < 0 && why.empty();
  if (!nothing_there) {
    std::fprintf(stderr, "kelvarot: %s\n", line.c_str());
    return true;
  }
  g.platform.display->show_message("no game data", line.c_str());
  return false;
}

// Objects are scattered under their own fixed seed before the run's seed is
// set, so the same map always carries the same objects; units are placed
// with the run's seed.
void populate(Game& g, const StartOptions& opt) {
  build_coarse_map(g.world);
  scatter_objects(g.world, g.rng);
  rng_seed(g.rng, opt.seed);
  g.run.selected_unit = 1;
  UnitRecord& u0 = unit(g.units, 0);
  u0.in_use = 0;
  u0.sprite = 0;
  u0.order_flag = 0;
  place_units(g.world, g.units, g.rng);
}

// The first view starts on the selected unit, a cell in from the world's edge.
void look_at_selected_unit(Game& g) {
  const UnitRecord& sel = unit(g.units, g.run.selected_unit);
  const int32_t side = g.world.side;
  g.run.SX = std::clamp<int32_t>(sel.x, 1, side - 1 - g.fb.width / kCellPixels);
  g.run.SY = std::clamp<int32_t>(sel.y, 1, side - 1 - g.fb.height / kCellPixels);
  g.run.SZ = std::clamp<int32_t>(sel.level, 0, kLevelCount - 1);
}

// The one-second pause a loaded map gets. The first planning tick's search trees grow in
// it, so that the frames before that tick have nothing left to search.
// The trees the first planning tick asks for grow inside the pause, which then sleeps
// only what is left of its second.
void map_pause(Game& g) {
  if (g.loaded.map_loaded < 0) return;
  const auto wall0 = std::chrono::steady_clock::now();
  const double t0 = thread_cpu_ms();
  search_ahead_of_wander_orders(g.world, g.units, g.path);
  g.ticks.map_pause_work_cpu_ms = thread_cpu_ms() - t0;
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - wall0);
  g.platform.display->pause_rest(1000, int32_t(std::min<int64_t>(spent.count(), 1000)));
}

}  // namespace

bool start_game(Game& g, const StartOptions& opt) {
  set_world_side(g.world, kWorldSide);
  set_resolution(g.fb, kOverworldWidth, kOverworldHeight);
  g.run.zoom = view_zoom(g.settings, true, 2);
  startup_loading(g, opt);
  if (!create_game_window(g) || !load_map(g, opt)) return false;
  populate(g, opt);
  look_at_selected_unit(g);
  map_pause(g);
  return true;
}

void shutdown_game(Game& g) {
  release_framebuffer(g.fb);
  release_world_grid(g.world);
  release_bitmap_store(g.bitmaps);
  release_unit_table(g.units);
  release_object_table(g.world);
  release_item_table(g.items);
  release_path_search(g.path);
  release_token_slots(g.console);
}
