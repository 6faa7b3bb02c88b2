// The first planning tick on map 8, the heaviest of a run: every wanderer
// plans a coarse route and a first leg at once, as after the wander orders of
// frame 0. BM_FirstPlanningTickFromKeptTrees runs it once searching ahead has grown
// its search trees; BM_FirstPlanningTickLiteralScan makes the same searches with the
// tests' literal linear scan, for comparison.
//   build/bench/movement_bench [--benchmark_repetitions=N]
// The map is read from the build folder (map/8.overworld beside the game),
// or from the folder named by KV_DATA_DIR.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "pathsearch_oracle.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "units/placement.h"
#include "units/units.h"
#include "world/mapfile.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/world.h"

namespace {

std::string data_dir() {
  if (const char* d = std::getenv("KV_DATA_DIR")) return d;
  // bench programs live in <build>/bench/, the game's data in <build>/
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string();
}

// The world and tables as start-up leaves them, with every wanderer ordered.
struct Scene {
  World world;
  UnitTable units;
  PathSearch path;
  Rng rng;
  std::unique_ptr<UnitRecord[]> units_before;  // kUnitTableSize
  Rng rng_before;
  int32_t planners = 0;  // units that plan a leg in the timed tick
  bool ready = false;
};

Scene& scene() {
  static Scene s;
  if (s.ready) return s;
  set_world_side(s.world, kWorldSide);
  create_world_grid(s.world);
  create_object_table(s.world);
  create_unit_table(s.units);
  create_path_search(s.path, s.world.side);
  const std::string map = map_file_path(data_dir(), kMapNumber);
  if (load_overworld_map(s.world, map, 3) != int64_t(s.world.stride) * 3) {
    std::fprintf(stderr, "movement_bench: cannot read %s whole\n", map.c_str());
    std::exit(1);
  }
  build_coarse_map(s.world);
  scatter_objects(s.world, s.rng);
  rng_seed(s.rng, 7);
  place_units(s.world, s.units, s.rng);
  wander_orders(s.world, s.units, s.path, s.rng);
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const UnitRecord& u = unit(s.units, i);
    if (u.in_use == 1 && u.order_flag == 1 && u.order_state == kNewOrder) ++s.planners;
  }
  s.units_before = std::make_unique<UnitRecord[]>(kUnitTableSize);
  std::copy(s.units.records.get(), s.units.records.get() + kUnitTableSize, s.units_before.get());
  s.rng_before = s.rng;
  s.ready = true;
  return s;
}

void restore(Scene& s) {
  std::copy(s.units_before.get(), s.units_before.get() + kUnitTableSize, s.units.records.get());
  for (int32_t i = 0; i < kUnitTableSize; ++i) s.path.path_cursor[i] = kNoPath;
  s.rng = s.rng_before;
}

void BM_FirstPlanningTick(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) {
    state.PauseTiming();
    restore(s);
    state.ResumeTiming();
    movement_tick(s.world, s.units, s.path, s.rng);
  }
  int32_t moved = 0;
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const UnitRecord& u = unit(s.units, i);
    const UnitRecord& b = s.units_before[i];
    if (u.in_use == 1 && (u.x != b.x || u.y != b.y)) ++moved;
  }
  state.counters["planners"] = s.planners;
  state.counters["moved"] = moved;
}
BENCHMARK(BM_FirstPlanningTick)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same tick once searching ahead has grown the trees it asks for, as the frames
// before it do in the game.
void BM_FirstPlanningTickFromKeptTrees(benchmark::State& state) {
  Scene& s = scene();
  static PathSearch path;
  if (!path.kept) {
    create_path_search(path, s.world.side);
    create_kept_trees(path, 640);
  }
  for (auto _ : state) {
    state.PauseTiming();
    restore(s);
    for (int32_t i = 0; i < kUnitTableSize; ++i) path.path_cursor[i] = kNoPath;
    search_ahead(path, s.world, s.units, INT64_MAX, 1);
    state.ResumeTiming();
    movement_tick(s.world, s.units, path, s.rng);
  }
}
BENCHMARK(BM_FirstPlanningTickFromKeptTrees)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The searches of that tick made by the reference: each planner's coarse route, then
// its first leg to the waypoint the real tick chose.
void BM_FirstPlanningTickLiteralScan(benchmark::State& state) {
  Scene& s = scene();
  restore(s);
  movement_tick(s.world, s.units, s.path, s.rng);
  const std::unique_ptr<UnitRecord[]> after = std::make_unique<UnitRecord[]>(kUnitTableSize);
  std::copy(s.units.records.get(), s.units.records.get() + kUnitTableSize, after.get());
  static OracleSearch oracle;
  if (oracle.side == 0) oracle_create(oracle, s.world.side);
  for (auto _ : state) {
    state.PauseTiming();
    restore(s);
    state.ResumeTiming();
    for (int32_t i = 0; i < kUnitTableSize; ++i) {
      const UnitRecord& b = s.units_before[i];
      if (b.in_use != 1 || b.order_flag != 1 || b.order_state != kNewOrder) continue;
      UnitRecord& plan = unit(s.units, kPlanningRecord);
      plan.x = uint16_t(b.x / 16);
      plan.y = uint16_t(b.y / 16);
      plan.level = uint16_t(b.level + kCoarseLevelBase);
      oracle_coarse_route_step(oracle, s.world, s.units, kPlanningRecord, b.target_x / 16,
                               b.target_y / 16, kSearchWindow, 0, 0);
      oracle.path_cursor[i] = kNoPath;
      oracle_next_path_step(oracle, s.world, s.units, i, after[i].waypoint_x, after[i].waypoint_y,
                            kSearchWindow);
    }
  }
}
BENCHMARK(BM_FirstPlanningTickLiteralScan)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
