// Items, buildings and the small pictures, all on the colour key.
#include <cmath>

#include "assetgen/noise.h"
#include "assetgen/painters.h"

using namespace pal;

namespace {
// Weapons lie on the diagonal, handle at the bottom left, point at the top right.
constexpr float kRoot = 0.70710678f;
constexpr Pt kAlong{kRoot, -kRoot};  // towards the point
constexpr Pt kAcross{kRoot, kRoot};  // towards the lower right edge

Pt at(Pt o, float t, float n) { return Pt{o.x + kAlong.x * t + kAcross.x * n, o.y + kAlong.y * t + kAcross.y * n}; }
}  // namespace

void paint_sword(Image& im, const Params& p, uint32_t seed) {
  const float k = float(im.w) / 16.0f;  // the plaque texture draws the same sword four times bigger
  const Ramp& blade = *p.a;
  const Ramp& guard = *p.b;
  const Ramp& grip = *p.c;
  const int32_t style = p.style;
  const float len = float(p.size) * k;
  const Pt hilt = style == kBladeDouble ? Pt{8 * k, 8 * k} : (style == kBladePole ? Pt{9.5f * k, 6.5f * k} : Pt{4.8f * k, 11.2f * k});
  float width = (style == kBladeBroad || style == kBladeHead || style == kBladeWhale ? 2.8f : 1.8f) * k;
  if (p.size <= 6) width = 1.5f * k;
  auto curve = [&](float t) {  // sideways offset of the blade at distance t from the hilt
    const float u = t / len;
    switch (style) {
      case kBladeCurved: return u * u * 2.2f * k;
      case kBladeWhale: return u * u * 3.0f * k;
      case kBladePole: return u * u * 1.5f * k;
      default: return 0.0f;
    }
  };
  if (style == kBladePole) stroke(im, 1.5f * k, 14.5f * k, hilt.x, hilt.y, 1.3f * k, kWood[2]);
  const int32_t sides = style == kBladeDouble ? 2 : 1;
  for (int32_t side = 0; side < sides; ++side) {
    const float dir = side == 0 ? 1.0f : -1.0f;
    const int32_t steps = int32_t(len * 2);
    for (int32_t i = 0; i < steps; ++i) {
      const float t0 = len * float(i) / float(steps), t1 = len * float(i + 1) / float(steps);
      const float u = t1 / len;
      float w = width;
      if (style != kBladeHead && u > 0.75f) w = width * (1.0f - (u - 0.75f) * 3.0f) + 0.6f * k;
      if (style == kBladeCurved && (p.mark & 4) && u > 0.5f) w += 1.0f * k;  // the kopesh's hooked end
      const Pt a = at(hilt, t0 * dir, curve(t0)), b = at(hilt, t1 * dir, curve(t1));
      stroke(im, a.x, a.y, b.x, b.y, w, blade[2]);
      const Pt ha = at(hilt, t0 * dir, curve(t0) - w * 0.25f), hb = at(hilt, t1 * dir, curve(t1) - w * 0.25f);
      if (u < 0.9f) stroke(im, ha.x, ha.y, hb.x, hb.y, 0.7f * k, blade[4]);
    }
    if (style == kBladeWhale)  // teeth along the back
      for (int32_t i = 2; i < int32_t(len / k) - 1; i += 2) {
        const Pt q = at(hilt, float(i) * k, curve(float(i) * k) - width * 0.5f - 0.8f * k);
        rect(im, q.x - 0.5f * k, q.y - 0.5f * k, k, k, blade[3]);
      }
    if (style == kBladeHead) {  // square end with a hole
      const Pt q = at(hilt, len - 1.5f * k, 0);
      ellipse(im, q.x, q.y, 0.6f * k, 0.6f * k, kKey);
    }
  }
  if (style == kBladeDouble) {
    stroke(im, at(hilt, -1.3f * k, 0).x, at(hilt, -1.3f * k, 0).y, at(hilt, 1.3f * k, 0).x, at(hilt, 1.3f * k, 0).y, 1.5f * k, grip[2]);
  } else if (style != kBladePole) {
    const Pt end = at(hilt, -3.0f * k, 0);
    stroke(im, hilt.x, hilt.y, end.x, end.y, 1.3f * k, grip[2]);
    ball(im, end.x, end.y, 1.1f * k, 1.1f * k, guard, 1, 4);
  }
  const float g = (p.mark & 2) ? 3.4f : 2.6f;  // horned guards reach further
  const Pt g0 = at(hilt, 0, -g * k), g1 = at(hilt, 0, g * k);
  if (p.mark & 2) {
    stroke(im, hilt.x, hilt.y, g0.x + kAlong.x * 1.5f * k, g0.y + kAlong.y * 1.5f * k, 1.1f * k, guard[3]);
    stroke(im, hilt.x, hilt.y, g1.x + kAlong.x * 1.5f * k, g1.y + kAlong.y * 1.5f * k, 1.1f * k, guard[3]);
  } else if (style != kBladePole) {
    stroke(im, g0.x, g0.y, g1.x, g1.y, 1.2f * k, guard[2]);
  }
  outline(im);
  if (p.mark & 1) {  // bettered: a glint on the edge and sparkles about
    for (int32_t i = 0; i < 5; ++i) {
      const int32_t x = int32_t(hash3(i, 0, seed) % uint32_t(im.w)), y = int32_t(hash3(i, 1, seed) % uint32_t(im.h));
      if (pixel(im, x, y) == kKey) put(im, x, y, i & 1 ? kGold[4] : kBlue[4]);
    }
    const Pt tip = at(hilt, len * 0.6f, curve(len * 0.6f));
    put(im, int32_t(tip.x), int32_t(tip.y), kWhite[4]);
  }
}

void paint_blunt(Image& im, const Params& p, uint32_t seed) {
  const Ramp& head = *p.a;
  const Ramp& shaft = *p.b;
  switch (p.style) {
    case kMaul:
      stroke(im, 2.5f, 14, 10, 6.5f, 1.4f, shaft[2]);
      poly(im, {{7.5f, 4}, {11, 0.5f}, {15.5f, 5}, {12, 8.5f}}, head[2]);
      poly(im, {{7.5f, 4}, {11, 0.5f}, {12.5f, 2}, {9, 5.5f}}, head[4]);
      break;
    case kMorningstar:
    case kWarMace:
    case kMace: {
      const float r = p.style == kMace ? 2.3f : 2.8f;
      stroke(im, 2.5f, 14, 10, 6.5f, 1.4f, shaft[2]);
      rect(im, 2, 12.5f, 3, 1, shaft[0]);
      for (int32_t i = 0; i < 8; ++i) {  // spikes or flanges
        const float t = float(i) * 0.785f;
        stroke(im, 11, 5, 11 + (r + 1.6f) * std::cos(t), 5 + (r + 1.6f) * std::sin(t), p.style == kMorningstar ? 0.8f : 1.4f, head[1]);
      }
      ball(im, 11, 5, r, r, head, 1, 4);
      if (p.style == kWarMace) ball(im, 11, 5, 1, 1, kGold, 2, 4);
      break;
    }
    case kStaff:
      stroke(im, 2, 15, 12.5f, 3, 1.5f, shaft[2]);
      stroke(im, 2, 15, 12.5f, 3, 0.6f, shaft[3]);
      ball(im, 13, 2.5f, 2.2f, 2.2f, head, 1, 4);
      rect(im, 5, 10, 2, 1.2f, kGold[2]);
      break;
    case kRod:
      stroke(im, 4, 13, 11, 5, 1.3f, shaft[3]);
      ball(im, 4, 13, 1.2f, 1.2f, kGold, 1, 4);
      ball(im, 11.8f, 4.2f, 1.9f, 1.9f, head, 1, 4);
      break;
    case kWand:
      stroke(im, 4.5f, 12.5f, 10.5f, 5.5f, 0.9f, shaft[2]);
      poly(im, {{11.5f, 1}, {12.5f, 3.5f}, {15, 4.5f}, {12.5f, 5.5f}, {11.5f, 8}, {10.5f, 5.5f}, {8, 4.5f}, {10.5f, 3.5f}}, head[3]);
      put(im, 11, 4, head[4]);
      break;
    default: break;
  }
  outline(im);
  (void)seed;
}

void paint_axe(Image& im, const Params& p, uint32_t seed) {
  const Ramp& head = *p.a;
  const Ramp& shaft = *p.b;
  const float k = p.size < 0 ? 0.8f : 1.0f;  // hand axes are smaller
  const Pt top{2.5f + 9.5f * k, 14.5f - 11.5f * k};
  stroke(im, 2.5f, 14.5f, top.x, top.y, 1.4f, shaft[2]);
  const int32_t blades = p.tool == 2 ? 2 : 1;
  for (int32_t s = 0; s < blades; ++s) {
    const float side = s == 0 ? 1.0f : -1.0f;
    const Pt a = at(top, -1.0f, 0.6f * side), b = at(top, 1.0f, 0.6f * side);
    const Pt c = at(top, 3.2f * k, 4.6f * k * side), d = at(top, -3.6f * k, 4.6f * k * side);
    poly(im, {a, b, c, at(top, -0.2f, 5.2f * k * side), d}, head[2]);
    stroke(im, c.x, c.y, d.x, d.y, 1, head[4]);
    if (p.c) put(im, int32_t(top.x + side * 1.8f), int32_t(top.y + side * 1.8f), (*p.c)[3]);
  }
  if (p.c) rect(im, 3.5f, 12, 2, 1, (*p.c)[2]);
  outline(im);
  (void)seed;
}

void paint_potion(Image& im, const Params& p, uint32_t seed) {
  const Ramp& liquid = *p.a;
  ellipse(im, 8, 10.5f, 4.8f, 4.6f, kWhite[1]);
  ball(im, 8, 10.8f, 4, 3.9f, liquid, 0, 4);
  rect(im, 4.5f, 7.5f, 7, 1.5f, mix(liquid[3], kWhite[4], 0.4f));  // the surface
  rect(im, 6.6f, 3.5f, 2.8f, 4, kWhite[2]);
  rect(im, 6.3f, 1.5f, 3.4f, 2.5f, kWood[3]);
  put(im, 5, 10, kWhite[4]);
  put(im, 5, 11, kWhite[3]);
  outline(im);
  (void)seed;
}

void paint_robe(Image& im, const Params& p, uint32_t seed) {
  const Ramp& c = *p.a;
  const Ramp& trim = *p.b;
  poly(im, {{5, 2}, {11, 2}, {15, 8}, {13, 9.5f}, {11.5f, 7}, {13, 15}, {3, 15}, {4.5f, 7}, {3, 9.5f}, {1, 8}}, c[2]);
  poly(im, {{5, 2}, {8, 2}, {7.5f, 15}, {3, 15}, {4.5f, 7}, {3, 9.5f}, {1, 8}}, c[3]);
  poly(im, {{6.5f, 2}, {9.5f, 2}, {8, 5}}, kKey);  // neck opening
  rect(im, 4.3f, 8.5f, 7.6f, 1.2f, trim[3]);
  rect(im, 3, 14, 10, 1, trim[2]);
  line(im, 8, 10, 8, 13, c[1]);
  outline(im);
  (void)seed;
}

void paint_armour(Image& im, const Params& p, uint32_t seed) {
  const Ramp& m = *p.a;
  const Ramp& trim = *p.b;
  if (p.style == kFullPlate) {  // tassets hanging below
    rect(im, 4, 12, 3.5f, 3.5f, m[2]);
    rect(im, 8.5f, 12, 3.5f, 3.5f, m[1]);
  }
  poly(im, {{4, 3.5f}, {12, 3.5f}, {12.5f, 12.5f}, {8, 14}, {3.5f, 12.5f}}, m[2]);
  poly(im, {{4, 3.5f}, {8, 3.5f}, {8, 14}, {3.5f, 12.5f}}, m[3]);
  ellipse(im, 8, 3.2f, 2.4f, 1.8f, kKey);
  const float pad = p.style == kFullPlate ? 2.8f : 2.0f;
  ball(im, 3.6f, 5, pad, pad * 0.85f, m, 1, 4);
  ball(im, 12.4f, 5, pad, pad * 0.85f, m, 0, 3);
  for (int32_t y = 5; y < 13; ++y)
    for (int32_t x = 4; x < 13; ++x) {
      if (pixel(im, x, y) == kKey) continue;
      switch (p.style) {
        case kStudded:
          if (x % 3 == 0 && y % 3 == 1) pixel(im, x, y) = kSteel[4];
          break;
        case kChain:
          if ((x + y) % 2 == 0) pixel(im, x, y) = m[1];
          break;
        case kScale:
          if (y % 2 == 0 && (x + y / 2) % 3 == 0) pixel(im, x, y) = m[0];
          else if (y % 2 == 1 && (x + y / 2) % 3 == 1) pixel(im, x, y) = m[4];
          break;
        case kMagic:
          if (hash_unit(x, y, seed) < 0.08f) pixel(im, x, y) = kBlue[4];
          break;
        default: break;
      }
    }
  if (p.style == kLeather || p.style == kStudded) line(im, 8, 5, 8, 13, m[0]);  // lacing
  if (p.style == kPlate || p.style == kFullPlate || p.style == kMagic) {
    line(im, 8, 5, 8, 13, m[4]);
    rect(im, 4, 10, 8.5f, 1, trim[2]);
  }
  rect(im, 5, 3.5f, 6, 1, trim[3]);
  outline(im);
  if (p.style == kMagic) {  // a glow around the outline
    put(im, 1, 1, kPurple[4]);
    put(im, 14, 2, kBlue[4]);
    put(im, 1, 12, kBlue[4]);
    put(im, 14, 13, kPurple[4]);
  }
}

void paint_bag(Image& im, const Params& p, uint32_t seed) {
  const Ramp& c = *p.a;
  ball(im, 8, 10.5f, 5.2f, 4.6f, c, 0, 4);
  poly(im, {{5.5f, 3}, {10.5f, 3}, {9.2f, 6.5f}, {6.8f, 6.5f}}, c[2]);
  rect(im, 6, 5.5f, 4, 1.3f, kGold[2]);
  put(im, 10, 7, kGold[3]);
  put(im, 11, 8, kGold[3]);
  rect(im, 9, 11, 2, 2, c[1]);  // patch
  outline(im);
  (void)seed;
}

void paint_small(Image& im, const Params& p, uint32_t seed) {
  switch (p.style) {
    case kSocket:
      ellipse(im, 8, 8, 5.5f, 5.5f, kStone[3]);
      ball(im, 8, 8, 4.3f, 4.3f, kStone, 0, 2);
      ellipse(im, 8, 8, 2.8f, 2.8f, kDark[1]);
      for (int32_t i = 0; i < 4; ++i) {
        const float t = 0.785f + float(i) * 1.5708f;
        ball(im, 8 + 5 * std::cos(t), 8 + 5 * std::sin(t), 1.3f, 1.3f, kGold, 1, 4);
      }
      outline(im);
      break;
    case kCorner: {  // a carved frame corner, turned to each of the four corners
      Image c = make_image(im.w, im.h, kKey);
      rect(c, 1, 1, 14, 3, kGold[2]);
      rect(c, 1, 1, 3, 14, kGold[2]);
      line(c, 1, 1, 14, 1, kGold[4]);
      line(c, 1, 1, 1, 14, kGold[4]);
      line(c, 4, 3, 14, 3, kGold[0]);
      line(c, 3, 4, 3, 14, kGold[0]);
      ball(c, 4.5f, 4.5f, 2.6f, 2.6f, kRed, 1, 4);
      outline(c);
      const bool fx = p.tool == 2 || p.tool == 3, fy = p.tool == 3 || p.tool == 4;
      for (int32_t y = 0; y < im.h; ++y)
        for (int32_t x = 0; x < im.w; ++x) pixel(im, x, y) = pixel(c, fx ? im.w - 1 - x : x, fy ? im.h - 1 - y : y);
      break;
    }
    case kCross:  // the pointer: four arms round an open middle, and a centre dot
      rect(im, 7, 1, 2, 5, kWhite[4]);
      rect(im, 7, 10, 2, 5, kWhite[4]);
      rect(im, 1, 7, 5, 2, kWhite[4]);
      rect(im, 10, 7, 5, 2, kWhite[4]);
      rect(im, 7, 7, 2, 2, kRed[3]);
      outline(im);
      break;
    default:  // blank: nothing at all
      break;
  }
  (void)seed;
}

void paint_building(Image& im, const Params& p, uint32_t seed) {
  switch (p.style) {
    case kFarm:
      rect(im, 2, 7, 9, 8, kRed[2]);
      rect(im, 2, 7, 3, 8, kRed[3]);
      poly(im, {{1, 7.5f}, {6.5f, 2.5f}, {12, 7.5f}}, kWood[1]);
      rect(im, 4.5f, 10, 4, 5, kWood[3]);
      line(im, 5, 10, 8, 14, kWhite[4]);
      line(im, 8, 10, 5, 14, kWhite[4]);
      ball(im, 13, 12.5f, 2.6f, 2.6f, kGold, 1, 4);
      break;
    case kMerchant:
      rect(im, 2.5f, 5, 1, 10, kWood[2]);
      rect(im, 12.5f, 5, 1, 10, kWood[2]);
      rect(im, 2, 10, 12, 5, kWood[2]);
      rect(im, 2, 10, 12, 1, kWood[4]);
      for (int32_t x = 1; x < 15; x += 2) rect(im, float(x), 3, 2, 3.5f, (x / 2) % 2 ? kWhite[4] : kRed[3]);
      put(im, 4, 9, kGold[4]);
      put(im, 7, 9, kRed[3]);
      put(im, 10, 9, kSlime[3]);
      break;
    case kQuarry:
      ball(im, 8, 9, 7, 6, kRock, 0, 4);
      rect(im, 3, 10, 4, 3, kStone[3]);
      rect(im, 8, 11, 4, 3, kStone[2]);
      stroke(im, 10, 3, 14, 8, 1, kWood[3]);
      stroke(im, 11, 2, 14, 3, 1.2f, kSteel[3]);
      break;
    case kStable:  // a long shed with half doors, a horse looking out of one
      rect(im, 1, 7, 14, 8, kWood[3]);
      poly(im, {{0.5f, 7.5f}, {3, 3}, {13, 3}, {15.5f, 7.5f}}, kBrick[2]);
      for (int32_t i = 0; i < 3; ++i) {
        rect(im, 2 + float(i) * 4.5f, 9, 3.5f, 6, kDark[1]);
        rect(im, 2 + float(i) * 4.5f, 12, 3.5f, 3, kWood[1]);
      }
      ellipse(im, 4, 10.5f, 1.4f, 1.8f, kEarth[2]);
      rect(im, 2.5f, 11, 1.5f, 1.2f, kEarth[3]);
      put(im, 4, 10, kInk);
      rect(im, 13, 12, 2.5f, 1, kSand[4]);  // hay
      break;
    case kTower:
      rect(im, 5, 5, 6, 11, kStone[2]);
      rect(im, 5, 5, 2, 11, kStone[3]);
      poly(im, {{4, 5.5f}, {8, 0}, {12, 5.5f}}, kBlue[2]);
      rect(im, 7.5f, 8, 1.5f, 2.5f, kDark[0]);
      rect(im, 7, 12.5f, 2.5f, 3.5f, kWood[1]);
      break;
    case kBarrack:
      rect(im, 1, 8, 14, 7, kStone[2]);
      poly(im, {{0.5f, 8.5f}, {3, 5}, {13, 5}, {15.5f, 8.5f}}, kBrick[2]);
      rect(im, 6.5f, 11, 3, 4, kWood[1]);
      line(im, 13, 0, 13, 5, kWood[1]);
      rect(im, 10, 0, 3, 2.2f, kRed[3]);
      ball(im, 3.5f, 11, 1.5f, 1.8f, kBlue, 1, 4);  // a shield on the wall
      break;
    case kSmithy:
      rect(im, 1, 6, 10, 9, kStone[2]);
      poly(im, {{0.5f, 6.5f}, {6, 2.5f}, {11.5f, 6.5f}}, kWood[1]);
      rect(im, 8, 1, 2, 4, kStone[1]);
      put(im, 9, 0, kStone[3]);
      rect(im, 3, 9, 3, 3, kFire[3]);          // forge glow
      rect(im, 11, 11, 4.5f, 1.5f, kDark[2]);  // anvil
      rect(im, 12, 12.5f, 2, 2.5f, kDark[2]);
      break;
    case kKeep:
      rect(im, 4, 8, 8, 7, kStone[2]);
      rect(im, 1.5f, 5, 3.5f, 10, kStone[3]);
      rect(im, 11, 5, 3.5f, 10, kStone[1]);
      for (int32_t x = 2; x < 15; x += 2) rect(im, float(x), x < 5 || x > 10 ? 4 : 7, 1, 1, kStone[2]);
      rect(im, 6.5f, 10, 3, 5, kWood[1]);
      line(im, 8, 0, 8, 6, kWood[1]);
      rect(im, 8.5f, 0, 3, 2, kBlue[3]);
      break;
    case kChurch:
      rect(im, 1, 8, 9, 7, kWhite[2]);
      poly(im, {{0.5f, 8.5f}, {5.5f, 4.5f}, {10.5f, 8.5f}}, kBrick[2]);
      rect(im, 10, 4, 4, 11, kWhite[3]);
      poly(im, {{9.5f, 4.5f}, {12, 1}, {14.5f, 4.5f}}, kBrick[1]);
      rect(im, 11.5f, 7, 1, 2, kBlue[3]);
      line(im, 12, 0, 12, 1, kGold[4]);
      ellipse(im, 5.5f, 10.5f, 1.3f, 1.3f, kBlue[3]);
      rect(im, 4.5f, 12.5f, 2, 2.5f, kWood[1]);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}
