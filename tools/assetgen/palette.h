#pragma once
// The one palette every picture is drawn from: five-step ramps, darkest first.
// Shadows lean towards blue-violet, highlights towards warm yellow, so that
// pictures drawn by different painters still sit together on screen.
#include "assetgen/image.h"

struct Ramp {
  Rgb c[5];  // 0 darkest .. 4 lightest
  constexpr Rgb operator[](int i) const { return c[i < 0 ? 0 : (i > 4 ? 4 : i)]; }
};

constexpr Rgb kInk{20, 16, 28};  // outlines: near-black, never the black the game leaves out

namespace pal {
constexpr Ramp kGrass{{{30, 58, 42}, {46, 88, 48}, {72, 120, 54}, {108, 154, 64}, {156, 188, 92}}};
constexpr Ramp kLeaf{{{16, 42, 40}, {26, 68, 48}, {40, 98, 56}, {66, 130, 62}, {112, 166, 82}}};
constexpr Ramp kLeafLight{{{34, 74, 44}, {62, 112, 50}, {100, 150, 56}, {146, 186, 70}, {196, 216, 110}}};
constexpr Ramp kPine{{{24, 36, 44}, {40, 58, 60}, {62, 84, 78}, {92, 114, 100}, {134, 150, 128}}};
constexpr Ramp kAutumn{{{88, 36, 28}, {148, 64, 32}, {200, 104, 40}, {232, 156, 58}, {248, 206, 104}}};
constexpr Ramp kWater{{{18, 34, 84}, {28, 64, 128}, {44, 102, 168}, {76, 144, 198}, {152, 200, 230}}};
constexpr Ramp kDeep{{{10, 18, 52}, {16, 30, 76}, {24, 48, 104}, {36, 72, 136}, {70, 112, 170}}};
constexpr Ramp kSand{{{122, 90, 54}, {168, 130, 74}, {206, 170, 102}, {228, 202, 138}, {244, 228, 182}}};
constexpr Ramp kEarth{{{50, 32, 30}, {84, 54, 40}, {120, 80, 50}, {156, 110, 68}, {192, 150, 98}}};
constexpr Ramp kWood{{{58, 34, 26}, {96, 58, 36}, {134, 86, 46}, {172, 120, 62}, {206, 160, 96}}};
constexpr Ramp kStone{{{36, 36, 50}, {64, 64, 80}, {98, 98, 112}, {138, 136, 146}, {186, 182, 186}}};
constexpr Ramp kRock{{{46, 40, 46}, {78, 68, 68}, {112, 98, 90}, {150, 136, 120}, {190, 178, 160}}};
constexpr Ramp kSnow{{{120, 134, 170}, {164, 178, 206}, {204, 214, 232}, {232, 238, 246}, {250, 252, 252}}};
constexpr Ramp kRed{{{76, 20, 32}, {134, 32, 40}, {188, 50, 46}, {226, 92, 66}, {246, 156, 114}}};
constexpr Ramp kFire{{{150, 54, 22}, {214, 102, 30}, {244, 154, 40}, {252, 206, 74}, {255, 242, 164}}};
constexpr Ramp kGold{{{108, 78, 24}, {168, 126, 32}, {218, 178, 52}, {244, 218, 98}, {255, 246, 172}}};
constexpr Ramp kBlue{{{28, 30, 80}, {40, 52, 130}, {58, 84, 180}, {96, 128, 220}, {152, 182, 240}}};
constexpr Ramp kPurple{{{44, 22, 62}, {76, 36, 102}, {112, 58, 142}, {152, 92, 182}, {198, 142, 222}}};
constexpr Ramp kSkin{{{108, 62, 48}, {158, 100, 72}, {206, 146, 108}, {232, 184, 142}, {248, 218, 186}}};
constexpr Ramp kBone{{{98, 90, 80}, {148, 140, 120}, {196, 188, 164}, {226, 220, 198}, {248, 244, 230}}};
constexpr Ramp kSlime{{{20, 70, 32}, {40, 118, 42}, {80, 176, 62}, {140, 218, 92}, {202, 248, 152}}};
constexpr Ramp kSwamp{{{34, 42, 32}, {52, 64, 40}, {76, 88, 50}, {102, 114, 64}, {134, 140, 84}}};
constexpr Ramp kSteel{{{46, 52, 68}, {82, 90, 110}, {128, 138, 156}, {174, 184, 198}, {220, 228, 236}}};
constexpr Ramp kPink{{{98, 40, 62}, {158, 70, 92}, {208, 110, 122}, {236, 160, 162}, {250, 210, 202}}};
constexpr Ramp kBrick{{{66, 28, 30}, {108, 46, 40}, {146, 70, 52}, {176, 100, 72}, {204, 138, 104}}};
constexpr Ramp kOlive{{{48, 50, 24}, {80, 84, 34}, {116, 120, 46}, {156, 158, 70}, {196, 196, 110}}};
constexpr Ramp kTeal{{{18, 52, 60}, {26, 88, 92}, {42, 128, 124}, {80, 170, 156}, {148, 214, 196}}};
constexpr Ramp kWhite{{{140, 140, 156}, {180, 180, 192}, {214, 214, 222}, {236, 236, 240}, {252, 252, 252}}};
constexpr Ramp kDark{{{20, 16, 28}, {34, 28, 44}, {52, 44, 62}, {74, 64, 86}, {100, 90, 112}}};
}  // namespace pal
