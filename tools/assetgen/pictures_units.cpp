// Creatures: figures on the colour key, facing the viewer or walking left.
#include <cmath>

#include "assetgen/noise.h"
#include "assetgen/painters.h"

using namespace pal;

namespace {
// Maps a figure drawn for a 16 x 16 picture with its feet at the bottom
// centre onto a smaller or bigger one standing on the same spot.
struct Frame {
  float s = 1;     // scale
  float lift = 0;  // pixels the figure floats above the ground
  float x(float v) const { return 8 + (v - 8) * s; }
  float y(float v) const { return 15.5f + (v - 15.5f) * s - lift; }
  float r(float v) const { return v * s; }
};

Frame frame_for(int32_t size) { return Frame{size < 0 ? 0.8f : (size > 0 ? 1.04f : 0.94f), 0}; }

void f_stroke(Image& im, const Frame& f, float x0, float y0, float x1, float y1, float w, Rgb c) { stroke(im, f.x(x0), f.y(y0), f.x(x1), f.y(y1), f.r(w), c); }
void f_ball(Image& im, const Frame& f, float x, float y, float rx, float ry, const Ramp& r, int lo = 0, int hi = 4) {
  ball(im, f.x(x), f.y(y), f.r(rx), f.r(ry), r, lo, hi);
}
void f_rect(Image& im, const Frame& f, float x, float y, float w, float h, Rgb c) { rect(im, f.x(x), f.y(y), f.r(w), f.r(h), c); }
void f_put(Image& im, const Frame& f, float x, float y, Rgb c) { put(im, int32_t(std::floor(f.x(x))), int32_t(std::floor(f.y(y))), c); }

void flame_tongue(Image& im, float x, float y, float s) {
  poly(im, {{x, y - 3.2f * s}, {x - 1.6f * s, y}, {x + 1.6f * s, y}}, kFire[2]);
  ellipse(im, x, y, 1.6f * s, 1.4f * s, kFire[2]);
  ellipse(im, x, y + 0.2f * s, 0.8f * s, 0.9f * s, kFire[4]);
}

void held_tool(Image& im, const Frame& f, int32_t tool, const Ramp& gear) {
  switch (tool) {
    case kToolSword:
      f_stroke(im, f, 12.6f, 10.2f, 14.3f, 2.2f, 1.4f, kSteel[4]);
      f_stroke(im, f, 11.4f, 9.6f, 14.0f, 10.2f, 1.1f, kGold[2]);
      break;
    case kToolStaff:
      f_stroke(im, f, 13, 1.8f, 13, 15, 1.2f, kWood[2]);
      f_ball(im, f, 13, 1.6f, 1.5f, 1.5f, gear, 1, 4);
      break;
    case kToolAxe:
      f_stroke(im, f, 12.5f, 13, 13.5f, 2.5f, 1.2f, kWood[2]);
      poly(im, {{f.x(13.2f), f.y(2.4f)}, {f.x(15.2f), f.y(1.6f)}, {f.x(15.2f), f.y(6.4f)}, {f.x(13.2f), f.y(5.4f)}}, kSteel[3]);
      break;
    case kToolClub:
      f_stroke(im, f, 12.4f, 11, 13.4f, 5, 1.4f, kWood[2]);
      f_ball(im, f, 13.5f, 4.6f, 1.7f, 2.3f, kWood, 1, 4);
      break;
    case kToolDagger: f_stroke(im, f, 12.6f, 10.6f, 14, 7.2f, 1, kSteel[4]); break;
    case kToolMace:
      f_stroke(im, f, 12.5f, 11, 13.6f, 5, 1.2f, kWood[2]);
      f_ball(im, f, 13.8f, 4.2f, 1.9f, 1.9f, gear, 1, 4);
      break;
    default: break;
  }
}
}  // namespace

// mark bits: 1 robe, 2 shield, 4 wings, 8 tail
void paint_humanoid(Image& im, const Params& p, uint32_t seed) {
  const Ramp& skin = *p.a;
  const Ramp& cloth = *p.b;
  const Ramp& gear = p.c ? *p.c : kSteel;
  const Frame f = frame_for(p.size);
  if (p.mark & 4) {  // bat wings behind the body
    poly(im, {{f.x(6), f.y(7)}, {f.x(0.5f), f.y(2.5f)}, {f.x(1.5f), f.y(9.5f)}}, kDark[2]);
    poly(im, {{f.x(10), f.y(7)}, {f.x(15.5f), f.y(2.5f)}, {f.x(14.5f), f.y(9.5f)}}, kDark[2]);
  }
  if (p.mark & 8) f_stroke(im, f, 10, 12, 13.5f, 14.5f, 1, skin[1]);
  if (p.mark & 1) {  // robe down to the feet
    poly(im, {{f.x(5), f.y(6.5f)}, {f.x(11), f.y(6.5f)}, {f.x(12.5f), f.y(15.6f)}, {f.x(3.5f), f.y(15.6f)}}, cloth[2]);
    poly(im, {{f.x(5), f.y(6.5f)}, {f.x(7.5f), f.y(6.5f)}, {f.x(7), f.y(15.6f)}, {f.x(3.5f), f.y(15.6f)}}, cloth[3]);
    f_rect(im, f, 3.8f, 14.6f, 8.5f, 1, cloth[1]);
    f_rect(im, f, 7.5f, 7, 1, 8, gear[3]);  // trim
  } else {
    f_rect(im, f, 5.5f, 11, 2, 4, cloth[1]);
    f_rect(im, f, 8.5f, 11, 2, 4, cloth[1]);
    f_rect(im, f, 5.3f, 14, 2.4f, 1.6f, kWood[0]);
    f_rect(im, f, 8.3f, 14, 2.4f, 1.6f, kWood[0]);
    f_rect(im, f, 5, 6.5f, 6, 5, cloth[2]);
    f_rect(im, f, 5, 6.5f, 2, 5, cloth[3]);
    f_rect(im, f, 5, 10, 6, 1, kWood[1]);  // belt
  }
  f_stroke(im, f, 5.2f, 7.4f, 3.6f, 10.8f, 1.7f, cloth[1]);
  f_stroke(im, f, 10.8f, 7.4f, 12.4f, 10.4f, 1.7f, cloth[1]);
  f_ball(im, f, 3.6f, 11.2f, 1, 1, skin, 1, 3);
  held_tool(im, f, p.tool, gear);
  f_ball(im, f, 12.5f, 10.8f, 1, 1, skin, 1, 3);
  if (p.mark & 2) {  // round shield on the left arm
    f_ball(im, f, 4, 10, 2.7f, 3.2f, gear, 1, 3);
    f_ball(im, f, 4, 10, 0.9f, 0.9f, kGold, 2, 4);
  }
  // head
  const Rgb eye = (p.style == kHeadEars || p.style == kHeadSkullCrown) ? kRed[4] : kInk;
  switch (p.style) {
    case kHeadHood:
      f_ball(im, f, 8, 3.9f, 3.2f, 3.2f, cloth, 0, 3);
      f_ball(im, f, 8, 4.6f, 2.0f, 1.9f, skin, 0, 2);
      break;
    case kHeadHorns:
      f_stroke(im, f, 6, 3, 3.4f, 0.8f, 1.2f, kBone[3]);
      f_stroke(im, f, 10, 3, 12.6f, 0.8f, 1.2f, kBone[3]);
      f_ball(im, f, 8, 4, 2.9f, 2.6f, skin, 1, 4);
      f_ball(im, f, 8, 5.6f, 1.7f, 1.1f, skin, 3, 4);
      f_put(im, f, 7.4f, 5.6f, kInk);
      f_put(im, f, 8.6f, 5.6f, kInk);
      f_put(im, f, 6.8f, 3.6f, kRed[4]);
      f_put(im, f, 9.2f, 3.6f, kRed[4]);
      break;
    case kHeadEars:
      f_stroke(im, f, 5.8f, 4, 3.4f, 2.4f, 1.2f, skin[2]);
      f_stroke(im, f, 10.2f, 4, 12.6f, 2.4f, 1.2f, skin[2]);
      f_ball(im, f, 8, 4, 2.6f, 2.5f, skin, 0, 4);
      break;
    case kHeadSnakes:
      for (int32_t k = 0; k < 7; ++k) {
        const float t = 3.4f + float(k) * 0.45f;
        const float ex = 8 + 4.2f * std::cos(t), ey = 3.6f + 3.6f * std::sin(t);
        f_stroke(im, f, 8, 3.6f, ex, ey, 1, gear[2]);
        f_put(im, f, ex, ey, gear[4]);
      }
      f_ball(im, f, 8, 4.2f, 2.4f, 2.4f, skin, 0, 4);
      break;
    case kHeadSkullCrown:
      f_ball(im, f, 8, 4, 2.6f, 2.5f, kBone, 1, 4);
      f_rect(im, f, 5.6f, 0.8f, 4.8f, 1.4f, kGold[3]);
      for (int32_t k = 0; k < 3; ++k) f_put(im, f, 5.8f + float(k) * 2.1f, 0.2f, kGold[4]);
      break;
    case kHeadLeaves:
      f_ball(im, f, 8, 4.3f, 2.5f, 2.4f, skin, 0, 4);
      f_ball(im, f, 8, 2.4f, 3.6f, 2.2f, kLeafLight, 1, 4);
      break;
    default: f_ball(im, f, 8, 4, 2.6f, 2.5f, skin, 0, 4); break;
  }
  if (p.style != kHeadHorns) {
    const float ey = p.style == kHeadHood ? 4.4f : 4.0f;
    f_put(im, f, 7, ey, p.style == kHeadSkullCrown ? kRed[4] : eye);
    f_put(im, f, 9, ey, p.style == kHeadSkullCrown ? kRed[4] : eye);
  }
  switch (p.style) {  // things over the face
    case kHeadHair: f_ball(im, f, 8, 2.2f, 2.7f, 1.3f, gear, 1, 3); break;
    case kHeadHelm:
      f_ball(im, f, 8, 2.7f, 2.9f, 1.9f, gear, 1, 4);
      f_rect(im, f, 7.6f, 2.8f, 0.9f, 2.8f, gear[2]);
      break;
    case kHeadHat:
      poly(im, {{f.x(4.2f), f.y(2.9f)}, {f.x(11.8f), f.y(2.9f)}, {f.x(9.5f), f.y(-0.6f)}}, gear[2]);
      poly(im, {{f.x(4.2f), f.y(2.9f)}, {f.x(7.5f), f.y(2.9f)}, {f.x(9.5f), f.y(-0.6f)}}, gear[3]);
      f_rect(im, f, 3.8f, 2.6f, 8.4f, 1, gear[1]);
      poly(im, {{f.x(6.5f), f.y(5.6f)}, {f.x(9.5f), f.y(5.6f)}, {f.x(8), f.y(9)}}, kWhite[3]);  // beard
      break;
    case kHeadBeard:
      f_ball(im, f, 8, 2.6f, 2.9f, 1.8f, kSteel, 1, 4);
      poly(im, {{f.x(5.4f), f.y(4.8f)}, {f.x(10.6f), f.y(4.8f)}, {f.x(8), f.y(10)}}, gear[2]);
      poly(im, {{f.x(5.4f), f.y(4.8f)}, {f.x(8), f.y(4.8f)}, {f.x(8), f.y(10)}}, gear[3]);
      break;
    case kHeadStar:
      f_stroke(im, f, 6.5f, 2, 5, -0.5f, 0.8f, skin[3]);
      f_stroke(im, f, 9.5f, 2, 11, -0.5f, 0.8f, skin[3]);
      f_put(im, f, 5, -0.4f, kGold[4]);
      f_put(im, f, 11, -0.4f, kGold[4]);
      f_put(im, f, 8, 2.6f, kWhite[4]);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}

void paint_skeleton(Image& im, const Params& p, uint32_t seed) {
  const int32_t v = p.style;
  const Ramp& bone = v == kBonesEvil ? kWhite : kBone;
  Frame f = frame_for(v == kBonesOgre || v == kBonesMonster ? 1 : (v == kBonesSturdy ? 0 : p.size));
  if (v == kBonesFloating) f.lift = 1;
  const float w = (v == kBonesSturdy || v == kBonesOgre) ? 1.4f : 1.0f;
  if (v == kBonesEvil) {  // a dark halo behind
    f_ball(im, f, 8, 8, 6.5f, 7.5f, kPurple, 0, 1);
  }
  if (v == kBonesFloating) {  // wisps instead of legs
    poly(im, {{f.x(5), f.y(10)}, {f.x(11), f.y(10)}, {f.x(10), f.y(16)}, {f.x(8), f.y(13.5f)}, {f.x(6), f.y(16)}}, kPurple[3]);
  } else {
    f_stroke(im, f, 7, 12, 6.4f, 15, w, bone[3]);
    f_stroke(im, f, 9, 12, 9.6f, 15, w, bone[2]);
  }
  f_rect(im, f, 6, 10.8f, 4, 1.3f, bone[2]);    // pelvis
  f_stroke(im, f, 8, 6.5f, 8, 11, w, bone[1]);  // spine
  for (int32_t k = 0; k < 2; ++k) {             // ribs on their own pixel rows, with gaps between
    const int32_t y = int32_t(f.y(7.3f + float(k) * 1.9f));
    line(im, int32_t(f.x(5.7f)), y, int32_t(f.x(10.3f)), y, bone[3]);
  }
  if (v == kBonesZombie || v == kBonesWounded) {  // rags and rotten flesh
    f_rect(im, f, 5.5f, 8.2f, 3, 3, kOlive[2]);
    f_rect(im, f, 5.5f, 10.5f, 5, 2, kEarth[1]);
    f_put(im, f, 9.5f, 9, kOlive[1]);
  }
  if (v == kBonesArmored) {
    f_rect(im, f, 5.2f, 6.8f, 5.6f, 4, kSteel[2]);
    f_rect(im, f, 5.2f, 6.8f, 2, 4, kSteel[3]);
  }
  f_stroke(im, f, 5.4f, 7, 3.8f, 11, w, bone[3]);
  f_stroke(im, f, 10.6f, 7, 12.2f, 10.5f, w, bone[2]);
  // weapons
  if (v == kBonesBrave || v == kBonesWarrior) held_tool(im, f, kToolSword, kSteel);
  if (v == kBonesOgre) held_tool(im, f, kToolClub, kWood);
  if (v == kBonesBrave) {
    f_ball(im, f, 4, 10, 2.5f, 3, kWood, 1, 3);
    f_rect(im, f, 3.5f, 8, 1, 4, kSteel[3]);
  }
  // skull
  f_ball(im, f, 8, 3.8f, 2.8f, 2.5f, bone, 1, 4);
  f_rect(im, f, 7, 5.6f, 2.2f, 1.2f, bone[2]);  // jaw
  f_put(im, f, 7.9f, 5.9f, kInk);
  f_rect(im, f, 6.2f, 3.3f, 1.4f, 1.5f, kInk);  // sockets
  f_rect(im, f, 8.7f, 3.3f, 1.4f, 1.5f, kInk);
  const bool glow = v == kBonesEvil || v == kBonesMonster || v == kBonesFire;
  if (glow) {
    f_put(im, f, 6.8f, 3.8f, v == kBonesFire ? kFire[3] : kRed[4]);
    f_put(im, f, 9, 3.8f, v == kBonesFire ? kFire[3] : kRed[4]);
  }
  if (v == kBonesMonster) {
    f_stroke(im, f, 6, 2.5f, 4, 0.5f, 1, bone[4]);
    f_stroke(im, f, 10, 2.5f, 12, 0.5f, 1, bone[4]);
  }
  if (v == kBonesArmored || v == kBonesWarrior) {
    f_ball(im, f, 8, 2.4f, 2.9f, 1.6f, kSteel, 1, 4);
    if (v == kBonesWarrior) f_stroke(im, f, 8, 1, 9.5f, -0.5f, 1, kRed[3]);
  }
  if (v == kBonesEvil) {
    for (int32_t k = 0; k < 3; ++k) f_put(im, f, 6 + float(k) * 2, 0.8f, kPurple[4]);
  }
  if (v == kBonesWounded) {
    f_put(im, f, 6.5f, 9, kRed[2]);
    f_put(im, f, 9.5f, 5.5f, kRed[2]);
    f_put(im, f, 7.5f, 12, kRed[1]);
  }
  if (v == kBonesFire) {
    flame_tongue(im, f.x(8), f.y(1.8f), 0.9f);
    flame_tongue(im, f.x(3.8f), f.y(10.5f), 0.5f);
    flame_tongue(im, f.x(12.2f), f.y(10), 0.5f);
  }
  (void)seed;
  finish_sprite(im);
}

void paint_beast(Image& im, const Params& p, uint32_t seed) {
  const Ramp& b = *p.a;
  const Frame f = frame_for(p.size);
  const Rgb eye = p.mark ? kRed[4] : kInk;
  switch (p.style) {
    case kBeastRat:
      f_stroke(im, f, 12, 12, 14.5f, 13.5f, 0.8f, kPink[3]);
      f_stroke(im, f, 14.5f, 13.5f, 15.5f, 11.5f, 0.8f, kPink[3]);
      f_ball(im, f, 9, 11.5f, 4, 2.6f, b, 0, 4);
      f_ball(im, f, 4.6f, 11.5f, 2.3f, 1.9f, b, 0, 4);
      f_ball(im, f, 2.6f, 12, 1.3f, 0.9f, b, 1, 3);
      f_ball(im, f, 5.4f, 9.4f, 1, 1, kPink, 2, 4);
      f_put(im, f, 1.5f, 12, kPink[2]);
      f_put(im, f, 4, 11, eye);
      f_stroke(im, f, 7, 13.5f, 6.5f, 15, 0.8f, kPink[2]);
      f_stroke(im, f, 11, 13.5f, 11.5f, 15, 0.8f, kPink[2]);
      break;
    case kBeastDog:
      for (int32_t k = 0; k < 4; ++k) {
        const float x = 6 + float(k % 2) * 1.2f + float(k / 2) * 5.5f;
        f_stroke(im, f, x, 10, x - 0.3f, 15, 1.3f, b[k % 2 ? 1 : 2]);
      }
      f_stroke(im, f, 13, 8.5f, 15, 5.5f, 1.1f, b[2]);  // tail
      f_ball(im, f, 9.3f, 9.3f, 4.6f, 2.6f, b, 0, 4);
      f_ball(im, f, 4.4f, 6.8f, 2.4f, 2.2f, b, 0, 4);
      f_rect(im, f, 0.8f, 6.8f, 2.6f, 1.8f, b[2]);
      f_put(im, f, 0.8f, 6.8f, kInk);
      poly(im, {{f.x(4.5f), f.y(5)}, {f.x(6.8f), f.y(3.5f)}, {f.x(6.6f), f.y(7)}}, b[1]);
      f_put(im, f, 3.5f, 6, eye);
      if (p.mark)  // bristling back
        for (int32_t k = 0; k < 3; ++k) poly(im, {{f.x(7 + float(k) * 2), f.y(7)}, {f.x(8 + float(k) * 2), f.y(5)}, {f.x(9 + float(k) * 2), f.y(7)}}, b[1]);
      break;
    case kBeastBear:
      for (int32_t k = 0; k < 4; ++k) {
        const float x = 5 + float(k % 2) * 1.5f + float(k / 2) * 6;
        f_stroke(im, f, x, 10, x, 15, 2.2f, b[k % 2 ? 1 : 2]);
      }
      f_ball(im, f, 9, 9.2f, 5.8f, 3.8f, b, 0, 4);
      f_ball(im, f, 3.6f, 8.4f, 2.8f, 2.4f, b, 0, 4);
      f_ball(im, f, 1.4f, 9, 1.3f, 1, b, 1, 3);
      f_put(im, f, 0.6f, 9, kInk);
      f_ball(im, f, 4.6f, 6.1f, 0.9f, 0.9f, b, 1, 2);
      f_put(im, f, 2.8f, 8, eye);
      break;
    case kBeastRust:  // armoured body, feathery feelers
      f_stroke(im, f, 4, 7, 1.2f, 1.5f, 0.8f, b[3]);
      f_stroke(im, f, 5, 7, 6, 1.2f, 0.8f, b[3]);
      f_put(im, f, 1.2f, 1.5f, kGold[4]);
      f_put(im, f, 6, 1.2f, kGold[4]);
      for (int32_t k = 0; k < 3; ++k) f_stroke(im, f, 6 + float(k) * 3, 11, 5.5f + float(k) * 3, 15, 1, b[0]);
      f_stroke(im, f, 13, 10, 15.5f, 12.5f, 1.2f, b[1]);
      for (int32_t k = 0; k < 4; ++k) f_ball(im, f, 13 - float(k) * 2.4f, 10 - float(k == 0) * 0.2f, 2.2f, 2.8f, b, 0, 4);
      f_ball(im, f, 4, 8.8f, 2, 2, b, 1, 4);
      f_put(im, f, 3.3f, 8.5f, eye);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}

void paint_serpent(Image& im, const Params& p, uint32_t seed) {
  const Ramp& body = *p.a;
  const Ramp& belly = *p.b;
  if (p.style == 1) {  // a great worm rising from the ground, mouth up
    const float pts[6][2] = {{3, 15.5f}, {3.5f, 12}, {5.5f, 9}, {8.5f, 7}, {11, 5.5f}, {12, 3.8f}};
    for (int32_t i = 0; i < 5; ++i) stroke(im, pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], 4.6f, body[2 + (i & 1)]);
    for (int32_t i = 1; i < 5; ++i) stroke(im, pts[i][0] - 1.8f, pts[i][1] + 0.8f, pts[i][0] + 0.4f, pts[i][1] + 2.2f, 0.8f, body[1]);
    ellipse(im, 12.3f, 3.3f, 2.4f, 1.9f, body[1]);
    ellipse(im, 12.3f, 3.3f, 1.5f, 1.1f, kDark[0]);
    put(im, 11, 3, kWhite[4]);
    put(im, 13, 3, kWhite[4]);
    finish_sprite(im);
    return;
  }
  const float pts[8][2] = {{14.5f, 14}, {11, 13.2f}, {6.5f, 13.6f}, {3.6f, 11.8f}, {4.6f, 9.2f}, {8.4f, 8.4f}, {9.8f, 6.6f}, {8.4f, 4.4f}};
  for (int32_t i = 0; i < 7; ++i) {
    const float w = i == 0 ? 1.4f : 2.8f;
    stroke(im, pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], w, body[2]);
  }
  for (int32_t i = 1; i < 7; ++i)  // lighter belly scales along the coil
    put(im, int32_t((pts[i][0] + pts[i + 1][0]) * 0.5f), int32_t((pts[i][1] + pts[i + 1][1]) * 0.5f) + 1, belly[3]);
  for (int32_t i = 1; i < 7; i += 2) put(im, int32_t(pts[i][0]), int32_t(pts[i][1]) - 1, body[4]);
  ball(im, 7.6f, 4, 2.5f, 1.9f, body, 1, 4);
  put(im, 6, 3, p.mark ? kGold[4] : kGold[3]);
  line(im, 5, 5, 4, 5, kRed[3]);
  put(im, 3, 4, kRed[3]);
  put(im, 3, 6, kRed[3]);
  if (p.mark) {
    flame_tongue(im, 6, 11.5f, 0.55f);
    flame_tongue(im, 11, 11.4f, 0.55f);
    flame_tongue(im, 9.6f, 5.5f, 0.5f);
  }
  (void)seed;
  finish_sprite(im);
}

void paint_bug(Image& im, const Params& p, uint32_t seed) {
  const Ramp& shell = *p.a;
  switch (p.style) {
    case kBugBeetle:
      for (int32_t k = 0; k < 3; ++k) {
        const float y = 7 + float(k) * 2.8f;
        stroke(im, 4, y, 1.2f, y + 1.5f, 1, kDark[1]);
        stroke(im, 12, y, 14.8f, y + 1.5f, 1, kDark[1]);
      }
      line(im, 7, 2, 5, 0, kDark[2]);
      line(im, 9, 2, 11, 0, kDark[2]);
      ball(im, 8, 3.6f, 2.6f, 2, kDark, 1, 4);
      ball(im, 8, 9.6f, 5, 5.8f, shell, 0, 4);
      line(im, 8, 5, 8, 15, shell[0]);
      if (p.mark) {  // glowing spots
        put(im, 6, 8, kFire[4]);
        put(im, 10, 11, kFire[4]);
        put(im, 6, 12, kFire[3]);
        put(im, 10, 7, kFire[3]);
      } else {
        put(im, 6, 7, shell[4]);
        put(im, 10, 7, shell[3]);
      }
      break;
    case kBugSpider:
      for (int32_t k = 0; k < 4; ++k) {
        const float y = 5 + float(k) * 1.6f, kx = 3 - float(k % 2), fy = y + 3 + float(k);
        stroke(im, 7, y + 1, kx, y - 1.5f, 1, kDark[2]);
        stroke(im, kx, y - 1.5f, kx - 1.8f, fy, 1, kDark[2]);
        stroke(im, 9, y + 1, 16 - kx, y - 1.5f, 1, kDark[2]);
        stroke(im, 16 - kx, y - 1.5f, 17.8f - kx, fy, 1, kDark[2]);
      }
      ball(im, 8, 5.6f, 2.6f, 2.2f, shell, 0, 3);
      ball(im, 8, 10.5f, 4, 4.2f, shell, 0, 4);
      put(im, 7, 5, kRed[4]);
      put(im, 9, 5, kRed[4]);
      put(im, 8, 4, kRed[3]);
      rect(im, 7.5f, 9.5f, 1, 3, kRed[2]);  // hourglass mark
      rect(im, 6.5f, 9.5f, 3, 1, kRed[2]);
      rect(im, 6.5f, 11.5f, 3, 1, kRed[2]);
      break;
    case kBugMantis:
      stroke(im, 9, 9, 13.5f, 14.5f, 2.6f, shell[2]);  // abdomen
      stroke(im, 8, 5.5f, 9, 10, 1.6f, shell[3]);      // thorax
      stroke(im, 8.6f, 10, 6, 15, 0.8f, shell[1]);
      stroke(im, 9.4f, 10, 11, 15, 0.8f, shell[1]);
      stroke(im, 8, 6.5f, 5, 9, 1, shell[3]);  // folded forelegs
      stroke(im, 5, 9, 5.5f, 5.5f, 1, shell[3]);
      stroke(im, 8.5f, 6.5f, 11, 8.5f, 1, shell[2]);
      stroke(im, 11, 8.5f, 11, 5, 1, shell[2]);
      poly(im, {{5.5f, 2}, {10.5f, 2}, {8, 5.5f}}, shell[3]);
      put(im, 6, 2, kGold[4]);
      put(im, 10, 2, kGold[4]);
      line(im, 6, 1, 4, -1, shell[1]);
      line(im, 10, 1, 12, -1, shell[1]);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}

void paint_blob(Image& im, const Params& p, uint32_t seed) {
  switch (p.style) {
    case kBlobSlime:
      ball(im, 8, 11, 6.8f, 4.8f, *p.a, 0, 4);
      rect(im, 2, 15, 12, 1, (*p.a)[1]);
      put(im, 4, 8, kWhite[4]);
      put(im, 5, 8, kWhite[3]);
      rect(im, 6, 10, 1.2f, 2, kInk);
      rect(im, 9.5f, 10, 1.2f, 2, kInk);
      put(im, 13, 13, (*p.a)[4]);
      break;
    case kBlobCube:
      poly(im, {{2, 5}, {5, 2}, {15, 2}, {12, 5}}, kTeal[4]);      // top face
      poly(im, {{12, 5}, {15, 2}, {15, 12}, {12, 15}}, kTeal[1]);  // side face
      rect(im, 2, 5, 10, 10, kTeal[3]);
      ball(im, 6, 9, 2, 1.8f, kBone, 1, 4);  // a swallowed skull and sword
      put(im, 5, 9, kInk);
      put(im, 7, 9, kInk);
      line(im, 8, 13, 11, 7, kSteel[2]);
      put(im, 3, 6, kWhite[4]);
      put(im, 9, 12, kTeal[4]);
      break;
    case kBlobFungus:
      ball(im, 3.5f, 13, 1.8f, 1.2f, kRed, 1, 3);
      rect(im, 3, 13.5f, 1, 2, kBone[3]);
      rect(im, 6, 8, 4.5f, 7.5f, kBone[3]);
      rect(im, 6, 8, 1.5f, 7.5f, kBone[4]);
      ball(im, 8, 7, 7, 4.6f, kRed, 0, 4);
      rect(im, 1, 7.5f, 14, 3, kKey);  // flat underside of the cap
      rect(im, 2, 7.5f, 12, 1.2f, kRed[1]);
      rect(im, 6, 8.7f, 4.5f, 2, kBone[3]);
      put(im, 5, 4, kWhite[4]);
      put(im, 9, 3, kWhite[4]);
      put(im, 11, 5, kWhite[4]);
      put(im, 7, 11, kInk);
      put(im, 9, 11, kInk);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}

void paint_eye(Image& im, const Params& p, uint32_t seed) {
  const bool mage = p.mark == 1;
  const float cy = mage ? 10 : 7.5f, r = mage ? 4.8f : 5.8f;
  if (!mage)
    for (int32_t k = 0; k < 4; ++k)  // dangling feelers
      stroke(im, 5 + float(k) * 2, cy + r - 1, 4.5f + float(k) * 2.4f, 15, 0.9f, kPink[2 + (k & 1)]);
  ball(im, 8, cy, r, r, kWhite, 1, 4);
  ball(im, 7, cy - 0.4f, r * 0.45f, r * 0.45f, *p.a, 0, 4);
  ellipse(im, 7, cy - 0.4f, r * 0.18f, r * 0.3f, kInk);
  put(im, 6, int32_t(cy) - 2, kWhite[4]);
  line(im, 11, int32_t(cy) + 2, 12, int32_t(cy) + 3, kRed[2]);
  line(im, 4, int32_t(cy) + 3, 5, int32_t(cy) + 2, kRed[2]);
  if (mage) {  // a wizard's hat and a spark of magic
    poly(im, {{3.5f, 6}, {12.5f, 6}, {10, 0}}, kBlue[2]);
    poly(im, {{3.5f, 6}, {7.5f, 6}, {10, 0}}, kBlue[3]);
    rect(im, 3, 5, 10, 1.3f, kBlue[1]);
    put(im, 8, 3, kGold[4]);
    put(im, 1, 2, kPurple[4]);
    put(im, 14, 4, kPurple[4]);
  }
  (void)seed;
  finish_sprite(im);
}

void paint_dragon(Image& im, const Params& p, uint32_t seed) {
  const Ramp& b = *p.a;
  const Ramp& belly = *p.b;
  switch (p.style) {
    case kDragonWinged:
      poly(im, {{8.5f, 8}, {13, 0.5f}, {15.8f, 4}, {15, 7.5f}, {12.5f, 9}}, b[1]);  // wing
      line(im, 9, 8, 13, 1, b[3]);
      line(im, 13, 1, 15, 7, b[3]);
      stroke(im, 13, 11, 15.6f, 14.6f, 1.4f, b[2]);  // tail
      stroke(im, 7, 11, 6.6f, 15, 1.5f, b[1]);
      stroke(im, 11.5f, 11, 12, 15, 1.5f, b[1]);
      ball(im, 9.5f, 10, 4.6f, 3, b, 0, 4);
      rect(im, 6.5f, 11.5f, 6, 1.3f, belly[3]);
      stroke(im, 7, 8.5f, 4.6f, 4.8f, 2.4f, b[2]);  // neck
      ball(im, 3.8f, 4, 2.4f, 1.8f, b, 1, 4);
      rect(im, 0.6f, 4, 2.4f, 1.6f, b[2]);
      line(im, 4, 2, 6, 0, kBone[4]);
      put(im, 3, 3, kGold[4]);
      if (p.mark) {  // a breath of fire
        put(im, 0, 6, kFire[4]);
        put(im, 0, 7, kFire[2]);
      }
      break;
    case kDragonHydra: {
      stroke(im, 13, 12, 15.6f, 14.8f, 1.4f, b[2]);
      stroke(im, 7.5f, 12, 7, 15, 1.6f, b[1]);
      stroke(im, 11.5f, 12, 12, 15, 1.6f, b[1]);
      ball(im, 9.8f, 11.2f, 4.6f, 3, b, 0, 4);
      rect(im, 6.8f, 12.6f, 6, 1.2f, belly[3]);
      const float heads[3][2] = {{2.6f, 5.6f}, {6, 2.4f}, {11, 2.6f}};
      for (const auto& h : heads) stroke(im, 9, 9.5f, h[0] + 1, h[1] + 1.2f, 1.6f, b[2]);
      for (const auto& h : heads) {
        ball(im, h[0], h[1], 1.9f, 1.5f, b, 1, 4);
        put(im, int32_t(h[0]) - 1, int32_t(h[1]), kRed[4]);
      }
      break;
    }
    case kDragonBasilisk:  // a long low lizard, spined, crowned, with a deadly red eye
      stroke(im, 12.5f, 12, 15, 10.5f, 1.4f, b[2]);
      stroke(im, 15, 10.5f, 15.2f, 8, 1, b[2]);
      stroke(im, 5, 12.5f, 4, 15, 1.2f, b[1]);
      stroke(im, 7.5f, 12.5f, 8, 15, 1.2f, b[1]);
      stroke(im, 10, 12.5f, 9.5f, 15, 1.2f, b[1]);
      stroke(im, 12, 12, 13, 14.8f, 1.2f, b[1]);
      ball(im, 8.5f, 11.5f, 5, 2.3f, b, 0, 4);
      rect(im, 5, 12.8f, 7, 1, belly[3]);
      for (int32_t k = 0; k < 4; ++k) poly(im, {{5.5f + float(k) * 2, 9.6f}, {6.5f + float(k) * 2, 7.6f}, {7.5f + float(k) * 2, 9.6f}}, kRed[2]);
      ball(im, 3.4f, 10.2f, 2.2f, 1.7f, b, 1, 4);
      rect(im, 0.6f, 10.2f, 2.4f, 1.3f, b[2]);
      poly(im, {{2, 8.8f}, {2.4f, 7}, {3.2f, 8.2f}, {4, 6.8f}, {4.6f, 8.8f}}, kGold[3]);
      put(im, 3, 9, kRed[4]);
      break;
    default: break;
  }
  (void)seed;
  finish_sprite(im);
}

void paint_elemental(Image& im, const Params& p, uint32_t seed) {
  const float s = 0.55f + 0.15f * float(p.size);  // size 1..3
  const float cx = 8, cy = 15.5f - 6.5f * s;
  auto eyes = [&](Rgb c) {
    if (p.size < 2) return;
    put(im, int32_t(cx - 1.8f * s), int32_t(cy - 0.8f * s), c);
    put(im, int32_t(cx + 1.4f * s), int32_t(cy - 0.8f * s), c);
  };
  switch (p.style) {
    case kElemFire:
      poly(im,
           {{cx - 5 * s, cy + 5 * s},
            {cx - 3.5f * s, cy - 4 * s},
            {cx - 1.5f * s, cy - 1 * s},
            {cx + 0.5f * s, cy - 7.5f * s},
            {cx + 2.5f * s, cy - 2 * s},
            {cx + 4 * s, cy - 5 * s},
            {cx + 5 * s, cy + 5 * s}},
           kFire[1]);
      ball(im, cx, cy + 1.5f * s, 4.6f * s, 4.6f * s, kFire, 1, 4);
      ellipse(im, cx, cy + 2.5f * s, 2.2f * s, 2.6f * s, kFire[4]);
      eyes(kRed[0]);
      if (p.size == 3)
        for (int32_t k = 0; k < 4; ++k) put(im, 2 + int32_t(hash3(k, 0, seed) % 12), 1 + int32_t(hash3(k, 1, seed) % 4), kFire[3]);
      break;
    case kElemWater:
      poly(im, {{cx, cy - 7 * s}, {cx - 5 * s, cy + 2 * s}, {cx + 5 * s, cy + 2 * s}}, kWater[2]);
      ball(im, cx, cy + 2 * s, 5 * s, 4.5f * s, kWater, 1, 4);
      stroke(im, cx - 4.5f * s, cy, cx - 6.5f * s, cy - 3 * s, 1.5f * s, kWater[3]);
      stroke(im, cx + 4.5f * s, cy, cx + 6.5f * s, cy - 3 * s, 1.5f * s, kWater[2]);
      put(im, int32_t(cx - 2 * s), int32_t(cy - 2 * s), kWhite[4]);
      eyes(kDeep[0]);
      break;
    case kElemEarth: {  // a golem of boulders with glowing eyes
      const float top = 15.5f - 13 * s;
      ball(im, cx - 2.2f * s, 14.5f, 1.7f * s, 1.4f * s, kRock, 0, 3);  // feet
      ball(im, cx + 2.2f * s, 14.5f, 1.7f * s, 1.4f * s, kRock, 0, 3);
      ball(im, cx - 5 * s, top + 8 * s, 1.9f * s, 2.6f * s, kRock, 0, 4);  // fists
      ball(im, cx + 5 * s, top + 8 * s, 1.9f * s, 2.6f * s, kRock, 0, 4);
      ball(im, cx, top + 7 * s, 4.2f * s, 4.4f * s, kRock, 0, 4);
      ball(im, cx, top + 2.4f * s, 2.4f * s, 2.2f * s, kEarth, 1, 4);
      put(im, int32_t(cx - 1), int32_t(top + 2.4f * s), kGold[4]);
      put(im, int32_t(cx + 1), int32_t(top + 2.4f * s), kGold[4]);
      line(im, int32_t(cx - 1), int32_t(top + 6 * s), int32_t(cx + 1), int32_t(top + 9 * s), kRock[0]);
      if (p.size == 3) {  // crystals growing out of the shoulders
        poly(im, {{cx - 4 * s, top + 4 * s}, {cx - 3.5f * s, top}, {cx - 2 * s, top + 4 * s}}, kTeal[3]);
        poly(im, {{cx + 2 * s, top + 4 * s}, {cx + 3.5f * s, top}, {cx + 4 * s, top + 4 * s}}, kTeal[4]);
      }
      break;
    }
    case kElemAir: {  // a whirlwind: rings narrowing towards the ground
      const float top = 15.5f - 14 * s;
      for (int32_t k = 0; k < 6; ++k) {
        const float y = top + float(k) * 2.3f * s, r = (6.2f - float(k) * 0.95f) * s;
        const float shift = std::sin(float(k) * 1.3f) * 1.2f * s;
        for (int32_t a = 0; a < 48; ++a) {
          const float t = float(a) / 48 * 6.2831853f;
          if (std::sin(t) < -0.2f) continue;  // the near half of each ring
          put(im, int32_t(std::lround(cx + shift + r * std::cos(t))), int32_t(std::lround(y + r * 0.3f * std::sin(t))), k % 2 ? kSnow[2] : kSnow[4]);
        }
      }
      for (int32_t k = 0; k < p.size + 1; ++k)  // leaves caught in the wind
        put(im, int32_t(cx) - 5 + int32_t(hash3(k, 0, seed) % 11), int32_t(top) + 1 + int32_t(hash3(k, 1, seed) % 8), kLeaf[3]);
      eyes(kBlue[1]);
      break;
    }
    default: break;
  }
  finish_sprite(im);
}

void paint_hart(Image& im, const Params&, uint32_t seed) {
  for (int32_t k = 0; k < 4; ++k) {
    const float x = 6.5f + float(k % 2) * 1.2f + float(k / 2) * 5;
    stroke(im, x, 10.5f, x, 15, 1, kWood[k % 2 ? 1 : 2]);
  }
  ball(im, 9.5f, 10, 4.4f, 2.4f, kWood, 0, 4);
  put(im, 13, 9, kWhite[4]);  // white scut
  stroke(im, 6.5f, 9, 4.9f, 5.6f, 1.8f, kWood[2]);
  ball(im, 4.1f, 5.4f, 1.9f, 1.5f, kWood, 1, 4);
  rect(im, 1.3f, 5.6f, 2, 1.2f, kWood[3]);
  put(im, 3, 5, kInk);
  // antlers
  line(im, 4, 4, 3, 1, kBone[4]);
  line(im, 3, 2, 2, 1, kBone[4]);
  line(im, 5, 4, 7, 1, kBone[3]);
  line(im, 6, 2, 8, 2, kBone[3]);
  (void)seed;
  finish_sprite(im);
}
