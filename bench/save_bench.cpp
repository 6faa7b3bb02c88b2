// Saving a running game and loading it back: 300 passes of map 8 with every wanderer walking,
// and 1,000 cells edited around the units. BM_SaveRunningGame makes the save and writes it
// (temporary + rename); BM_LoadSave reads, checks and puts it in place, the map's checksum
// included. The counter save_bytes is the size of the save. BM_TakeBaseline is what a run that
// may save pays at start-up for the copy of the grid its saves are measured against.
//   build/bench/save_bench   (the map from the build folder, or KV_DATA_DIR)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "shell/loop.h"
#include "shell/save.h"
#include "shell/script.h"
#include "support/null_display.h"

namespace {

std::string data_dir() {
  if (const char* d = std::getenv("KV_DATA_DIR")) return d;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string();
}

struct Running {
  NullDisplay display;
  ScriptInput input{{}};
  std::unique_ptr<Game> game = std::make_unique<Game>();
  Session session;
  std::string path = std::filesystem::temp_directory_path() / "kelvarot_save_bench.sav";
  bool ready = false;
};

Running& running() {
  static Running r;
  if (r.ready) return r;
  Game& g = *r.game;
  g.platform = Platform{&r.input, &r.display};
  if (!start_game(g, StartOptions{data_dir(), 5, false, ""}) || g.loaded.map_loaded <= 0) {
    std::fprintf(stderr, "save_bench: no map in %s\n", data_dir().c_str());
    std::exit(1);
  }
  take_baseline(g.world, g.baseline);
  for (int i = 0; i < 300; ++i) run_pass(g, r.session);
  std::mt19937 pick(11);
  for (int edits = 0; edits < 1000; ++edits) {
    const UnitRecord& u = unit(g.units, 2 + edits % 254);
    set_cell(g.world, u.x + int32_t(pick() % 9) - 4, u.y + int32_t(pick() % 9) - 4, u.level,
             uint8_t(1 + pick() % 3));
  }
  r.ready = true;
  return r;
}

void BM_SaveRunningGame(benchmark::State& state) {
  Running& r = running();
  std::string why;
  for (auto _ : state)
    if (!write_save(r.path, *r.game, r.session, &why)) state.SkipWithError(why.c_str());
  state.counters["save_bytes"] = double(std::filesystem::file_size(r.path));
  state.counters["cells_changed"] = double(changed_cells(r.game->world, r.game->baseline).size());
}
BENCHMARK(BM_SaveRunningGame)->Unit(benchmark::kMillisecond);

void BM_LoadSave(benchmark::State& state) {
  Running& r = running();
  Game& g = *r.game;
  std::string error;
  if (!write_save(r.path, g, r.session, &error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    SaveData d;
    benchmark::DoNotOptimize(start_checksum(g.world));  // a load without a baseline makes it
    if (!read_save_file(r.path, &d, &error) || !apply_save(g, r.session, d, r.path, &error))
      state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_LoadSave)->Unit(benchmark::kMillisecond);

void BM_TakeBaseline(benchmark::State& state) {
  Game& g = *running().game;
  GridBaseline b;
  for (auto _ : state) take_baseline(g.world, b);
}
BENCHMARK(BM_TakeBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
