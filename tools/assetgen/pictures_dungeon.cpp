// Dungeon walls, floors and the fittings that stand on them.
#include <cmath>

#include "assetgen/noise.h"
#include "assetgen/painters.h"

using namespace pal;

void ground_bricks(Image& im, const Ramp& r, uint32_t seed, int32_t bw, int32_t bh) {
  const int32_t cols = im.w / bw;
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      const int32_t row = y / bh, shifted = x + (row & 1) * (bw / 2);
      const int32_t col = (shifted / bw) % cols;
      const int32_t bx = shifted % bw, by = y % bh;
      const uint32_t h = hash3(col, row, seed);
      const float n = value_noise(float(x), float(y), float(im.w) / 8, 8, seed + 3);
      int s = 1 + int32_t(h % 3);
      if (n > 0.72f) ++s;
      if (n < 0.25f) --s;
      Rgb c = r[s];
      if (by == 0 || bx == 0) c = r[0];  // mortar
      else if (by == 1 || bx == 1) c = r[s + 1];
      else if (by == bh - 1) c = r[s - 1];
      pixel(im, x, y) = c;
    }
}

void ground_floor(Image& im, uint32_t seed) {
  noise_fill(im, kStone, 1, 2, 4, seed);
  // square flags with dark joints and a lit upper edge
  const int32_t f = im.w / 2;
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      if (x % f == 0 || y % f == 0) pixel(im, x, y) = kStone[0];
      else if (x % f == 1 || y % f == 1) pixel(im, x, y) = mix(pixel(im, x, y), kStone[3], 0.5f);
    }
  const int32_t cx = int32_t(hash32(seed) % 4);  // a crack in one flag
  line(im, 10 + cx % 2, 3, 12, 6, kStone[0]);
  line(im, 12, 6, 12 + cx % 3, 7, kStone[0]);
}

void paint_wall(Image& im, const Params&, uint32_t seed) { ground_bricks(im, kStone, seed); }

void paint_floor(Image& im, const Params& p, uint32_t seed) {
  if (p.style == 1) {  // marble: light and veined squares in a checker
    for (int32_t y = 0; y < im.h; ++y)
      for (int32_t x = 0; x < im.w; ++x) {
        const bool dark = ((x / 8) + (y / 8)) & 1;
        const float v = std::sin((float(x) + float(y) * 0.5f) * 0.9f + value_noise(float(x), float(y), 4, 4, seed) * 5);
        Rgb c = dark ? kStone[3] : kWhite[3];
        if (v > 0.93f) c = dark ? kStone[2] : kWhite[1];
        if (x % 8 == 0 || y % 8 == 0) c = kStone[2];
        pixel(im, x, y) = c;
      }
  } else {
    ground_floor(im, seed);
  }
  if (p.mark == 0) return;
  Image l = key_layer(im);
  if (p.mark == 1) {  // bones and a skull
    stroke(l, 2.5f, 11.5f, 7.5f, 9.5f, 1.2f, kBone[3]);
    ellipse(l, 2.5f, 11.5f, 1, 1, kBone[4]);
    ellipse(l, 7.5f, 9.5f, 1, 1, kBone[4]);
    stroke(l, 9.5f, 12.5f, 13.5f, 14.0f, 1.2f, kBone[2]);
    ball(l, 10, 5, 3, 2.6f, kBone, 1, 4);
    rect(l, 8.5f, 4.5f, 1, 1, kInk);
    rect(l, 10.5f, 4.5f, 1, 1, kInk);
    rect(l, 9, 7, 2.5f, 1.5f, kBone[2]);
    place(im, l);
  } else {  // cleaned: stains and one forgotten bone
    for (int32_t i = 0; i < 6; ++i) put(im, 3 + int32_t(hash3(i, 0, seed) % 10), 3 + int32_t(hash3(i, 1, seed) % 10), kEarth[1]);
    stroke(l, 9.5f, 11.5f, 12.5f, 12.5f, 1, kBone[2]);
    place(im, l);
  }
}

namespace {
void flame(Image& l, float x, float y, float s) {
  ellipse(l, x, y, 1.2f * s, 2.0f * s, kFire[2]);
  ellipse(l, x, y + 0.5f * s, 0.7f * s, 1.1f * s, kFire[4]);
}

void glow_pool(Image& l, const Ramp& r, bool bright) {
  ellipse(l, 8, 9, 6.5f, 4.5f, kStone[3]);
  ellipse(l, 8, 9, 5, 3.2f, kStone[1]);
  ball(l, 8, 9, 4.2f, 2.6f, r, bright ? 2 : 1, 4);
  if (bright)
    for (int32_t i = 0; i < 4; ++i) {  // rising sparks
      put(l, 5 + i * 2, 4 - (i & 1) * 2, r[4]);
      put(l, 5 + i * 2, 5 - (i & 1) * 2, r[3]);
    }
}

void sigil(Image& l, const Ramp& r, int s) {
  for (int32_t a = 0; a < 48; ++a) {  // ring
    const float t = float(a) / 48 * 6.2831853f;
    put(l, int32_t(std::lround(7.5f + 6.3f * std::cos(t))), int32_t(std::lround(8 + 6.3f * std::sin(t))), r[s]);
  }
  for (int32_t k = 0; k < 5; ++k) {  // five-pointed star
    const float t0 = -1.5708f + float(k) * 6.2831853f / 5, t1 = t0 + 2 * 6.2831853f / 5;
    line(l, int32_t(std::lround(7.5f + 5.5f * std::cos(t0))), int32_t(std::lround(8 + 5.5f * std::sin(t0))), int32_t(std::lround(7.5f + 5.5f * std::cos(t1))),
         int32_t(std::lround(8 + 5.5f * std::sin(t1))), r[s - 1]);
  }
}
}  // namespace

void paint_fitting(Image& im, const Params& p, uint32_t seed) {
  const bool spent = p.mark == 1;
  if (p.style == kDoor) ground_bricks(im, kStone, seed);
  else ground_floor(im, seed);
  Image l = key_layer(im);
  switch (p.style) {
    case kChest:
      if (spent) {  // lid thrown back, gold inside
        rect(l, 2, 3, 12, 4, kWood[1]);
        rect(l, 2, 7, 12, 7, kWood[2]);
        rect(l, 3, 7.5f, 10, 2.5f, kGold[3]);
        put(l, 5, 8, kGold[4]);
        put(l, 10, 8, kRed[3]);
      } else {
        rect(l, 2, 5, 12, 9, kWood[2]);
        rect(l, 2, 5, 12, 3, kWood[3]);
        rect(l, 2, 8, 12, 1, kWood[1]);
      }
      rect(l, 4, spent ? 3 : 5, 1, spent ? 11 : 9, kGold[2]);
      rect(l, 11, spent ? 3 : 5, 1, spent ? 11 : 9, kGold[2]);
      if (!spent) rect(l, 7, 8, 2, 2, kGold[4]);
      break;
    case kCandelabrum:
      rect(l, 7.5f, 6, 1, 8, kGold[2]);
      rect(l, 5, 13, 6, 1.5f, kGold[1]);
      stroke(l, 3.5f, 5, 12.5f, 5, 1, kGold[3]);
      for (int32_t i = 0; i < 3; ++i) {
        const float x = 3.5f + float(i) * 4.5f;
        rect(l, x - 0.5f, 3, 1.5f, 2, kWhite[4]);
        if (!spent) flame(l, x + 0.2f, 1.5f, 0.8f);
      }
      if (spent) {
        put(l, 4, 1, kStone[3]);
        put(l, 9, 1, kStone[3]);
        put(l, 13, 0, kStone[3]);
      }
      break;
    case kCoffin:
      poly(l, {{5, 1}, {11, 1}, {13, 5}, {11, 15}, {5, 15}, {3, 5}}, spent ? kDark[1] : kWood[1]);
      if (spent) {  // lid pushed aside, a skull within
        ball(l, 8, 5, 2, 1.8f, kBone, 2, 4);
        stroke(l, 8, 8, 8, 12, 1, kBone[3]);
        poly(l, {{10, 3}, {14, 4}, {15, 9}, {12, 15}, {11, 14}}, kWood[2]);
      } else {
        poly(l, {{6, 2}, {10, 2}, {12, 5}, {10, 14}, {6, 14}, {4, 5}}, kWood[2]);
        rect(l, 7.5f, 4, 1, 7, kGold[3]);
        rect(l, 5.5f, 6, 5, 1, kGold[3]);
      }
      break;
    case kDoor:
      rect(l, 3, 2, 10, 14, spent ? kDark[0] : kWood[2]);
      if (spent) {
        poly(l, {{3, 2}, {6, 4}, {6, 16}, {3, 16}}, kWood[1]);
      } else {
        for (int32_t x = 5; x < 13; x += 3) line(l, x, 2, x, 15, kWood[1]);
        rect(l, 3, 5, 10, 1, kSteel[1]);
        rect(l, 3, 11, 10, 1, kSteel[1]);
        put(l, 11, 8, kGold[4]);
      }
      break;
    case kSource: glow_pool(l, *p.a, spent); break;
    case kSpawn:
      sigil(l, spent ? kStone : kPurple, spent ? 2 : 4);
      if (!spent) ball(l, 7.5f, 8, 1.8f, 1.8f, kRed, 2, 4);
      break;
    case kFountain:
      ellipse(l, 8, 10, 7, 5, kStone[3]);
      ellipse(l, 8, 10, 5.5f, 3.8f, spent ? kStone[0] : kWater[2]);
      rect(l, 7, 4, 2, 6, kStone[2]);
      if (!spent) {
        put(l, 7, 2, kWater[4]);
        put(l, 8, 1, kWater[4]);
        put(l, 5, 3, kWater[3]);
        put(l, 10, 3, kWater[3]);
        put(l, 5, 10, kWater[4]);
        put(l, 11, 11, kWater[4]);
      }
      break;
    case kStairsDown:
    case kStairsUp:
      for (int32_t s = 0; s < 5; ++s) {
        const int shade = p.style == kStairsDown ? 4 - s : s;
        rect(l, 2, 2 + float(s) * 2.5f, 12, 2.5f, kStone[shade]);
        line(l, 2, 2 + s * 5 / 2, 13, 2 + s * 5 / 2, kStone[shade < 4 ? shade + 1 : 4]);
      }
      rect(l, 2, 14.5f, 12, 1, p.style == kStairsDown ? kDark[0] : kStone[4]);
      // an arrow for the way the stairs lead
      if (p.style == kStairsDown) poly(l, {{6, 9}, {10, 9}, {8, 12}}, kGold[3]);
      else poly(l, {{6, 7}, {10, 7}, {8, 4}}, kGold[3]);
      break;
    case kCircle: {
      const Ramp& r = *p.a;
      for (int32_t a = 0; a < 56; ++a) {
        const float t = float(a) / 56 * 6.2831853f;
        const int32_t x = int32_t(std::lround(7.5f + 6.4f * std::cos(t))), y = int32_t(std::lround(7.5f + 6.4f * std::sin(t)));
        put(l, x, y, r[3]);
        if (a % 7 == 0) put(l, int32_t(std::lround(7.5f + 4.6f * std::cos(t))), int32_t(std::lround(7.5f + 4.6f * std::sin(t))), r[4]);
      }
      if (p.mark == 2)  // flames around the ring
        for (int32_t k = 0; k < 6; ++k) {
          const float t = float(k) / 6 * 6.2831853f;
          flame(l, 7.5f + 6.4f * std::cos(t), 7.0f + 6.4f * std::sin(t), 0.9f);
        }
      break;
    }
    case kAltar: {
      const Ramp& r = *p.a;
      rect(l, 2, 5, 12, 9, r[2]);
      rect(l, 2, 5, 12, 2, r[3]);
      rect(l, 3, 13, 10, 2, r[1]);
      rect(l, 5, 7, 6, 5, (*p.b)[2]);  // cloth or inlay
      if (p.mark == 1) {               // jewels
        put(l, 6, 9, kRed[4]);
        put(l, 8, 9, kBlue[4]);
        put(l, 10, 9, kSlime[4]);
      }
      if (p.mark == 2) {  // red candles on the dark stone
        rect(l, 3, 2, 1, 3, kRed[2]);
        rect(l, 12, 2, 1, 3, kRed[2]);
        put(l, 3, 1, kFire[3]);
        put(l, 12, 1, kFire[3]);
      }
      break;
    }
    case kTrap:
      rect(l, 2, 2, 12, 12, kStone[1]);
      for (int32_t gy = 0; gy < 3; ++gy)
        for (int32_t gx = 0; gx < 3; ++gx) {
          const float x = 3.5f + float(gx) * 4, y = 4 + float(gy) * 4;
          if (spent) {
            rect(l, x, y, 1.5f, 1.5f, kStone[0]);
          } else {
            poly(l, {{x + 0.75f, y - 2}, {x - 0.5f, y + 1.5f}, {x + 2, y + 1.5f}}, kSteel[3]);
            put(l, int32_t(x), int32_t(y) - 1, kSteel[4]);
          }
        }
      break;
    case kTorch:
      stroke(l, 8, 6, 8, 15, 2, kWood[1]);
      rect(l, 6, 5, 4, 2, kSteel[1]);
      if (spent) {
        rect(l, 6.5f, 3.5f, 3, 2, kDark[1]);
        put(l, 8, 1, kStone[2]);
        put(l, 9, 0, kStone[3]);
      } else {
        flame(l, 8, 2.8f, 1.6f);
      }
      break;
    case kGear:
      for (int32_t k = 0; k < 8; ++k) {
        const float t = float(k) / 8 * 6.2831853f;
        stroke(l, 7.5f, 7.5f, 7.5f + 6.5f * std::cos(t), 7.5f + 6.5f * std::sin(t), 2.2f, kSteel[2]);
      }
      ball(l, 7.5f, 7.5f, 5, 5, kSteel, 1, 4);
      ellipse(l, 7.5f, 7.5f, 1.7f, 1.7f, kDark[0]);
      ball(l, 13, 13, 2.5f, 2.5f, kGold, 1, 4);
      break;
    case kLever:
      rect(l, 4, 11, 8, 3, kStone[3]);
      rect(l, 4, 13, 8, 1, kStone[1]);
      stroke(l, 8, 12, 12, 3, 1.3f, kSteel[3]);
      ball(l, 12, 3, 1.8f, 1.8f, kRed, 1, 4);
      break;
    case kScrolls:
      for (int32_t i = 0; i < 3; ++i) {
        const float y = 5 + float(i) * 3.2f, x = 3 + float(i % 2) * 2;
        rect(l, x, y, 9, 2.6f, kSand[4]);
        rect(l, x, y + 1.6f, 9, 1, kSand[2]);
        ellipse(l, x + 9, y + 1.3f, 1, 1.3f, kSand[3]);
        rect(l, x + 4, y, 1, 2.6f, kRed[2]);
      }
      break;
    default: break;
  }
  place(im, l);
}
