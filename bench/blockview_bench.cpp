// A block view frame against a bare GL present (glDrawPixels) of the same
// 320 x 240 picture, both in the view's offscreen context (an EGL pbuffer,
// Mesa llvmpipe), each finished with glFinish so the GL work is counted, not
// just queued. The goal: the view's
// frame costs at most twice the present. BM_BlockViewBesideBarePresent times the two
// alternately, so a busy machine slows both alike; its "ratio" is the figure.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/present.h"
#include "shell/platform_sdl.h"
#include "units/units.h"
#include "views/blockview.h"
#include "world/bitmap.h"
#include "world/world.h"

namespace {

class NoInput : public InputSource {
 public:
  void begin_pass(int32_t) override {}
  bool key_down(int32_t) override { return false; }
  void pointer(int32_t, int32_t, int32_t* x, int32_t* y) override { *x = *y = 0; }
};

struct Bench {
  SdlDisplay display{/*headless=*/true, /*vsync=*/false};
  NoInput input;
  Platform platform;
  World world;
  UnitTable units;
  RunState run;
  BlockViewState bv;
  Framebuffer fb;
  BitmapStore bitmaps;

  Bench() {
    std::string error;
    if (!display.create_window("KELVAROT", 2 * kBlockViewWidth, 2 * kBlockViewHeight, &error) ||
        !display.use_gl(&error)) {
      std::fprintf(stderr, "blockview_bench: no offscreen GL context: %s\n", error.c_str());
      std::exit(1);
    }
    platform.input = &input;
    platform.display = &display;
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    create_unit_table(units);
    set_resolution(fb, kBlockViewWidth, kBlockViewHeight);
    create_bitmap_store(bitmaps);
    // bricks: dark mortar lines every 16 texels, offset every other course
    Bitmap& b = bitmaps.slots[1201];
    b.width = b.height = 64;
    b.bytes_per_pixel = 3;
    b.pixels = std::make_unique<uint8_t[]>(64 * 64 * 3);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const int shift = (y / 16) % 2 ? 8 : 0;
        const bool mortar = y % 16 == 0 || (x + shift) % 16 == 0;
        uint8_t* p = &b.pixels[size_t(y * 64 + x) * 3];
        p[0] = mortar ? 60 : uint8_t(150 + (x * 7 + y * 3) % 30);
        p[1] = mortar ? 60 : 80;
        p[2] = mortar ? 60 : 60;
      }
    resize_gl();
    init_gl(bv, bitmaps);
  }

  void wall(int32_t x, int32_t y, int32_t z) { set_cell(world, x, y, z, kTileWall); }

  // Rooms of 5 x 5 cells on a 7-cell grid joined by corridors, solid rock
  // above and below, filling the whole field around the camera.
  void enclosed_dungeon(int32_t cx, int32_t cy, int32_t cz) {
    for (int32_t y = cy - 20; y <= cy + 20; ++y)
      for (int32_t x = cx - 20; x <= cx + 20; ++x) {
        wall(x, y, cz - 1);
        wall(x, y, cz + 1);
        const int32_t mx = ((x - cx) % 7 + 7) % 7, my = ((y - cy) % 7 + 7) % 7;
        const bool room = mx >= 1 && mx <= 5 && my >= 1 && my <= 5;
        const bool doorway = mx == 3 || my == 3;
        if (!room && !doorway) wall(x, y, cz);
      }
  }

  // Map 8's surface: rock one level down everywhere, a walled ruin ahead.
  void surface_with_ruin(int32_t cx, int32_t cy, int32_t cz) {
    for (int32_t y = cy - 20; y <= cy + 20; ++y)
      for (int32_t x = cx - 20; x <= cx + 20; ++x) wall(x, y, cz + 1);
    for (int32_t i = 0; i < 9; ++i) {
      wall(cx - 4 + i, cy - 6, cz);
      wall(cx - 4 + i, cy - 14, cz);
      wall(cx - 4, cy - 14 + i, cz);
      if (i != 4) wall(cx + 4, cy - 14 + i, cz);
    }
  }

  void place_camera(int32_t x, int32_t y, int32_t z, float yaw, float pitch) {
    UnitRecord& u = unit(units, 1);
    u.in_use = 1;
    u.x = uint16_t(x);
    u.y = uint16_t(y);
    u.level = uint16_t(z);
    u.fx = u.fy = u.fz = 0.5f;
    run.SX = x;
    run.SY = y;
    run.SZ = z;
    bv.yaw = yaw;
    bv.pitch = pitch;
  }

  // The scenes lie apart in the one world.
  void scene(int64_t which) {
    if (which == 0) {
      enclosed_dungeon(512, 512, 40);
      place_camera(515, 515, 40, 30.0f, -90.0f);  // in a room, along a corridor
    } else if (which == 2) {
      // the same rooms seen along the columns, the field order's innermost
      // axis: neither it nor its reverse draws the near cubes first
      enclosed_dungeon(512, 512, 40);
      place_camera(515, 515, 40, 90.0f, -90.0f);
    } else {
      surface_with_ruin(300, 300, 1);
      place_camera(300, 300, 1, 0.0f, -75.0f);  // toward the ruin, a little down
    }
  }

  void block_view_frame() {
    clear_frame(fb);
    draw_block_view(fb, run, world, units, bv, platform, true);
    glFinish();
  }
  // GL drawing the same picture back, as a GL present would
  void bare_present() {
    glDisable(GL_TEXTURE_2D);
    glDrawPixels(fb.width, fb.height, GL_RGBA, GL_UNSIGNED_BYTE, fb.pixels.data());
    glEnable(GL_TEXTURE_2D);
    glFinish();
  }
};

// CPU time of the whole process, llvmpipe's rasterising threads included.
double process_cpu_ms() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-3;
}

// Runs the frame for every iteration and reports the all-threads CPU per frame.
template <class Fn>
void timed(benchmark::State& state, Fn frame) {
  const double start = process_cpu_ms();
  for (auto _ : state) frame();
  state.counters["all_threads_cpu_ms"] =
      (process_cpu_ms() - start) / double(std::max<int64_t>(state.iterations(), 1));
}

Bench& bench() {
  static Bench b;
  return b;
}

double ms_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

void BM_BarePresent(benchmark::State& state) {
  Bench& b = bench();
  timed(state, [&] { b.bare_present(); });
}
BENCHMARK(BM_BarePresent)->Unit(benchmark::kMicrosecond);

// Arg 0: an enclosed dungeon; 1: the surface over rock with a ruin; 2: the
// dungeon looking along the columns.
void BM_BlockViewFrame(benchmark::State& state) {
  Bench& b = bench();
  b.scene(state.range(0));
  const UnitRecord& u = unit(b.units, 1);
  const ViewPose pose = view_pose(b.bv.yaw, b.bv.pitch, u.fx, u.fy, 0.54f);
  int faces = 0, shown = 0;
  visit_block_field(b.world, u.x, u.y, u.level, [&](int32_t x, int32_t y, int32_t z, uint8_t f) {
    faces += std::popcount(unsigned(f));
    shown += cube_may_show(pose, x - u.x, u.y - y, z - u.level);
  });
  state.counters["faces"] = faces;
  state.counters["cubes_in_view"] = shown;
  timed(state, [&] { b.block_view_frame(); });
}
BENCHMARK(BM_BlockViewFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The block view frame and a bare present, alternately; ratio = view / present.
void BM_BlockViewBesideBarePresent(benchmark::State& state) {
  Bench& b = bench();
  b.scene(state.range(0));
  double view = 0, bare = 0;
  for (auto _ : state) {
    auto t = std::chrono::steady_clock::now();
    b.block_view_frame();
    view += ms_since(t);
    t = std::chrono::steady_clock::now();
    b.bare_present();
    bare += ms_since(t);
  }
  const double n = double(std::max<int64_t>(state.iterations(), 1));
  state.counters["view_ms"] = view / n;
  state.counters["present_ms"] = bare / n;
  state.counters["ratio"] = view / std::max(bare, 1e-9);
}
BENCHMARK(BM_BlockViewBesideBarePresent)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
