#include "shell/window.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/keys.h"
#include "shell/game.h"
#include "world/bitmap.h"
#include "world/icon.h"

bool create_game_window(Game& g) {
  std::string error;
  const bool ok = g.platform.display->create_window("KELVAROT", g.fb.width * g.run.zoom,
                                                    g.fb.height * g.run.zoom, &error);
  g.gl_ready = ok && g.platform.display->has_context();
  if (!ok) {
    g.platform.display->show_message("ERROR", error.c_str());
    g.window_failed = true;
    g.run.quit = 1;
    return false;
  }
  if (slot_loaded(g.bitmaps, kIconSlot)) {
    const std::vector<uint8_t> icon = icon_pixels(g.bitmaps.slots[kIconSlot], kIconSizes[0]);
    if (!icon.empty()) g.platform.display->set_icon(icon.data(), kIconSizes[0]);
  }
  if (g.gl_ready) {
    resize_gl();
    init_gl(g.block, g.bitmaps);
  }
  return true;
}

void destroy_game_window(Game& g) {
  g.platform.display->destroy_window();
  g.gl_ready = false;
}

void window_key_step(Game& g) {
  for (int n = 1; n <= 4; ++n) {
    if (!key_down(g.platform, vk_f(n))) continue;
    destroy_game_window(g);
    g.run.zoom = n;
    create_game_window(g);
  }
  if (key_down(g.platform, vk_letter('M')))
    g.platform.display->move_window_to_pointer(g.fb.width * g.run.zoom, g.fb.height * g.run.zoom);
}
