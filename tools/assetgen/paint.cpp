#include "assetgen/paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "assetgen/noise.h"

Rgb mix(Rgb a, Rgb b, float t) {
  auto m = [t](uint8_t p, uint8_t q) { return uint8_t(std::lround(float(p) + (float(q) - float(p)) * t)); };
  return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

namespace {
int32_t wrap_to(int32_t v, int32_t n) { return ((v % n) + n) % n; }
}  // namespace

void put(Image& im, int32_t x, int32_t y, Rgb c) {
  if (im.wrap) {
    x = wrap_to(x, im.w);
    y = wrap_to(y, im.h);
  } else if (!inside(im, x, y)) {
    return;
  }
  pixel(im, x, y) = c;
}

Rgb get(const Image& im, int32_t x, int32_t y) {
  if (im.wrap) return pixel(im, wrap_to(x, im.w), wrap_to(y, im.h));
  return pixel(im, std::clamp(x, 0, im.w - 1), std::clamp(y, 0, im.h - 1));
}

void rect(Image& im, float x, float y, float w, float h, Rgb c) {
  for (int32_t py = int32_t(std::ceil(y - 0.5f)); float(py) + 0.5f < y + h; ++py)
    for (int32_t px = int32_t(std::ceil(x - 0.5f)); float(px) + 0.5f < x + w; ++px) put(im, px, py, c);
}

void ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c) {
  for (int32_t py = int32_t(std::floor(cy - ry)); py <= int32_t(std::ceil(cy + ry)); ++py)
    for (int32_t px = int32_t(std::floor(cx - rx)); px <= int32_t(std::ceil(cx + rx)); ++px) {
      const float dx = (float(px) + 0.5f - cx) / rx, dy = (float(py) + 0.5f - cy) / ry;
      if (dx * dx + dy * dy <= 1.0f) put(im, px, py, c);
    }
}

void ball(Image& im, float cx, float cy, float rx, float ry, const Ramp& r, int lo, int hi) {
  for (int32_t py = int32_t(std::floor(cy - ry)); py <= int32_t(std::ceil(cy + ry)); ++py)
    for (int32_t px = int32_t(std::floor(cx - rx)); px <= int32_t(std::ceil(cx + rx)); ++px) {
      const float dx = (float(px) + 0.5f - cx) / rx, dy = (float(py) + 0.5f - cy) / ry;
      const float d2 = dx * dx + dy * dy;
      if (d2 > 1.0f) continue;
      // light from the upper left, a little towards the viewer
      const float nz = std::sqrt(1.0f - d2);
      const float lit = std::clamp((-dx * 0.55f - dy * 0.6f + nz * 0.58f) * 0.5f + 0.5f, 0.0f, 1.0f);
      const int s = lo + int(std::lround(lit * float(hi - lo)));
      put(im, px, py, r[s]);
    }
}

void stroke(Image& im, float x0, float y0, float x1, float y1, float width, Rgb c) {
  const float hw = width * 0.5f;
  const float minx = std::min(x0, x1) - hw, maxx = std::max(x0, x1) + hw;
  const float miny = std::min(y0, y1) - hw, maxy = std::max(y0, y1) + hw;
  const float vx = x1 - x0, vy = y1 - y0, len2 = vx * vx + vy * vy;
  for (int32_t py = int32_t(std::floor(miny)); py <= int32_t(std::ceil(maxy)); ++py)
    for (int32_t px = int32_t(std::floor(minx)); px <= int32_t(std::ceil(maxx)); ++px) {
      const float qx = float(px) + 0.5f - x0, qy = float(py) + 0.5f - y0;
      const float t = len2 > 0 ? std::clamp((qx * vx + qy * vy) / len2, 0.0f, 1.0f) : 0.0f;
      const float ex = qx - t * vx, ey = qy - t * vy;
      if (ex * ex + ey * ey <= hw * hw) put(im, px, py, c);
    }
}

void poly(Image& im, std::initializer_list<Pt> pts, Rgb c) {
  const std::vector<Pt> p(pts);
  float miny = p[0].y, maxy = p[0].y, minx = p[0].x, maxx = p[0].x;
  for (const Pt& q : p) {
    miny = std::min(miny, q.y);
    maxy = std::max(maxy, q.y);
    minx = std::min(minx, q.x);
    maxx = std::max(maxx, q.x);
  }
  for (int32_t py = int32_t(std::floor(miny)); py <= int32_t(std::ceil(maxy)); ++py)
    for (int32_t px = int32_t(std::floor(minx)); px <= int32_t(std::ceil(maxx)); ++px) {
      const float x = float(px) + 0.5f, y = float(py) + 0.5f;
      bool in = false;
      for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > y) != (p[j].y > y) && x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x) in = !in;
      }
      if (in) put(im, px, py, c);
    }
}

void line(Image& im, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb c) {
  const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int32_t err = dx + dy;
  for (;;) {
    put(im, x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    const int32_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void noise_fill(Image& im, const Ramp& r, int lo, int hi, float cell, uint32_t seed) {
  const int32_t period = int32_t(float(im.w) / cell);
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float n = fbm(float(x), float(y), cell, 2, period, seed);
      // stretch the middle of the noise so every shade shows up
      const float t = std::clamp((n - 0.5f) * 1.8f + 0.5f, 0.0f, 0.999f);
      pixel(im, x, y) = r[lo + int(t * float(hi - lo + 1))];
    }
}

void speckle(Image& im, Rgb c, float share, uint32_t seed) {
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x)
      if (hash_unit(x, y, seed) < share) pixel(im, x, y) = c;
}

void outline(Image& im, Rgb ink) {
  const Image src = im;
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      if (!(pixel(src, x, y) == kKey)) continue;
      bool touches = false;
      const int32_t nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
      for (int i = 0; i < 4; ++i)
        if (inside(src, nx[i], ny[i]) && !(pixel(src, nx[i], ny[i]) == kKey) && !(pixel(src, nx[i], ny[i]) == ink)) touches = true;
      if (touches) pixel(im, x, y) = ink;
    }
}

void rim_light(Image& im) {
  const Image src = im;
  auto open = [&](int32_t x, int32_t y) { return !inside(src, x, y) || pixel(src, x, y) == kKey || pixel(src, x, y) == kInk; };
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const Rgb c = pixel(src, x, y);
      if (c == kKey || c == kInk) continue;
      if (open(x + 1, y) || open(x, y + 1)) pixel(im, x, y) = mix(c, Rgb{40, 30, 70}, 0.3f);
      else if (open(x - 1, y) || open(x, y - 1)) pixel(im, x, y) = mix(c, Rgb{255, 250, 220}, 0.22f);
    }
}

void compose(Image& dst, const Image& layer) {
  for (int32_t y = 0; y < layer.h && y < dst.h; ++y)
    for (int32_t x = 0; x < layer.w && x < dst.w; ++x)
      if (!(pixel(layer, x, y) == kKey)) pixel(dst, x, y) = pixel(layer, x, y);
}

void drop_shadow(Image& dst, const Image& layer, int32_t dx, int32_t dy) {
  for (int32_t y = 0; y < dst.h; ++y)
    for (int32_t x = 0; x < dst.w; ++x) {
      const int32_t sx = x - dx, sy = y - dy;
      if (!inside(layer, sx, sy) || pixel(layer, sx, sy) == kKey) continue;
      if (inside(layer, x, y) && !(pixel(layer, x, y) == kKey)) continue;
      pixel(dst, x, y) = mix(pixel(dst, x, y), Rgb{16, 12, 36}, 0.4f);
    }
}
