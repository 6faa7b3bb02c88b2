#include "views/screensaver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "core/geometry.h"
#include "render/framebuffer.h"
#include "world/rng.h"

namespace {

constexpr int32_t kRenewalFrames = 50;
constexpr int32_t kCircles = 4;
constexpr double kMaxRadius = 9999.0;
constexpr double kMaxCentre = 1e9;  // pixels; keeps the truncations inside int32

int32_t next_mod(Rng& rng, int32_t n) { return rng_next(rng) % n; }

// Outline of a circle into the Secondary buffer: a half turn mirrored about the vertical
// through the centre. Angles are whole thousandths of a degree, their sine and cosine
// rounded to float, so each point lands exactly where a table of them would put it.
void circle_outline(Framebuffer& fb, double cx, double cy, double radius, uint8_t r, uint8_t g,
                    uint8_t b) {
  if (!(std::fabs(cx) < kMaxCentre && std::fabs(cy) < kMaxCentre)) return;
  if (!(radius >= 0.0)) radius = 0.0;  // negative, or not a number
  if (radius > kMaxRadius) radius = kMaxRadius;
  const double step = (1.0 / radius) * 50.0;  // degrees; just under a pixel apart
  const int32_t X = int32_t(cx), Y = int32_t(cy);
  for (double a = 0.0; a <= 180.0; a += step) {
    const double radians = double(int32_t(a * 1000.0)) * kDegreeFactor / 1000.0;
    const double dx = double(float(std::sin(radians))) * radius;
    const double dy = -radius * double(float(std::cos(radians)));
    const int32_t DX = int32_t(dx), DY = int32_t(dy);
    put_secondary_pixel(fb, X + DX, Y + DY, r, g, b);
    put_secondary_pixel(fb, X - DX, Y + DY, r, g, b);
  }
}

void renew(Framebuffer& fb, Rng& rng) {
  // Every pixel of the picture once, in row order: no clipping to do.
  uint8_t* p = fb.secondary.data();
  const size_t n = size_t(fb.width) * size_t(fb.height);
  int32_t values[256];
  for (size_t done = 0; done < n;) {
    const int32_t m = int32_t(std::min<size_t>(n - done, std::size(values)));
    rng_fill(rng, values, m);
    for (int32_t i = 0; i < m; ++i, p += 4) {
      p[0] = 0;
      p[1] = 0;
      p[2] = uint8_t(values[i] % 255);
      p[3] = 255;
    }
    done += size_t(m);
  }
  for (int32_t k = 0; k < kCircles; ++k) {
    const uint8_t blue = uint8_t(next_mod(rng, 255));
    const uint8_t green = uint8_t(next_mod(rng, 255));
    const uint8_t red = uint8_t(next_mod(rng, 255));
    const int32_t cy = next_mod(rng, fb.height);
    const int32_t cx = next_mod(rng, fb.width);
    circle_outline(fb, cx, cy, fb.width / 5, red, green, blue);
  }
}

}  // namespace

void draw_screensaver_view(Framebuffer& fb, int64_t frame, Rng& rng) {
  const size_t bytes = size_t(fb.width) * size_t(fb.height) * 4;
  if (fb.width <= 0 || fb.height <= 0 || fb.pixels.size() < bytes || fb.secondary.size() < bytes)
    return;
  if (frame % kRenewalFrames == 0) renew(fb, rng);
  // The whole picture, pixel for pixel, alpha made opaque: four bytes at a
  // time, the colour bytes kept and the alpha byte set.
  uint32_t alpha = 0;
  const uint8_t alpha_bytes[4] = {0, 0, 0, 255};
  std::memcpy(&alpha, alpha_bytes, 4);
  const uint8_t* s = fb.secondary.data();
  uint8_t* d = fb.pixels.data();
  for (size_t i = 0, n = bytes / 4; i < n; ++i) {
    uint32_t v;
    std::memcpy(&v, s + i * 4, 4);
    v |= alpha;
    std::memcpy(d + i * 4, &v, 4);
  }
}
