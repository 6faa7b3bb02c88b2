// One overworld frame without the present, and one screensaver renewal frame,
// at 640 x 480. The world comes from the generated data beside the build
// (KV_DATA_DIR overrides); whatever is missing there is made up here.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/keys.h"
#include "render/line.h"
#include "shell/game.h"
#include "shell/script.h"
#include "shell/status.h"
#include "support/null_display.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"
#include "world/catalogue.h"
#include "world/population.h"

namespace {

std::string data_dir() {
  if (const char* d = std::getenv("KV_DATA_DIR")) return d;
  char exe[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string path = n > 0 ? std::string(exe, size_t(n)) : std::string(".");
  // build/bench/overworld_bench -> build
  for (int up = 0; up < 2; ++up) {
    const size_t slash = path.rfind('/');
    path = slash == std::string::npos ? "." : path.substr(0, slash);
  }
  return path;
}

uint32_t mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  return x ^ (x >> 16);
}

// Land codes in rough proportion, for when no map was generated.
void synthetic_terrain(World& w) {
  static const uint8_t kLand[] = {10, 10, 10, 10, 11, 12, 13, 14, 15, 16,  17,
                                  18, 19, 20, 21, 22, 23, 24, 60, 61, 180, 191};
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t y = 0; y < w.side; ++y)
      for (int32_t x = 0; x < w.side; ++x)
        set_cell(w, x, y, z,
                 kLand[mix(uint32_t(x / 3) * 7919u + uint32_t(y / 3) * 104729u + uint32_t(z)) %
                       std::size(kLand)]);
  build_coarse_map(w);
}

// 16 x 16 pictures in every catalogue slot, with some keyed pixels.
void synthetic_pictures(BitmapStore& bm) {
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    Bitmap& b = bm.slots[kCatalogue[i].slot];
    if (b.pixels) continue;
    b.width = b.height = 16;
    b.bytes_per_pixel = 3;
    b.pixels = std::make_unique<uint8_t[]>(16 * 16 * 3);
    for (int32_t p = 0; p < 256; ++p) {
      const uint32_t v = mix(uint32_t(i * 256 + p));
      const bool keyed = (p % 16 < 3);
      b.pixels[p * 3 + 0] = keyed ? 255 : uint8_t(v);
      b.pixels[p * 3 + 1] = keyed ? 0 : uint8_t(v >> 8);
      b.pixels[p * 3 + 2] = keyed ? 246 : uint8_t(v >> 16);
    }
  }
}

struct BenchGame {
  NullDisplay display;
  std::unique_ptr<ScriptInput> input;
  std::unique_ptr<Game> game = std::make_unique<Game>();

  BenchGame() {
    std::vector<ScriptEvent> events;
    std::string error;
    parse_script("0 pointer 300 200\n", &events, &error);  // on the terrain, off the minimap
    input = std::make_unique<ScriptInput>(std::move(events));
    Game& g = *game;
    g.platform.input = input.get();
    g.platform.display = &display;
    StartOptions opt;
    opt.data_dir = data_dir();
    opt.seed = 3;
    opt.report_missing = false;
    start_game(g, opt);
    input->begin_pass(0);
    const bool have_map = g.loaded.map_loaded >= int64_t(g.world.stride) * 3;
    if (!have_map) synthetic_terrain(g.world);
    if (g.loaded.bitmaps_loaded < kCatalogueSize) synthetic_pictures(g.bitmaps);
    std::fprintf(stderr, "data %s: map %s, %d of %d pictures loaded\n", opt.data_dir.c_str(),
                 have_map ? "generated" : "synthetic", g.loaded.bitmaps_loaded, kCatalogueSize);

    // A busy view: twenty units inside the window, and a route for the selected one.
    RunState& run = g.run;
    run.SX = 300;
    run.SY = 300;
    run.SZ = 1;
    for (int32_t i = 1; i <= 20; ++i) {
      UnitRecord& u = unit(g.units, i);
      u.in_use = 1;
      u.kind = 1;
      u.inactive = 0;
      u.sprite = kPlacedUnitSprite;
      u.bar_max = 24.0f;
      u.bar_value = float(i);
      u.order_flag = uint16_t(i % 2);
      u.x = uint16_t(run.SX + (i * 7) % 40);
      u.y = uint16_t(run.SY + (i * 11) % 30);
      u.level = 1;
    }
    run.selected_unit = 1;
    for (int32_t i = 0; i < 30; ++i) {
      g.path.path_x[kUnitPathCapacity + i] = run.SX + 5 + i;
      g.path.path_y[kUnitPathCapacity + i] = run.SY + 3 + i / 2;
    }
    g.path.path_cursor[1] = 29;
  }
  ~BenchGame() { shutdown_game(*game); }
};

// The software drawing of an overworld pass, as the loop calls it: the
// views, banner and status, minimap and cursor.
void overworld_frame(Game& g) {
  Platform& p = g.platform;
  RunState& run = g.run;
  p.input->pointer(g.fb.width, g.fb.height, &run.pointer_x, &run.pointer_y);
  clear_pixels(g.fb);
  draw_overworld_view(g.fb, run, g.world, g.bitmaps, g.units, g.path, g.text);
  draw_banner_and_status(g);
  if (run.minimap_shown) {
    minimap_jump(run, key_down(p, kVkRButton), run.pointer_x, run.pointer_y);
    draw_minimap(g.fb, run, g.world, g.units);
  }
  draw_cursor(g.fb, run.pointer_x, run.pointer_y);
}

BenchGame& bench_game() {
  static BenchGame b;
  return b;
}

void BM_OverworldDrawing(benchmark::State& state) {
  Game& g = *bench_game().game;
  for (auto _ : state) {
    overworld_frame(g);
    benchmark::DoNotOptimize(g.fb.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OverworldDrawing)->Unit(benchmark::kMicrosecond);

void BM_ScreensaverRenewalFrame(benchmark::State& state) {
  Game& g = *bench_game().game;
  for (auto _ : state) {
    clear_pixels(g.fb);
    draw_screensaver_view(g.fb, 0, g.rng);  // frame 0: renewal
    benchmark::DoNotOptimize(g.fb.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ScreensaverRenewalFrame)->Unit(benchmark::kMicrosecond);

void BM_ScreensaverCopyFrame(benchmark::State& state) {
  Game& g = *bench_game().game;
  for (auto _ : state) {
    clear_pixels(g.fb);
    draw_screensaver_view(g.fb, 1, g.rng);
    benchmark::DoNotOptimize(g.fb.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ScreensaverCopyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
