#include "shell/window.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/keys.h"
#include "render/present.h"
#include "shell/game.h"
#include "shell/notice.h"
#include "world/bitmap.h"
#include "world/icon.h"

namespace {

// A window too big for the display would show only part of the picture and
// put the pointer maths off the screen: it opens at the largest zoom that fits.
int32_t fitting_window_zoom(Game& g) {
  int32_t w = 0, h = 0;
  if (!g.platform.display->usable_area(&w, &h)) return g.run.zoom;
  return std::min(g.run.zoom, fitting_scale(g.fb.width, g.fb.height, w, h));
}

void fail(Game& g, const std::string& error) {
  g.platform.display->show_message("ERROR", error.c_str());
  g.window_failed = true;
  g.run.quit = 1;
}

}  // namespace

bool create_game_window(Game& g) {
  std::string error;
  g.screen.window_zoom = fitting_window_zoom(g);
  const int32_t zoom = g.screen.window_zoom;
  if (zoom < g.run.zoom)
    show_notice(g, "Zoom " + std::to_string(g.run.zoom) + " does not fit the screen: zoom " +
                       std::to_string(zoom));
  if (!g.platform.display->create_window("KELVAROT", g.fb.width * zoom, g.fb.height * zoom,
                                         &error)) {
    fail(g, error);
    return false;
  }
  if (slot_loaded(g.bitmaps, kIconSlot)) {
    const std::vector<uint8_t> icon = icon_pixels(g.bitmaps.slots[kIconSlot], kWindowIconSide);
    if (!icon.empty()) g.platform.display->set_icon(icon.data(), kWindowIconSide);
  }
  return true;
}

void destroy_game_window(Game& g) { g.platform.display->destroy_window(); }

bool open_block_view_gl(Game& g) {
  if (g.gl_ready) return true;
  std::string error;
  if (!g.platform.display->use_gl(&error)) {
    if (!error.empty()) fail(g, error);
    return false;
  }
  resize_gl();
  init_gl(g.block, g.bitmaps);
  g.gl_ready = true;
  return true;
}

int32_t present_scale_limit(const Game& g) {
  return g.platform.display->fullscreen() ? g.screen.full_scale : g.screen.window_zoom;
}

void window_key_step(Game& g) {
  Display& d = *g.platform.display;
  for (int n = 1; n <= 4; ++n) {
    if (!key_down(g.platform, vk_f(n))) continue;
    g.run.zoom = n;
    remember_zoom(g.settings, g.fb.width == kOverworldWidth, n);
    if (d.fullscreen()) {
      g.screen.full_scale = n;  // the window takes the zoom when full screen ends
      continue;
    }
    destroy_game_window(g);
    create_game_window(g);
  }
  // held down, the keys toggle once
  const bool toggle = key_down(g.platform, vk_f(11)) ||
                      (key_down(g.platform, kVkMenu) && key_down(g.platform, kVkReturn));
  if (toggle && !g.screen.toggle_held) {
    g.screen.full_scale = INT32_MAX;
    if (!d.fullscreen()) {
      d.set_fullscreen(true);
    } else {
      d.set_fullscreen(false);
      destroy_game_window(g);
      create_game_window(g);
    }
  }
  g.screen.toggle_held = toggle;
  if (key_down(g.platform, vk_letter('M')))
    d.move_window_to_pointer(g.fb.width * g.screen.window_zoom, g.fb.height * g.screen.window_zoom);
}
