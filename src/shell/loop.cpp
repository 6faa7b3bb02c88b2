#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "console/commandline.h"
#include "core/geometry.h"
#include "core/keys.h"
#include "render/line.h"
#include "render/present.h"
#include "shell/loop.h"
#include "shell/mouse.h"
#include "shell/notice.h"
#include "shell/screenshot.h"
#include "shell/status.h"
#include "shell/window.h"
#include "units/orders.h"
#include "units/pathsearch.h"
#include "views/blockview.h"
#include "views/minimap.h"
#include "views/overworld.h"
#include "views/screensaver.h"

namespace {

void set_resolution_and_window(Game& g, int32_t w, int32_t h, int32_t zoom) {
  set_resolution(g.fb, w, h);
  g.track.saver_renewed = false;  // the screensaver's layer starts black
  g.run.zoom = zoom;
  destroy_game_window(g);
  create_game_window(g);
}

// Arrows move the view one cell per pass; keypad plus and minus change the level (380 ms
// pause); then SX, SY, SZ are clamped into the world.
void view_navigation(RunState& run, Platform& p, const Framebuffer& fb, int32_t side) {
  if (key_down(p, kVkUp)) run.SY += 1;
  if (key_down(p, kVkDown)) run.SY -= 1;
  if (key_down(p, kVkRight)) run.SX += 1;
  if (key_down(p, kVkLeft)) run.SX -= 1;
  if (key_down(p, kVkAdd)) {
    run.SZ += 1;
    pause_ms(p, 380);
  }
  if (key_down(p, kVkSubtract)) {
    run.SZ -= 1;
    pause_ms(p, 380);
  }
  if (run.SY > side - fb.height / kCellPixels) run.SY = side - fb.height / kCellPixels;
  if (run.SY < 0) run.SY = 0;
  if (run.SX > side - fb.width / kCellPixels) run.SX = side - fb.width / kCellPixels;
  if (run.SX < 0) run.SX = 0;
  if (run.SZ > kLevelCount - 1) run.SZ = kLevelCount - 1;
  if (run.SZ < 0) run.SZ = 0;
}

// "[" and "]" step the selection and move the view to that unit (60 ms pause).
void selection_keys(Game& g) {
  RunState& run = g.run;
  auto look_at_selected = [&] {
    const UnitRecord& u = unit(g.units, run.selected_unit);
    run.SX = u.x;
    run.SY = u.y;
    run.SZ = u.level;
    pause_ms(g.platform, 60);
  };
  if (key_down(g.platform, kVkLBracket)) {
    if (run.selected_unit > 0) run.selected_unit -= 1;
    look_at_selected();
  }
  if (key_down(g.platform, kVkRBracket)) {
    if (run.selected_unit < kUnitTableSize - 1) run.selected_unit += 1;
    look_at_selected();
  }
}

void draw_views(Game& g, bool gl) {
  RunState& run = g.run;
  clear_frame(g.fb);
  if (run.screensaver == 1) {
    const Rng before = g.rng;
    draw_screensaver_view(g.fb, run.frame, g.rng);
    // a renewal draws from the generator: a save keeps where it started, not its pixels
    if (std::memcmp(&before, &g.rng, sizeof before) != 0) {
      g.track.saver_renewed = true;
      g.track.saver_rng = before;
    }
  } else if (g.fb.width == kOverworldWidth) {
    draw_overworld_view(g.fb, run, g.world, g.bitmaps, g.units, g.path, g.text);
  } else if (g.fb.width == kBlockViewWidth) {
    // GL starts the first time the view's picture is used, and that pass is its cost
    const bool opening = gl && !g.gl_ready;
    const double t0 = opening ? process_cpu_ms() : 0;
    if (gl) open_block_view_gl(g);
    draw_block_view(g.fb, run, g.world, g.units, g.block, g.platform, g.gl_ready, !gl);
    if (opening && g.gl_ready) g.ticks.block_view_open_cpu_ms = process_cpu_ms() - t0;
  }
  draw_banner_and_status(g);
}

void minimap_step(Game& g) {
  RunState& run = g.run;
  Platform& p = g.platform;
  if (key_down(p, vk_letter('N'))) {
    // shown or hidden, the minimap moves to the pointer
    run.minimap_shown = !run.minimap_shown;
    run.minimap_x = run.pointer_x;
    run.minimap_y = run.pointer_y;
    pause_ms(p, 350);
  }
  if (run.minimap_shown) {
    minimap_jump(run, key_down(p, kVkRButton), run.pointer_x, run.pointer_y);
    draw_minimap(g.fb, run, g.world, g.units);
  }
}

// Search rounds a frame without a tick may spend on the next tick's searches; the work
// is spread over the frames before the tick, so only the first planning tick's frames
// come near it. A tick that finds its trees grown costs little.
constexpr int64_t kAheadRounds = 250000;

void unit_steps(Game& g) {
  RunState& run = g.run;
  TickStats& st = g.ticks;
  // the divisor is a float the speed keys set; the tick counts whole frames
  const int32_t divisor = int32_t(run.tick_divisor);
  const bool tick = divisor != 0 && run.frame % divisor == 0;
  if (tick) {
    const double t0 = thread_cpu_ms();
    const uint64_t r0 = g.path.rounds;
    movement_tick(g.world, g.units, g.path, g.rng);
    const double ms = thread_cpu_ms() - t0;
    const uint64_t rounds = g.path.rounds - r0;
    st.count += 1;
    st.worst_cpu_ms = std::max(st.worst_cpu_ms, ms);
    st.worst_rounds = std::max(st.worst_rounds, rounds);
    st.rounds_total += rounds;
    add_sample(st.ticks, ms);
  }
  if (key_down(g.platform, vk_letter('A'))) {
    order_unit1_random(g.world, g.units, g.path, g.rng);
    pause_ms(g.platform, 400);
  }
  if (run.frame % 100 == 0) wander_orders(g.world, g.units, g.path, g.rng);
  if (!tick) {
    const double t0 = thread_cpu_ms();
    const int32_t frames_left = divisor > 0 ? divisor - int32_t(run.frame % divisor) : 1;
    st.ahead_rounds_total +=
        uint64_t(search_ahead(g.path, g.world, g.units, kAheadRounds, frames_left));
    st.ahead_worst_cpu_ms = std::max(st.ahead_worst_cpu_ms, thread_cpu_ms() - t0);
  }
}

void present_step(Game& g, Session& s) {
  draw_help(g);
  draw_cursor(g.fb, g.run.pointer_x, g.run.pointer_y);
  const double t0 = thread_cpu_ms(), p0 = process_cpu_ms();
  if (present(g.fb, present_scale_limit(g), *g.platform.display, g.screen.present))
    add_sample(g.ticks.present, process_cpu_ms() - p0);
  g.ticks.present_ms = thread_cpu_ms() - t0;
  if (s.keep_presented()) {
    s.presented.width = g.fb.width;
    s.presented.height = g.fb.height;
    s.presented.pixels = g.fb.pixels;
  }
  screenshot_key_step(g, s);  // F12, while the picture is still the presented one
}

// Whether this pass's picture is seen or kept: always in a window; headless
// only in the last pass (the exit screenshot), a pass that quits, and an F12 press.
bool picture_used(bool skip_unseen, bool last_pass, bool escape_down, bool f12_pressed) {
  return !skip_unseen || last_pass || escape_down || f12_pressed;
}

void mode_keys(Game& g) {
  RunState& run = g.run;
  Platform& p = g.platform;
  if (key_down(p, kVkEscape)) run.quit = 1;  // the pass still ends; the loop stops after it
  if (key_down(p, vk_f(5)))
    set_resolution_and_window(g, kBlockViewWidth, kBlockViewHeight,
                              view_zoom(g.settings, false, 2));
  if (key_down(p, vk_f(6)))
    set_resolution_and_window(g, kOverworldWidth, kOverworldHeight, view_zoom(g.settings, true, 1));
  if (key_down(p, vk_digit(1))) run.tick_divisor = 10.0f;
  if (key_down(p, vk_digit(2))) run.tick_divisor = 30.0f;
  if (key_down(p, vk_digit(3))) run.tick_divisor = 60.0f;
  help_key_step(g);
}

}  // namespace

// The order of the phases is part of the game's behaviour: what a key does
// in a pass depends on which phases have already looked at the same state.
void run_pass(Game& g, Session& s) {
  RunState& run = g.run;
  Platform& p = g.platform;
  const double t0 = thread_cpu_ms();
  const int32_t saver_before = run.screensaver;
  g.ticks.present_ms = 0;
  p.input->begin_pass(pass_number(run.frame));
  p.input->pointer(g.fb.width, g.fb.height, &run.pointer_x, &run.pointer_y);

  const bool gl = picture_used(s.skip_unseen_pictures(), s.last_pass, key_down(p, kVkEscape),
                               key_down(p, kVkF12) && !s.f12_was_down);
  draw_views(g, gl);
  command_line_step(g.console, p, run, g.fb, g.world, g.units, g.text);
  if (!g.console.said.empty()) show_notice(g, std::move(g.console.said)), g.console.said.clear();
  selection_keys(g);
  mouse_orders(g);
  minimap_step(g);
  unit_steps(g);
  present_step(g, s);
  window_key_step(g);
  view_navigation(run, p, g.fb, g.world.side);
  mode_keys(g);
  while (p.display->pump_message(&run.quit)) {}
  // switching the screensaver on starts its layer black
  if (run.screensaver == 1 && saver_before == 0) g.track.saver_renewed = false;
  add_sample(g.ticks.frame_work, thread_cpu_ms() - t0 - g.ticks.present_ms);
  p.display->end_frame();
  run.frame += 1;
}
