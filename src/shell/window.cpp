#include "shell/window.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "core/geometry.h"
#include "core/keys.h"
#include "shell/game.h"

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

void resize_gl() {
  glViewport(0, 0, kBlockViewWidth, kBlockViewHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  constexpr Frustum f = kBlockViewFrustum;
  glFrustum(-f.right(), f.right(), -f.top(), f.top(), f.near, f.far);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void init_gl(BlockViewState& bv, const BitmapStore& bm) {
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  GLuint names[32];
  glGenTextures(32, names);
  for (int i = 0; i < 32; ++i) bv.textures[i] = names[i];
  for (int k = 0; k < 7; ++k) {
    glBindTexture(GL_TEXTURE_2D, names[k]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    const int slot = 1200 + k;
    if (!slot_loaded(bm, slot)) continue;  // an empty slot uploads nothing
    const Bitmap& b = bm.slots[slot];
    // square textures: the width serves for both sides; a short picture
    // would be read past its end, so it is skipped
    if (b.height < b.width) continue;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, GLsizei(b.width), GLsizei(b.width), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, b.pixels.get());
  }
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(1.0f, 0.0f, 0.9f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
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
