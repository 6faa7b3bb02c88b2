// Full 64 x 64 window searches: our search against the linear-scan reference kept with
// the tests. Both expand the same nodes; only the way the next one is found differs.
// per_node is the time per node discovered.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <iterator>

#include "pathsearch_oracle.h"
#include "units/pathsearch.h"
#include "units/pathsearch_internal.h"
#include "units/units.h"
#include "world/world.h"

namespace {

constexpr int32_t kLevel = 1;
constexpr int32_t kWindow = 64;
constexpr int32_t kX = 512, kY = 512;  // start, in the middle of the world

enum Scene : int64_t {
  kWalledTarget = 0,  // plain ground, the target is a wall: the whole budget is spent
  kFarCorner = 1,     // plain ground, target clamped to the window's far corner
  kMixedGround = 2,   // every kind of enterable ground, target in the far corner
  kCountryside = 3,   // mostly plain, woods, hills, water, a few mountains; walled target
  kShortLeg = 4,      // countryside, target 16 cells away: a typical leg of a unit
};

// Enterable ground drawn in proportion: the random mix and the countryside.
constexpr uint8_t kMixed[] = {10, 10, 10, 11, 11, 12, 13, 14, 16, 17, 18, 19, 20, 22, 60, 68};
constexpr uint8_t kCountry[] = {
    10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10,
    10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10,
    11, 11, 11, 11, 11, 11, 23, 23, 24, 21, 18, 18, 18, 14, 14, 14, 22, 22, 12, 19,
};

struct Bench {
  World world;
  PathSearch ps;
  OracleSearch oracle;
  Bench() {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    create_path_search(ps, kWorldSide);
    oracle_create(oracle, kWorldSide);
  }
  // Paints the window around the start and returns the target to search for.
  void paint(Scene scene, int32_t& tx, int32_t& ty) {
    uint32_t seed = 12345;
    auto draw = [&](const uint8_t* codes, size_t count) {
      seed = seed * 1664525u + 1013904223u;
      return codes[(seed >> 16) % count];
    };
    for (int32_t y = kY - kWindow; y < kY + kWindow; ++y)
      for (int32_t x = kX - kWindow; x < kX + kWindow; ++x) {
        uint8_t code = kTilePlain;
        if (scene == kMixedGround) code = draw(kMixed, std::size(kMixed));
        if (scene == kCountryside || scene == kShortLeg) code = draw(kCountry, std::size(kCountry));
        set_cell(world, x, y, kLevel, code);
      }
    tx = kX + 100;
    ty = kY + 100;
    if (scene == kWalledTarget || scene == kCountryside) {
      tx = kX + 18;
      ty = kY + 18;
      set_cell(world, tx, ty, kLevel, kTileWall);
    }
    if (scene == kShortLeg) {
      tx = kX + 16;
      ty = kY - 5;
      set_cell(world, tx, ty, kLevel, kTilePlain);
    }
  }
};

Bench& bench() {
  static Bench b;
  return b;
}

void BM_PathSearch(benchmark::State& state) {
  Bench& b = bench();
  int32_t tx = 0, ty = 0;
  b.paint(Scene(state.range(0)), tx, ty);
  const PathRequest rq{.start_x = kX,
                       .start_y = kY,
                       .level = kLevel,
                       .target_x = tx,
                       .target_y = ty,
                       .window = kWindow};
  PathResult r;
  for (auto _ : state) {
    r = find_path(b.ps, b.world, rq);
    benchmark::DoNotOptimize(r);
  }
  const int32_t last = b.ps.work->last;
  state.counters["nodes"] = double(last + 1);
  state.counters["found"] = double(r.result == kFound);
  state.counters["per_node"] =
      benchmark::Counter(double(last + 1), benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

void BM_LiteralScanSearch(benchmark::State& state) {
  Bench& b = bench();
  int32_t tx = 0, ty = 0;
  b.paint(Scene(state.range(0)), tx, ty);
  for (auto _ : state) {
    oracle_setup_centred(b.oracle, kX, kY, tx, ty, kLevel, kWindow);
    oracle_run(b.oracle, b.world, kWindow * kWindow);
    benchmark::DoNotOptimize(b.oracle.result);
  }
  state.counters["nodes"] = double(b.oracle.last + 1);
  state.counters["found"] = double(b.oracle.result == 1);
  state.counters["per_node"] =
      benchmark::Counter(double(b.oracle.last + 1), benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_PathSearch)->DenseRange(kWalledTarget, kShortLeg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiteralScanSearch)
    ->DenseRange(kWalledTarget, kShortLeg)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
