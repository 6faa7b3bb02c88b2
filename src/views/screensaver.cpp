#include "views/screensaver.h"

#include <cmath>

#include "render/framebuffer.h"
#include "world/population.h"
#include "world/rng.h"

namespace {

constexpr int32_t kRenewalFrames = 50;
constexpr int32_t kCircles = 4;
constexpr double kMaxRadius = 9999.0;
constexpr double kMaxCentre = 1e9;  // pixels; keeps the truncations inside int32

int32_t next_mod(Rng& rng, int32_t n) { return rng_next(rng) % n; }

void renew(Framebuffer& fb, const TrigTables& trig, Rng& rng) {
  for (int32_t y = 0; y < fb.height; ++y)
    for (int32_t x = 0; x < fb.width; ++x)
      put_secondary_pixel(fb, x, y, 0, 0, uint8_t(next_mod(rng, 255)));
  for (int32_t k = 0; k < kCircles; ++k) {
    const uint8_t blue = uint8_t(next_mod(rng, 255));
    const uint8_t green = uint8_t(next_mod(rng, 255));
    const uint8_t red = uint8_t(next_mod(rng, 255));
    const int32_t cy = next_mod(rng, fb.height);
    const int32_t cx = next_mod(rng, fb.width);
    circle_outline(fb, trig, cx, cy, fb.width / 5, red, green, blue);
  }
}

}  // namespace

int32_t circle_outline(Framebuffer& fb, const TrigTables& trig, double cx, double cy,
                       double radius, uint8_t r, uint8_t g, uint8_t b) {
  if (!trig.sine || !trig.cosine) return 0;
  if (!(std::fabs(cx) < kMaxCentre && std::fabs(cy) < kMaxCentre)) return 0;
  if (!(radius >= 0.0)) radius = 0.0;  // negative, or not a number
  if (radius > kMaxRadius) radius = kMaxRadius;
  const double step = (1.0 / radius) * 50.0;  // degrees; just under a pixel apart
  const int32_t X = int32_t(cx), Y = int32_t(cy);
  int32_t steps = 0;
  for (double a = 0.0; a <= 180.0; a += step) {
    const int32_t i = int32_t(a * 1000.0);
    const double dx = double(trig.sine[i]) * radius;
    const double dy = -radius * double(trig.cosine[i]);
    const int32_t DX = int32_t(dx), DY = int32_t(dy);
    put_secondary_pixel(fb, X + DX, Y + DY, r, g, b);
    put_secondary_pixel(fb, X - DX, Y + DY, r, g, b);
    ++steps;
  }
  return steps;
}

void draw_screensaver_view(Framebuffer& fb, int32_t frame, const TrigTables& trig, Rng& rng) {
  if (fb.width <= 0 || fb.height <= 0) return;
  if (frame % kRenewalFrames == 0) renew(fb, trig, rng);
  for (int32_t y = 0; y < fb.height; ++y) {
    for (int32_t x = 0; x < fb.width; ++x) {
      const uint8_t* s = &fb.secondary[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
      put_pixel(fb, x, y, s[0], s[1], s[2]);
    }
  }
}
