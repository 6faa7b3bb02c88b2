#pragma once
// The software picture: RGBA bytes, row 0 at the bottom.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Framebuffer {
  int32_t width = 0;               // pixels; 640 (overworld) or 320 (block view)
  int32_t height = 0;              // pixels
  std::vector<uint8_t> pixels;     // width * height * 4, R G B A
  std::vector<uint8_t> secondary;  // same size; screensaver layer, block view read-back
};

// Re-allocates both buffers; the secondary one starts black.
void set_resolution(Framebuffer& fb, int32_t width, int32_t height);
void release_framebuffer(Framebuffer& fb);
// Software half of the frame clear: every byte of the Framebuffer to 0.
void clear_pixels(Framebuffer& fb);

inline void put_pixel(Framebuffer& fb, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  if (x < 0 || y < 0 || x >= fb.width || y >= fb.height) return;
  uint8_t* p = &fb.pixels[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = 255;
}

inline void put_secondary_pixel(Framebuffer& fb, int32_t x, int32_t y, uint8_t r, uint8_t g,
                                uint8_t b) {
  if (x < 0 || y < 0 || x >= fb.width || y >= fb.height) return;
  uint8_t* p = &fb.secondary[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = 255;
}

// Reads a pixel back (tests, screenshots); {0,0,0,0} outside.
struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};
Rgba pixel_at(const Framebuffer& fb, int32_t x, int32_t y);
