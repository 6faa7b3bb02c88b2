// Drawing a 4096 x 4096 picture (the largest the reader accepts) onto the
// 640 x 480 overworld picture: draw_tile and draw_sprite against the plain
// loop that clips every pixel of the picture, in one run, CPU time. The
// argument says where the picture lands: 0 covers the whole view, 1 shows
// only its 96 x 96 top-right corner at the bottom-left, 2 lies off-screen.
#include <benchmark/benchmark.h>

#include <memory>

#include "render/framebuffer.h"
#include "views/tiles.h"
#include "world/bitmap.h"

namespace {

constexpr int32_t kSlot = 5, kSide = 4096;
constexpr int32_t kPlaces[][2] = {{-100, -100}, {96 - kSide, 96 - kSide}, {700, 0}};

struct Scene {
  Framebuffer fb;
  BitmapStore bm;
  Scene() {
    set_resolution(fb, 640, 480);
    create_bitmap_store(bm);
    Bitmap& b = bm.slots[kSlot];
    b.width = b.height = kSide, b.bytes_per_pixel = 3;
    b.pixels = std::make_unique<uint8_t[]>(size_t(kSide) * kSide * 3);
    for (size_t i = 0; i < size_t(kSide) * kSide * 3; ++i) b.pixels[i] = uint8_t(i * 7 + i / 4099);
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

// Every pixel of the picture through the clipping put_pixel.
void per_pixel(Framebuffer& fb, const Bitmap& b, int32_t x, int32_t y, bool keyed) {
  for (int32_t r = 0; r < int32_t(b.height); ++r)
    for (int32_t c = 0; c < int32_t(b.width); ++c) {
      const uint8_t* p = &b.pixels[(size_t(r) * b.width + size_t(c)) * 3];
      if (keyed && ((p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] | p[1] | p[2]) == 0))
        continue;
      put_pixel(fb, x + c, y + r, p[0], p[1], p[2]);
    }
}

void BM_DrawTile(benchmark::State& state) {
  Scene& s = scene();
  const auto [x, y] = kPlaces[state.range(0)];
  for (auto _ : state) {
    draw_tile(s.fb, s.bm, x, y, kSlot);
    benchmark::DoNotOptimize(s.fb.pixels.data());
  }
}

void BM_DrawSprite(benchmark::State& state) {
  Scene& s = scene();
  const auto [x, y] = kPlaces[state.range(0)];
  for (auto _ : state) {
    draw_sprite(s.fb, s.bm, x, y, kSlot);
    benchmark::DoNotOptimize(s.fb.pixels.data());
  }
}

void BM_PerPixelClip(benchmark::State& state) {
  Scene& s = scene();
  const auto [x, y] = kPlaces[state.range(0)];
  for (auto _ : state) {
    per_pixel(s.fb, s.bm.slots[kSlot], x, y, false);
    benchmark::DoNotOptimize(s.fb.pixels.data());
  }
}

BENCHMARK(BM_DrawTile)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawSprite)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PerPixelClip)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
