#include "render/framebuffer.h"

#include <cstring>

void set_resolution(Framebuffer& fb, int32_t width, int32_t height) {
  fb.width = width;
  fb.height = height;
  const size_t bytes = size_t(width) * size_t(height) * 4;
  fb.pixels.assign(bytes, 0);
  fb.secondary.assign(bytes, 0);
}

void release_framebuffer(Framebuffer& fb) {
  fb.pixels = {};
  fb.secondary = {};
}

void clear_pixels(Framebuffer& fb) {
  if (!fb.pixels.empty()) std::memset(fb.pixels.data(), 0, fb.pixels.size());
}

Rgba pixel_at(const Framebuffer& fb, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= fb.width || y >= fb.height) return {0, 0, 0, 0};
  const uint8_t* p = &fb.pixels[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
  return {p[0], p[1], p[2], p[3]};
}
