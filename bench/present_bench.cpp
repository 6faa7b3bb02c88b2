// The present of one frame into a real window (an X server: run under Xvfb or
// a desktop) beside a bare copy of the same bytes, zoom 1 to 3, at the
// overworld's and the block view's picture sizes. Both are timed in the same
// loop, alternately, as process CPU (the X library's work counts), so a busy
// machine slows them alike; "ratio" is present / copy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "render/framebuffer.h"
#include "render/present.h"
#include "shell/platform_sdl.h"

namespace {

double process_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Arg 0: zoom; arg 1: 0 overworld, 1 block view.
void BM_PresentBesideCopy(benchmark::State& state) {
  const int32_t zoom = int32_t(state.range(0));
  const bool block = state.range(1) == 1;
  Framebuffer fb;
  set_resolution(fb, block ? kBlockViewWidth : kOverworldWidth,
                 block ? kBlockViewHeight : kOverworldHeight);
  // a busy picture: no run of equal pixels for the copy or the widening to exploit
  uint32_t v = 12345;
  for (uint8_t& b : fb.pixels) b = uint8_t((v = v * 1103515245u + 12345u) >> 24);
  // one display for the run, as in the game: only the window is made anew
  static SdlDisplay display(/*headless=*/false, /*vsync=*/false);
  display.destroy_window();
  std::string error;
  FrameTarget t;
  if (!display.create_window("KELVAROT", fb.width * zoom, fb.height * zoom, &error) ||
      !display.frame_target(&t)) {
    state.SkipWithError(("no window to present to (needs an X server): " + error).c_str());
    return;
  }
  PresentState st;
  const size_t bytes = size_t(t.width) * size_t(t.height) * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  double present_ms = 0, copy_ms = 0;
  for (auto _ : state) {
    fb.pixels[fb.pixels.size() - 4] ^= 1;  // a new picture, found so at the last pixel
    double t0 = process_ms();
    present(fb, zoom, display, st);
    present_ms += process_ms() - t0;
    t0 = process_ms();
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
    copy_ms += process_ms() - t0;
  }
  const double n = double(std::max<int64_t>(state.iterations(), 1));
  state.counters["present_cpu_ms"] = present_ms / n;
  state.counters["copy_cpu_ms"] = copy_ms / n;
  state.counters["ratio"] = present_ms / std::max(copy_ms, 1e-9);
  state.counters["presented"] = double(st.count);
}
BENCHMARK(BM_PresentBesideCopy)
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->ArgNames({"zoom", "block"})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
