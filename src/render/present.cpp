#include "render/present.h"

#include <GL/gl.h>

#include "core/platform.h"
#include "render/framebuffer.h"

void clear_frame(Framebuffer& fb, bool gl_ready) {
  if (gl_ready) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
  }
  clear_pixels(fb);
}

void present(const Framebuffer& fb, int32_t zoom, Display& d, bool gl_ready) {
  if (!gl_ready) return;
  glDisable(GL_TEXTURE_2D);
  // any other zoom keeps the previous pixel zoom
  if (zoom >= 1 && zoom <= 5) glPixelZoom(float(zoom), float(zoom));
  glDrawPixels(fb.width, fb.height, GL_RGBA, GL_UNSIGNED_BYTE, fb.pixels.data());
  d.swap();
  glEnable(GL_TEXTURE_2D);
}
