// The block view's 64 x 64 textures and the 640 x 480 title picture.
#include <algorithm>
#include <cmath>

#include "assetgen/noise.h"
#include "assetgen/painters.h"

using namespace pal;

namespace {
// Stones packed like cobbles: the nearest of jittered points, one per cell, wrapping.
void cobbles(Image& im, const Ramp& r, int32_t cell, uint32_t seed) {
  const int32_t n = im.w / cell;
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      float d1 = 1e9f, d2 = 1e9f, lx = 0, ly = 0;
      uint32_t id = 0;
      for (int32_t gy = y / cell - 1; gy <= y / cell + 1; ++gy)
        for (int32_t gx = x / cell - 1; gx <= x / cell + 1; ++gx) {
          const int32_t wx = (gx + n) % n, wy = (gy + n) % n;
          const float px = float(gx * cell) + hash_unit(wx, wy, seed) * float(cell);
          const float py = float(gy * cell) + hash_unit(wx, wy, seed + 1) * float(cell);
          const float d = std::hypot(float(x) - px, float(y) - py);
          if (d < d1) {
            d2 = d1;
            d1 = d;
            lx = float(x) - px;
            ly = float(y) - py;
            id = hash3(wx, wy, seed + 2);
          } else if (d < d2) {
            d2 = d;
          }
        }
      if (d2 - d1 < 1.6f) {
        pixel(im, x, y) = r[0];
        continue;
      }
      const int base = 1 + int32_t(id % 3);
      const float lit = -(lx + ly) / float(cell);  // upper-left faces catch the light
      pixel(im, x, y) = r[base + (lit > 0.35f ? 1 : (lit < -0.45f ? -1 : 0))];
    }
}

void brick_texture(Image& im, const Ramp& r, bool old, uint32_t seed) {
  ground_bricks(im, r, seed, 16, 8);
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float moss = fbm(float(x), float(y), 16, 3, 4, seed + 7);
      const float grime = value_noise(float(x), float(y), 8, 8, seed + 8);
      if (old && moss > 0.68f && hash_unit(x, y, seed) < 0.8f) pixel(im, x, y) = moss > 0.75f ? kOlive[2] : kOlive[1];
      else if (grime > 0.8f) pixel(im, x, y) = mix(pixel(im, x, y), r[0], 0.35f);
      if (hash_unit(x, y, seed + 9) < 0.02f) pixel(im, x, y) = r[0];  // chips
    }
  if (old)  // a crack running over a few bricks
    for (int32_t i = 0; i < 14; ++i) put(im, 40 + i / 2 + int32_t(hash3(i, 0, seed) % 2), 20 + i, r[0]);
}

// 5 x 7 letters for the title.
struct Glyph {
  char c;
  const char* rows[7];
};
constexpr Glyph kTitleFont[] = {
    {'K', {"1...1", "1..1.", "1.1..", "11...", "1.1..", "1..1.", "1...1"}}, {'E', {"11111", "1....", "1....", "1111.", "1....", "1....", "11111"}},
    {'L', {"1....", "1....", "1....", "1....", "1....", "1....", "11111"}}, {'V', {"1...1", "1...1", "1...1", "1...1", "1...1", ".1.1.", "..1.."}},
    {'A', {".111.", "1...1", "1...1", "11111", "1...1", "1...1", "1...1"}}, {'R', {"1111.", "1...1", "1...1", "1111.", "1.1..", "1..1.", "1...1"}},
    {'O', {".111.", "1...1", "1...1", "1...1", "1...1", "1...1", ".111."}}, {'T', {"11111", "..1..", "..1..", "..1..", "..1..", "..1..", "..1.."}},
};

// Ordered dithering between two colours, so gradients stay in the palette.
Rgb dither(Rgb a, Rgb b, float t, int32_t x, int32_t y) {
  static constexpr int32_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return t * 16.0f > float(kBayer[y & 3][x & 3]) + 0.5f ? b : a;
}

Rgb sky(int32_t x, int32_t y) {
  static constexpr Rgb kBands[] = {pal::kDeep[0], pal::kDeep[1], pal::kPurple[1], pal::kPurple[2], pal::kRed[2], pal::kFire[1], pal::kFire[2], pal::kFire[3]};
  const float t = std::clamp(float(y) / 330.0f, 0.0f, 0.999f) * float(std::size(kBands) - 1);
  const int32_t i = int32_t(t);
  return dither(kBands[i], kBands[std::min<int32_t>(i + 1, std::size(kBands) - 1)], t - float(i), x, y);
}
}  // namespace

void paint_texture(Image& im, const Params& p, uint32_t seed) {
  switch (p.style) {
    case kTexBrick: brick_texture(im, kBrick, false, seed); break;
    case kTexStoneBrick: brick_texture(im, kStone, true, seed); break;
    case kTexAshlar:
      ground_bricks(im, kStone, seed, 32, 16);
      for (int32_t y = 0; y < im.h; ++y)
        for (int32_t x = 0; x < im.w; ++x)
          if (hash_unit(x, y, seed) < 0.06f) pixel(im, x, y) = mix(pixel(im, x, y), kStone[4], 0.5f);
      break;
    case kTexGrass:
      noise_fill(im, kGrass, 1, 3, 16, seed);
      im.wrap = true;
      for (int32_t i = 0; i < 420; ++i) {  // blades leaning a little
        const int32_t x = int32_t(hash3(i, 0, seed) % 64), y = int32_t(hash3(i, 1, seed) % 64);
        const int32_t len = 2 + int32_t(hash3(i, 2, seed) % 3), lean = int32_t(hash3(i, 3, seed) % 3) - 1;
        for (int32_t k = 0; k < len; ++k) put(im, x + (k == len - 1 ? lean : 0), y - k, kGrass[k == len - 1 ? 4 : 3]);
        put(im, x, y + 1, kGrass[0]);
      }
      im.wrap = false;
      break;
    case kTexDirt:
      noise_fill(im, kEarth, 1, 3, 16, seed);
      im.wrap = true;
      for (int32_t i = 0; i < 26; ++i) {  // pebbles
        const float x = float(hash3(i, 0, seed) % 64), y = float(hash3(i, 1, seed) % 64);
        ball(im, x, y, 1.4f + float(i % 3) * 0.5f, 1.2f + float(i % 2) * 0.5f, kRock, 0, 4);
      }
      im.wrap = false;
      speckle(im, kEarth[0], 0.04f, seed + 4);
      break;
    case kTexCobbles:
      cobbles(im, kStone, 11, seed);
      for (int32_t y = 0; y < im.h; ++y)
        for (int32_t x = 0; x < im.w; ++x)
          if (pixel(im, x, y) == kStone[0] && value_noise(float(x), float(y), 16, 4, seed) > 0.6f) pixel(im, x, y) = kOlive[1];
      break;
    case kTexBladePlaque: {  // the whale blade hung on dark planks
      for (int32_t y = 0; y < im.h; ++y)
        for (int32_t x = 0; x < im.w; ++x) {
          const float grain = value_noise(float(x) * 0.25f, float(y) * 4, 4, 0, seed);
          pixel(im, x, y) = y % 16 == 0 ? kWood[0] : kWood[grain > 0.6f ? 2 : 1];
        }
      Image blade = make_image(im.w, im.h, kKey);
      Params sword{&kBone, &kSteel, &kWood, kBladeWhale, 0, 12, 1};
      paint_sword(blade, sword, seed);
      drop_shadow(im, blade, 2, 2);
      compose(im, blade);
      break;
    }
    default: break;
  }
}

void paint_intro(Image& im, const Params&, uint32_t seed) {
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) pixel(im, x, y) = sky(x, y);
  // the setting sun
  for (int32_t y = 220; y < 330; ++y)
    for (int32_t x = 400; x < 540; ++x) {
      const float d = std::hypot(float(x) - 470, float(y) - 300);
      if (d < 52 && !((y / 6) % 3 == 0 && y > 290)) pixel(im, x, y) = d < 44 ? kFire[4] : kFire[3];
    }
  // two mountain ranges, the far one paler
  const Rgb far_col = kPurple[1], near_col = kDark[1];
  for (int32_t x = 0; x < im.w; ++x) {
    const float far_top = 250 + 80 * fbm(float(x), 0, 160, 4, 0, seed);
    const float ridge = std::abs(fbm(float(x), 7, 120, 4, 0, seed + 1) - 0.5f) * 2;
    const float near_top = 300 + 90 * ridge;
    for (int32_t y = int32_t(far_top); y < im.h; ++y) pixel(im, x, y) = far_col;
    const int32_t snow = int32_t((268 - far_top) / 2);  // caps on the highest peaks only
    for (int32_t y = int32_t(far_top); y < int32_t(far_top) + snow; ++y) pixel(im, x, y) = kSnow[1];
    for (int32_t y = int32_t(near_top); y < im.h; ++y) pixel(im, x, y) = near_col;
  }
  // the hill and the castle on it
  for (int32_t y = 360; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float top = 390 - 60 * std::exp(-std::pow((float(x) - 150) / 150, 2)) + 8 * fbm(float(x), 3, 40, 3, 0, seed + 2);
      if (float(y) > top) pixel(im, x, y) = dither(kLeaf[0], kLeaf[1], std::clamp((float(y) - top) / 120, 0.0f, 1.0f), x, y);
    }
  const Rgb wall = kDark[0];
  rect(im, 90, 250, 120, 90, wall);
  rect(im, 70, 210, 34, 130, wall);
  rect(im, 196, 200, 34, 140, wall);
  rect(im, 132, 180, 36, 80, wall);
  for (int32_t x = 70; x < 232; x += 12) {
    rect(im, float(x), x < 104 ? 200 : (x > 195 ? 190 : 242), 7, 10, wall);
  }
  poly(im, {{126, 182}, {150, 140}, {174, 182}}, wall);
  line(im, 150, 140, 150, 118, wall);
  poly(im, {{151, 118}, {172, 124}, {151, 130}}, kRed[2]);
  const int32_t windows[][2] = {{82, 240}, {208, 232}, {146, 210}, {120, 290}, {176, 290}, {82, 290}};
  for (const auto& w : windows) rect(im, float(w[0]), float(w[1]), 6, 10, kFire[3]);
  rect(im, 138, 300, 24, 40, kFire[1]);
  // pines in the foreground
  for (int32_t i = 0; i < 22; ++i) {
    const float x = float(hash3(i, 0, seed) % 640), base = 470 + float(hash3(i, 1, seed) % 14);
    const float h = 50 + float(hash3(i, 2, seed) % 40);
    poly(im, {{x, base - h}, {x - h * 0.3f, base}, {x + h * 0.3f, base}}, kDark[0]);
  }
  // the title in gold, outlined and with a shadow
  const char* title = "KELVAROT";
  const int32_t scale = 10, pitch = 6 * scale, x0 = (im.w - 8 * pitch + scale) / 2, y0 = 60;
  Image letters = make_image(im.w, im.h, kKey);
  for (int32_t i = 0; title[i]; ++i)
    for (const Glyph& g : kTitleFont) {
      if (g.c != title[i]) continue;
      for (int32_t r = 0; r < 7; ++r)
        for (int32_t c = 0; c < 5; ++c)
          if (g.rows[r][c] == '1')
            for (int32_t y = 0; y < scale; ++y)
              for (int32_t x = 0; x < scale; ++x) {
                const int32_t py = y0 + r * scale + y;
                const float t = float(py - y0) / float(7 * scale);
                const Rgb c1 = dither(kGold[4], kGold[3], std::min(t * 2, 1.0f), x, py);
                const Rgb c2 = dither(kGold[2], kGold[1], std::max(t * 2 - 1, 0.0f), x, py);
                pixel(letters, x0 + i * pitch + c * scale + x, py) = t < 0.5f ? c1 : c2;
              }
    }
  for (int32_t pass = 0; pass < 3; ++pass) outline(letters);
  drop_shadow(im, letters, 6, 6);
  drop_shadow(im, letters, 7, 7);
  compose(im, letters);
}
