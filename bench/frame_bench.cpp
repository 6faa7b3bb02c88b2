// One bare frame (clear and present) offscreen at 640 x 480, zoom 1 and 2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/geometry.h"
#include "render/framebuffer.h"
#include "render/present.h"
#include "shell/platform_sdl.h"
#include "views/blockview.h"
#include "world/bitmap.h"

namespace {

void BM_ClearAndPresent(benchmark::State& state) {
  const int zoom = int(state.range(0));
  SdlDisplay display(true, false);
  std::string error;
  if (!display.create_window("KELVAROT", kOverworldWidth * zoom, kOverworldHeight * zoom, &error)) {
    state.SkipWithError(("no offscreen GL context: " + error).c_str());
    return;
  }
  BitmapStore bitmaps;
  create_bitmap_store(bitmaps);
  BlockViewState bv;
  resize_gl();
  init_gl(bv, bitmaps);
  Framebuffer fb;
  set_resolution(fb, kOverworldWidth, kOverworldHeight);
  for (auto _ : state) {
    clear_frame(fb, true);
    present(fb, zoom, display, true);
  }
  release_bitmap_store(bitmaps);
}
BENCHMARK(BM_ClearAndPresent)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
