#pragma once
// The painters behind the recipe table, grouped by the files that hold them.
#include "assetgen/paint.h"
#include "assetgen/pictures.h"

// Shared grounds, drawn over the whole picture.
void ground_grass(Image& im, uint32_t seed);
void ground_floor(Image& im, uint32_t seed);
// Running bond of bw x bh bricks (pixels); they must divide the picture's sides.
void ground_bricks(Image& im, const Ramp& r, uint32_t seed, int32_t bw = 8, int32_t bh = 4);
// A layer on the colour key, the size of the picture.
Image key_layer(const Image& im);
// Outlines the layer, lays its shadow on the picture, then the layer itself.
void place(Image& im, Image& layer);
// Light shading and an ink outline for a picture on the colour key.
void finish_sprite(Image& im);

// Land: terrain tiles (wrap while drawing) and things standing on grass.
enum TreeStyle : int32_t { kTreeRound, kTreePine };
void paint_plain(Image& im, const Params& p, uint32_t seed);
void paint_forest(Image& im, const Params& p, uint32_t seed);  // a leaves, style TreeStyle, tool trees a side, mark 1 fruit, 2 snow
void paint_water(Image& im, const Params& p, uint32_t seed);   // a water ramp, tool waves
void paint_swamp(Image& im, const Params& p, uint32_t seed);
void paint_desert(Image& im, const Params& p, uint32_t seed);
void paint_hills(Image& im, const Params& p, uint32_t seed);
void paint_mountain(Image& im, const Params& p, uint32_t seed);  // tool peaks, size 1 = high
void paint_road(Image& im, const Params& p, uint32_t seed);
void paint_village(Image& im, const Params& p, uint32_t seed);  // a roof colour
enum Landmark : int32_t { kRuin, kCastle, kGrotto, kMine, kIronMine, kWell, kDungeonDoor, kLighthouse, kRift };
void paint_landmark(Image& im, const Params& p, uint32_t seed);  // style Landmark

// Dungeon: walls, floors and fittings on a floor.
void paint_wall(Image& im, const Params& p, uint32_t seed);
void paint_floor(Image& im, const Params& p, uint32_t seed);  // style 1 = marble, mark 1/2 = bones/cleaned
enum Fitting : int32_t {
  kChest,
  kCandelabrum,
  kCoffin,
  kDoor,
  kSource,
  kSpawn,
  kFountain,
  kStairsDown,
  kStairsUp,
  kCircle,
  kAltar,
  kTrap,
  kTorch,
  kGear,
  kLever,
  kScrolls
};
void paint_fitting(Image& im, const Params& p, uint32_t seed);  // style Fitting, mark 1 = spent/open

// Units: figures on the colour key.
enum Head : int32_t { kHeadHair, kHeadHood, kHeadHelm, kHeadHorns, kHeadEars, kHeadSnakes, kHeadSkullCrown, kHeadHat, kHeadBeard, kHeadLeaves, kHeadStar };
enum Tool : int32_t { kToolNone, kToolSword, kToolStaff, kToolAxe, kToolClub, kToolDagger, kToolMace, kToolShield };
void paint_humanoid(Image& im, const Params& p, uint32_t seed);  // a skin, b clothes, c gear; style Head; mark 1 robe
enum Bones : int32_t {
  kBonesPlain,
  kBonesZombie,
  kBonesWounded,
  kBonesSturdy,
  kBonesMonster,
  kBonesBrave,
  kBonesFloating,
  kBonesFire,
  kBonesOgre,
  kBonesArmored,
  kBonesWarrior,
  kBonesEvil
};
void paint_skeleton(Image& im, const Params& p, uint32_t seed);  // style Bones
enum Beast : int32_t { kBeastRat, kBeastDog, kBeastBear, kBeastRust };
void paint_beast(Image& im, const Params& p, uint32_t seed);    // a body, style Beast, mark red eyes
void paint_serpent(Image& im, const Params& p, uint32_t seed);  // a body, b belly, mark 1 flames, style 1 worm
enum Bug : int32_t { kBugBeetle, kBugSpider, kBugMantis };
void paint_bug(Image& im, const Params& p, uint32_t seed);  // a shell, style Bug, mark 1 flames
enum Blob : int32_t { kBlobSlime, kBlobCube, kBlobFungus };
void paint_blob(Image& im, const Params& p, uint32_t seed);
void paint_eye(Image& im, const Params& p, uint32_t seed);  // a iris, mark 1 mage hat
enum Dragon : int32_t { kDragonWinged, kDragonHydra, kDragonBasilisk };
void paint_dragon(Image& im, const Params& p, uint32_t seed);  // a body, b belly, style Dragon
enum Element : int32_t { kElemFire, kElemWater, kElemEarth, kElemAir };
void paint_elemental(Image& im, const Params& p, uint32_t seed);  // style Element, size 1..3
void paint_hart(Image& im, const Params& p, uint32_t seed);

// Items and small pictures on the colour key.
enum Blade : int32_t { kBladeStraight, kBladeCurved, kBladeBroad, kBladeDouble, kBladePole, kBladeHead, kBladeWhale };
void paint_sword(Image& im, const Params& p, uint32_t seed);  // a blade, b guard, c grip, style Blade, size length, mark glow
enum Blunt : int32_t { kMaul, kMorningstar, kMace, kWarMace, kStaff, kRod, kWand };
void paint_blunt(Image& im, const Params& p, uint32_t seed);   // a head, b shaft, style Blunt
void paint_axe(Image& im, const Params& p, uint32_t seed);     // a head, b shaft, c trim, tool 2 = double
void paint_potion(Image& im, const Params& p, uint32_t seed);  // a liquid
void paint_robe(Image& im, const Params& p, uint32_t seed);    // a cloth, b trim
enum Armour : int32_t { kLeather, kStudded, kChain, kScale, kPlate, kFullPlate, kMagic };
void paint_armour(Image& im, const Params& p, uint32_t seed);  // a metal or leather, b trim, style Armour
void paint_bag(Image& im, const Params& p, uint32_t seed);     // a cloth
enum Small : int32_t { kBlank, kSocket, kCorner, kCross };
void paint_small(Image& im, const Params& p, uint32_t seed);  // style Small, tool corner 1..4
enum Building : int32_t { kFarm, kMerchant, kQuarry, kStable, kTower, kBarrack, kSmithy, kKeep, kChurch };
void paint_building(Image& im, const Params& p, uint32_t seed);  // style Building

// Big pictures: block textures and the title screen.
enum Texture : int32_t { kTexBrick, kTexStoneBrick, kTexAshlar, kTexGrass, kTexDirt, kTexCobbles, kTexBladePlaque };
void paint_texture(Image& im, const Params& p, uint32_t seed);  // style Texture
void paint_intro(Image& im, const Params& p, uint32_t seed);
