// Terrain tiles and the landmarks that stand on grass.
#include <algorithm>
#include <cmath>

#include "assetgen/noise.h"
#include "assetgen/painters.h"

using namespace pal;

void ground_grass(Image& im, uint32_t seed) {
  const bool wrap = im.wrap;
  im.wrap = true;
  noise_fill(im, kGrass, 1, 3, 4, seed);
  // tufts: a light blade over a dark root, and a few flowers
  for (int32_t i = 0; i < im.w * im.h / 28; ++i) {
    const int32_t x = int32_t(hash3(i, 1, seed) % uint32_t(im.w));
    const int32_t y = int32_t(hash3(i, 2, seed) % uint32_t(im.h));
    put(im, x, y, kGrass[4]);
    put(im, x, y + 1, kGrass[0]);
  }
  for (int32_t i = 0; i < im.w * im.h / 120; ++i) {
    const int32_t x = int32_t(hash3(i, 3, seed) % uint32_t(im.w));
    const int32_t y = int32_t(hash3(i, 4, seed) % uint32_t(im.h));
    put(im, x, y, (i & 1) ? kGold[3] : kWhite[4]);
  }
  im.wrap = wrap;
}

Image key_layer(const Image& im) { return make_image(im.w, im.h, kKey); }

void place(Image& im, Image& layer) {
  outline(layer);
  drop_shadow(im, layer, 1, 1);
  compose(im, layer);
}

void finish_sprite(Image& im) {
  rim_light(im);
  outline(im);
}

void paint_plain(Image& im, const Params&, uint32_t seed) { ground_grass(im, seed); }

namespace {
void round_tree(Image& im, float x, float y, float r, const Ramp& leaves, bool fruit, uint32_t seed) {
  rect(im, x - 0.5f, y + r * 0.5f, 1.5f, r * 0.9f, kWood[1]);
  ellipse(im, x + 0.8f, y + 0.8f, r, r * 0.9f, kLeaf[0]);
  ball(im, x, y, r, r * 0.9f, leaves, 1, 4);
  if (fruit)
    for (int32_t i = 0; i < 3; ++i)
      put(im, int32_t(x) + int32_t(hash3(i, 7, seed) % 5) - 2, int32_t(y) + int32_t(hash3(i, 8, seed) % 4) - 2, i == 1 ? kGold[3] : kRed[3]);
}

void pine(Image& im, float x, float y, float h, const Ramp& needles, bool snow) {
  rect(im, x - 0.5f, y + h * 0.35f, 1.5f, h * 0.2f, kWood[1]);
  for (int tier = 0; tier < 3; ++tier) {  // three tiers, widening downwards
    const float top = y - h * 0.5f + float(tier) * h * 0.22f, base = top + h * 0.38f;
    const float half = h * (0.2f + 0.1f * float(tier));
    line(im, int32_t(x - half + 1), int32_t(base), int32_t(x + half + 1), int32_t(base), needles[0]);
    poly(im, {{x + 0.5f, top}, {x - half + 0.5f, base}, {x + half + 0.5f, base}}, needles[2]);
    poly(im, {{x + 0.5f, top}, {x - half + 0.5f, base}, {x + 0.5f, base}}, needles[3]);
    put(im, int32_t(x), int32_t(top) + 1, snow ? kSnow[4] : needles[4]);
  }
}
}  // namespace

void paint_forest(Image& im, const Params& p, uint32_t seed) {
  im.wrap = true;
  const bool snowy = p.mark == 2;
  if (snowy) noise_fill(im, kSnow, 1, 3, 4, seed);
  else noise_fill(im, kGrass, 0, 2, 4, seed);
  if (p.style == kTreePine) {  // three firs standing apart, the nearest last
    const float firs[3][2] = {{4.5f, 5.5f}, {12, 4}, {8.5f, 11.5f}};
    for (const auto& f : firs) pine(im, f[0], f[1], 9.5f, *p.a, snowy);
    im.wrap = false;
    return;
  }
  // trees on a jittered grid, drawn top row first so lower trees overlap
  const int32_t n = p.tool > 0 ? p.tool : 3;
  const float step = float(im.w) / float(n);
  for (int32_t gy = 0; gy < n; ++gy)
    for (int32_t gx = 0; gx < n; ++gx) {
      const uint32_t h = hash3(gx, gy, seed);
      // centres on the grid lines, so the tile's edges run through crowns, not between them
      const float x = float(gx) * step + float(int32_t(h % 3) - 1) + float(gy & 1) * step * 0.5f;
      const float y = float(gy) * step + float(int32_t((h >> 4) % 3) - 1);
      round_tree(im, x, y, step * 0.52f, *p.a, p.mark == 1, h);
    }
  im.wrap = false;
}

void paint_water(Image& im, const Params& p, uint32_t seed) {
  // Over a sea the tile repeats hundreds of times: a fine ground of close
  // shades and many small crests at scattered places, so no one shape stands
  // out as the repeat.
  im.wrap = true;
  const Ramp& r = *p.a;
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float n = fbm(float(x), float(y), 4, 2, im.w / 4, seed);
      // a slow swell along the rows, bent so that it never reads as stripes
      const float bend = 1.5f * std::sin(float(x) * 6.2831853f / float(im.w));
      const float swell = std::sin((float(y) + bend) * 6.2831853f * 2.0f / float(im.h));
      pixel(im, x, y) = mix(r[2], r[1], std::clamp(0.15f + 0.35f * n + 0.12f * swell, 0.0f, 1.0f));
    }
  const int32_t crests = 5 + p.tool;
  for (int32_t i = 0; i < crests; ++i) {
    const int32_t x = int32_t(hash3(i, 1, seed) % uint32_t(im.w));
    // one crest to a band of rows, so that crests never stack; none on the seam rows
    const int32_t y = 1 + i * (im.h - 3) / crests + int32_t(hash3(i, 2, seed) % 2);
    const int32_t len = 2 + int32_t(hash3(i, 3, seed) % 3);
    for (int32_t k = 0; k < len; ++k) put(im, x + k, y, mix(r[2], r[3], k == 0 || k == len - 1 ? 0.45f : 0.8f));
    if (i % 4 == 0) put(im, x + len / 2, y, r[4]);  // a glint
  }
  im.wrap = false;
}

void paint_swamp(Image& im, const Params&, uint32_t seed) {
  im.wrap = true;
  noise_fill(im, kSwamp, 1, 3, 4, seed);
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float n = fbm(float(x), float(y), 8, 2, 2, seed + 9);
      if (n < 0.42f) pixel(im, x, y) = n < 0.34f ? kTeal[0] : kTeal[1];
    }
  for (int32_t i = 0; i < 5; ++i) {  // reeds with a brown head
    const int32_t x = int32_t(hash3(i, 1, seed) % 16), y = int32_t(hash3(i, 2, seed) % 16);
    put(im, x, y, kEarth[2]);
    put(im, x, y + 1, kOlive[3]);
    put(im, x, y + 2, kOlive[2]);
  }
  for (int32_t i = 0; i < 3; ++i) {  // lily pads on open water
    const int32_t x = int32_t(hash3(i, 5, seed) % 16), y = int32_t(hash3(i, 6, seed) % 16);
    if (!(get(im, x, y) == kTeal[0])) continue;
    put(im, x, y, kSlime[2]);
    put(im, x + 1, y, kSlime[1]);
  }
  im.wrap = false;
}

void paint_desert(Image& im, const Params&, uint32_t seed) {
  im.wrap = true;
  noise_fill(im, kSand, 2, 3, 8, seed);
  // dune ripples: a stripe pattern that repeats every tile in both directions
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const float s = std::sin(float(x + 2 * y) * 6.2831853f * 2.0f / float(im.w) + value_noise(float(x), float(y), 4, 4, seed) * 1.5f);
      if (s > 0.85f) pixel(im, x, y) = kSand[4];
      else if (s < -0.9f) pixel(im, x, y) = kSand[1];
    }
  for (int32_t i = 0; i < 2; ++i) {
    const int32_t x = int32_t(hash3(i, 3, seed) % 16), y = int32_t(hash3(i, 4, seed) % 16);
    put(im, x, y, kRock[2]);
    put(im, x + 1, y, kRock[1]);
  }
  im.wrap = false;
}

void paint_hills(Image& im, const Params&, uint32_t seed) {
  ground_grass(im, seed);
  // rounded knolls of dry grass, lit from the upper left, each with a dark foot
  const float mounds[3][3] = {{4.5f, 6.0f, 4.2f}, {11.5f, 10.0f, 4.4f}, {4.5f, 13.2f, 3.0f}};
  for (const auto& m : mounds) {
    const float x = m[0], y = m[1], r = m[2];
    ellipse(im, x + 0.8f, y + 0.6f, r + 0.3f, r * 0.75f, kGrass[0]);
    ball(im, x, y, r, r * 0.75f, kOlive, 1, 4);
    rect(im, x - r, y + 0.6f, 2 * r, r, kKey);                           // cut the lower half away...
    for (int32_t py = int32_t(y + 0.6f); py < int32_t(y + r + 1); ++py)  // ...and restore the grass under it
      for (int32_t px = int32_t(x - r); px < int32_t(x + r + 1); ++px)
        if (inside(im, px, py) && pixel(im, px, py) == kKey) pixel(im, px, py) = py == int32_t(y + 0.6f) ? kGrass[0] : kGrass[1];
  }
  put(im, 12, 8, kRock[3]);
  put(im, 5, 4, kRock[3]);
  (void)seed;
}

void paint_mountain(Image& im, const Params& p, uint32_t seed) {
  im.wrap = true;
  noise_fill(im, kRock, 1, 2, 4, seed);
  im.wrap = false;
  // peaks: lit on the left, in shadow on the right, with a snow cap
  const bool high = p.size == 1;
  const float peaks[2][4] = {{high ? 6.5f : 7.0f, high ? 1.0f : 2.0f, high ? 6.0f : 6.5f, 14.5f},
                             {high ? 11.5f : 12.0f, high ? 4.0f : 7.0f, high ? 4.5f : 3.5f, 15.0f}};
  for (int32_t i = 0; i < p.tool; ++i) {
    const float x = peaks[i][0], top = peaks[i][1], half = peaks[i][2], base = peaks[i][3];
    poly(im, {{x, top}, {x - half, base}, {x + half, base}}, kStone[1]);
    poly(im, {{x, top}, {x - half, base}, {x - 0.5f, base}}, kStone[3]);
    for (int32_t k = 0; k < 3; ++k)  // ridges down the flanks
      line(im, int32_t(x) - k - 1, int32_t(top) + 4 + k * 3, int32_t(x) - k * 2 - 2, int32_t(top) + 6 + k * 3, kStone[2]);
    const float snow = high ? 0.45f : 0.3f, sy = top + (base - top) * snow;
    const float sh = half * snow;
    poly(im, {{x, top}, {x - sh, sy}, {x - sh * 0.4f, sy - 1}, {x, sy}, {x + sh * 0.5f, sy - 1}, {x + sh, sy}}, kSnow[2]);
    poly(im, {{x, top}, {x - sh, sy}, {x - sh * 0.4f, sy - 1}, {x, sy}}, kSnow[4]);
  }
}

void paint_road(Image& im, const Params&, uint32_t seed) {
  im.wrap = true;
  noise_fill(im, kEarth, 2, 3, 4, seed);
  // cobbles laid in a staggered 4-pixel pattern
  for (int32_t gy = 0; gy < 4; ++gy)
    for (int32_t gx = 0; gx < 4; ++gx) {
      const int32_t x = gx * 4 + (gy & 1) * 2, y = gy * 4 + 2;  // the tile's edges cross stones
      const int s = 2 + int32_t(hash3(gx, gy, seed) % 2);
      rect(im, float(x), float(y), 3, 3, kStone[s]);
      put(im, x, y, kStone[s + 1]);
      put(im, x + 2, y + 2, kStone[s - 1]);
      put(im, x + 3, y + 1, kEarth[1]);
      put(im, x + 1, y + 3, kEarth[1]);
    }
  im.wrap = false;
}

void paint_village(Image& im, const Params& p, uint32_t seed) {
  ground_grass(im, seed);
  Image layer = key_layer(im);
  const Ramp& roof = *p.a;
  // a cottage: plastered walls, a door, two windows, a chimney and a steep roof
  rect(layer, 2, 7.5f, 11, 6.5f, kSand[3]);
  rect(layer, 10, 7.5f, 3, 6.5f, kSand[2]);
  rect(layer, 6, 10, 2.5f, 4, kWood[1]);
  rect(layer, 3, 9, 2, 2, kBlue[3]);
  rect(layer, 10, 9, 2, 2, kBlue[2]);
  rect(layer, 10.5f, 1.5f, 1.8f, 4, kBrick[1]);
  poly(layer, {{0.5f, 8.5f}, {4, 2.5f}, {11.5f, 2.5f}, {15, 8.5f}}, roof[2]);
  poly(layer, {{0.5f, 8.5f}, {4, 2.5f}, {7.5f, 2.5f}, {5.5f, 8.5f}}, roof[3]);
  line(layer, 1, 8, 14, 8, roof[1]);
  line(layer, 5, 3, 10, 3, roof[4]);
  put(layer, 11, 0, kStone[3]);  // smoke
  place(im, layer);
}

void paint_landmark(Image& im, const Params& p, uint32_t seed) {
  ground_grass(im, seed);
  Image l = key_layer(im);
  switch (p.style) {
    case kRuin:  // broken wall stubs and rubble
      rect(l, 2, 3, 3, 10, kStone[2]);
      rect(l, 2, 3, 9, 3, kStone[2]);
      rect(l, 2, 3, 3, 3, kStone[3]);
      rect(l, 10, 8, 3, 6, kStone[2]);
      rect(l, 10, 8, 3, 2, kStone[3]);
      for (int32_t i = 0; i < 5; ++i) put(l, 6 + int32_t(hash3(i, 0, seed) % 4), 9 + int32_t(hash3(i, 1, seed) % 5), kStone[1 + i % 3]);
      line(l, 3, 6, 3, 12, kStone[1]);
      break;
    case kCastle:
      rect(l, 3, 6, 10, 8, kStone[2]);
      rect(l, 1, 3, 4, 11, kStone[3]);
      rect(l, 11, 3, 4, 11, kStone[1]);
      for (int32_t x = 1; x < 15; x += 2) rect(l, float(x), x < 5 || x > 10 ? 2 : 5, 1, 1, kStone[2]);
      rect(l, 6.5f, 9, 3, 5, kDark[1]);
      ellipse(l, 8, 9.2f, 1.5f, 1.2f, kDark[1]);
      line(l, 3, 0, 3, 2, kWood[1]);
      rect(l, 4, 0, 3, 2, kRed[3]);
      break;
    case kGrotto:  // a rocky mound with a dark mouth
      ball(l, 8, 9, 7, 5.5f, kRock, 0, 4);
      ellipse(l, 8, 11.5f, 3, 3, kDark[0]);
      rect(l, 5, 11.5f, 6, 3, kDark[0]);
      put(l, 4, 6, kRock[4]);
      put(l, 11, 7, kRock[1]);
      break;
    case kMine:
    case kIronMine:
      ball(l, 8, 9, 7, 5.5f, kEarth, 0, 4);
      rect(l, 5, 8, 6, 6, kDark[0]);
      rect(l, 4, 7, 1.5f, 7, kWood[3]);
      rect(l, 10.5f, 7, 1.5f, 7, kWood[2]);
      rect(l, 4, 7, 8, 1.5f, kWood[3]);
      line(l, 6, 14, 10, 14, kSteel[2]);  // rails
      if (p.style == kIronMine) {         // a heap of ore beside the shaft
        ball(l, 13, 12.5f, 2.5f, 2, kSteel, 0, 3);
        put(l, 12, 12, kRed[2]);
        put(l, 14, 13, kRed[1]);
      }
      break;
    case kWell:
      rect(l, 3.5f, 2, 1.5f, 8, kWood[2]);
      rect(l, 11, 2, 1.5f, 8, kWood[1]);
      poly(l, {{2, 3}, {8, 0}, {14, 3}}, kBrick[2]);
      line(l, 8, 3, 8, 7, kStone[0]);
      rect(l, 7.5f, 6.5f, 1.5f, 1.5f, kWood[3]);  // bucket
      ellipse(l, 8, 11, 5.5f, 3.5f, kStone[3]);
      ellipse(l, 8, 11, 3.5f, 2, kDeep[1]);
      rect(l, 2.5f, 11, 11, 3, kStone[2]);
      break;
    case kDungeonDoor:  // stone steps going down under an arch
      rect(l, 2, 3, 12, 12, kStone[3]);
      rect(l, 4, 5, 8, 10, kDark[0]);
      for (int32_t s = 0; s < 4; ++s) rect(l, 4, 7 + float(s) * 2, 8, 1, kStone[3 - s]);
      ellipse(l, 8, 5, 4, 2, kDark[0]);
      put(l, 7, 2, kBone[4]);  // a skull over the arch
      put(l, 8, 2, kBone[4]);
      put(l, 7, 3, kDark[0]);
      break;
    case kLighthouse:
      poly(l, {{6, 4}, {10, 4}, {11, 15}, {5, 15}}, kWhite[3]);
      rect(l, 5, 7, 6, 2, kRed[2]);
      rect(l, 4.5f, 11, 7, 2, kRed[2]);
      rect(l, 6, 1, 4, 3, kFire[3]);
      put(l, 7, 2, kFire[4]);
      poly(l, {{5, 1.5f}, {8, -1}, {11, 1.5f}}, kRed[1]);
      line(l, 0, 2, 4, 2, kGold[4]);  // the beam
      line(l, 12, 2, 15, 1, kGold[4]);
      break;
    case kRift:  // a jagged crack with a glow inside
      poly(l, {{2, 1}, {6, 5}, {5, 8}, {10, 10}, {9, 13}, {14, 15}, {11, 11}, {12, 8}, {7, 6}, {8, 3}}, kPurple[2]);
      poly(l, {{3, 2}, {6.5f, 5.5f}, {6, 7.5f}, {10.5f, 10.5f}, {12, 13}, {10, 10}, {10.5f, 8.5f}, {6.5f, 6}, {7, 3.5f}}, kDark[0]);
      line(l, 7, 6, 10, 9, kFire[2]);
      break;
    default: break;
  }
  place(im, l);
}
