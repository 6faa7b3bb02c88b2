// The map loader on arbitrary maps, then three passes of the game on each. The input, repeated,
// fills the three levels of a scratch map (any period draws stripes, blocks or diagonals). The
// game starts once, without pictures (drawing them would take most of the time, the same for
// any map); each map is loaded into it and what start-up builds on a map is built again. Each pass
// ticks: unit 1 is ordered, the next unit selected, the block view walked, the level and view
// changed. Wander orders (every unit planning at once) would cost a tenth of a second an input.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/geometry.h"
#include "fuzz_check.h"
#include "shell/loop.h"
#include "shell/script.h"
#include "support/null_display.h"
#include "units/placement.h"
#include "world/mapfile.h"
#include "world/population.h"

namespace {

namespace fs = std::filesystem;
constexpr int kPasses = 3;  // from pass 1: pass 0 gives every unit a wander order
const char kTour[] =
    "1 pointer 100 100\n1 click right\n1 tap N\n2 tap RBRACKET\n2 tap F5\n"
    "3 button left down\n3 tap ADD\n3 key RIGHT down\n3 tap F6\n";

struct Scratch {
  fs::path dir;
  std::vector<ScriptEvent> tour;
  NullDisplay display;
  Game g;
  Scratch() {
    char made[] = "/tmp/kv_map_fuzz.XXXXXX";
    check(mkdtemp(made) != nullptr, "no scratch folder");
    dir = made;
    fs::create_directories(dir / "map");
    std::string error;
    check(parse_script(kTour, &tour, &error), "the tour does not parse");
    g.platform.display = &display;
    check(start_game(g, StartOptions{dir.string(), 7, false, ""}), "start-up failed");
  }
  ~Scratch() { shutdown_game(g), fs::remove_all(dir); }
};

// What start-up builds on a map, from the same seeds; a fresh run state.
void rebuild_on_map(Game& g) {
  build_coarse_map(g.world);
  std::fill_n(g.world.objects.get(), g.world.object_count, PlacedObject{});
  g.world.object_count = 0;
  scatter_objects(g.world, g.rng);
  rng_seed(g.rng, 7);
  std::fill_n(g.units.records.get(), kUnitTableSize, UnitRecord{});
  UnitRecord& u1 = unit(g.units, 1);
  u1.fx = u1.fy = u1.fz = 0.5f;
  place_units(g.world, g.units, g.rng);
  // no unit has a route yet, and no tree of the last map is kept
  std::fill_n(g.path.path_cursor.get(), kUnitTableSize, kNoPath);
  std::fill_n(g.path.path_length.get(), kUnitTableSize, 0);
  create_kept_trees(g.path, 16);
  set_resolution(g.fb, kOverworldWidth, kOverworldHeight);
  g.run = RunState{.frame = 1, .tick_divisor = 1.0f};
  g.run.SX = std::clamp<int32_t>(u1.x, 1, g.world.side - 1 - kOverworldWidth / kCellPixels);
  g.run.SY = std::clamp<int32_t>(u1.y, 1, g.world.side - 1 - kOverworldHeight / kCellPixels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  if (size == 0) return 0;
  const size_t full = size_t(kWorldSide) * kWorldSide * 3;
  static std::vector<char> map(full);
  std::memcpy(map.data(), data, std::min(size, full));
  for (size_t have = std::min(size, full); have < full; have *= 2)
    std::memcpy(map.data() + have, map.data(), std::min(have, full - have));
  const std::string path = map_file_path(scratch.dir.string(), kMapNumber);
  check(bool(std::ofstream(path, std::ios::binary).write(map.data(), std::streamsize(full))),
        "cannot write the map");
  Game& g = scratch.g;
  std::string why;
  check(load_overworld_map(g.world, path, 3, &why) == int64_t(full), "the map did not load whole");
  rebuild_on_map(g);
  ScriptInput input(scratch.tour);
  g.platform.input = &input;
  Session session;
  for (int pass = 0; pass < kPasses; ++pass) {
    run_pass(g, session);
    for (int32_t i = 1; i < kUnitTableSize; ++i) {
      const UnitRecord& u = unit(g.units, i);
      if ((u.in_use != 1 && i != 1) || i == kPlanningRecord) continue;
      check(u.x < kWorldSide && u.y < kWorldSide && u.level < kLevelCount, "a unit left the world");
    }
    check(g.run.SX >= 0 && g.run.SY >= 0 && g.run.SZ >= 0 && g.run.SZ < kLevelCount,
          "the view left the world");
  }
  return 0;
}
