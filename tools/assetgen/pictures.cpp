#include "assetgen/pictures.h"

#include <cstring>
#include <iterator>

#include "assetgen/noise.h"
#include "assetgen/painters.h"
#include "core/geometry.h"
#include "world/catalogue.h"

using namespace pal;

// One row per picture file. Files loaded into two slots appear once.
const Recipe kRecipes[] = {
    {"bmp_cross", "cross4", paint_small, {.style = kCross}},
    // units: the 16 x 16 figures
    {"bmp_unit", "unit_giant_rat", paint_beast, {.a = &kStone, .style = kBeastRat, .size = -1}},
    {"bmp_unit", "unit_green_slime", paint_blob, {.a = &kSlime, .style = kBlobSlime}},
    {"bmp_unit", "unit_dog", paint_beast, {.a = &kWood, .style = kBeastDog, .size = -1}},
    {"bmp_unit", "unit_serpent", paint_serpent, {.a = &kLeaf, .b = &kOlive}},
    {"bmp_unit", "unit_fungus", paint_blob, {.style = kBlobFungus}},
    {"bmp_unit", "unit_goblin", paint_humanoid, {.a = &kSlime, .b = &kEarth, .c = &kSteel, .style = kHeadEars, .tool = kToolDagger, .size = -1}},
    {"bmp_unit", "unit_nabos", paint_humanoid, {.a = &kPurple, .b = &kDark, .c = &kRed, .style = kHeadHorns, .tool = kToolNone, .size = -1, .mark = 4 | 8}},
    {"bmp_unit", "unit_orc_b", paint_humanoid, {.a = &kOlive, .b = &kEarth, .c = &kSteel, .style = kHeadEars, .tool = kToolAxe, .size = 0}},
    {"bmp_unit", "unit_beatle", paint_bug, {.a = &kTeal, .style = kBugBeetle}},
    {"bmp_unit", "unit_gor_dog", paint_beast, {.a = &kDark, .style = kBeastDog, .size = 1, .mark = 1}},
    {"bmp_unit", "unit_giant_spider", paint_bug, {.a = &kDark, .style = kBugSpider}},
    {"bmp_unit", "unit_serpent_fire", paint_serpent, {.a = &kRed, .b = &kFire, .mark = 1}},
    {"bmp_unit", "unit_beatle_fire", paint_bug, {.a = &kRed, .style = kBugBeetle, .mark = 1}},
    {"bmp_unit", "unit_drius", paint_humanoid, {.a = &kWood, .b = &kLeaf, .c = &kLeafLight, .style = kHeadLeaves, .tool = kToolStaff, .mark = 1}},
    {"bmp_unit", "unit_rust_monster", paint_beast, {.a = &kAutumn, .style = kBeastRust}},
    {"bmp_unit", "unit_giant_worm", paint_serpent, {.a = &kPink, .b = &kPink, .style = 1}},
    {"bmp_unit", "unit_gelatinous_cube", paint_blob, {.style = kBlobCube}},
    {"bmp_unit", "unit_polar_geer", paint_beast, {.a = &kWhite, .style = kBeastBear, .size = 1}},
    {"bmp_unit", "unit_squeletton", paint_skeleton, {.style = kBonesPlain}},
    {"bmp_unit", "unit_squeletton_zombi_wounded", paint_skeleton, {.style = kBonesWounded}},
    {"bmp_unit", "unit_squeletton_zombi", paint_skeleton, {.style = kBonesZombie}},
    {"bmp_unit", "unit_mage", paint_humanoid, {.a = &kSkin, .b = &kBlue, .c = &kBlue, .style = kHeadHat, .tool = kToolStaff, .mark = 1}},
    {"bmp_unit", "unit_squeletton_sturdy", paint_skeleton, {.style = kBonesSturdy}},
    {"bmp_unit", "unit_dwarf", paint_humanoid, {.a = &kSkin, .b = &kRed, .c = &kAutumn, .style = kHeadBeard, .tool = kToolAxe, .size = -1}},
    {"bmp_unit", "unit_squeletton_monster", paint_skeleton, {.style = kBonesMonster}},
    {"bmp_unit", "unit_squeletton_brave", paint_skeleton, {.style = kBonesBrave}},
    {"bmp_unit", "unit_squeletton_floating", paint_skeleton, {.style = kBonesFloating}},
    {"bmp_unit", "unit_minotor", paint_humanoid, {.a = &kEarth, .b = &kWood, .c = &kSteel, .style = kHeadHorns, .tool = kToolAxe, .size = 1, .mark = 8}},
    {"bmp_unit", "unit_floating_eye", paint_eye, {.a = &kBlue}},
    {"bmp_unit", "unit_squeletton_fire", paint_skeleton, {.style = kBonesFire}},
    {"bmp_unit", "unit_mage_eye", paint_eye, {.a = &kPurple, .mark = 1}},
    {"bmp_unit", "unit_squeletton_ogre", paint_skeleton, {.style = kBonesOgre}},
    {"bmp_unit", "unit_ogre", paint_humanoid, {.a = &kOlive, .b = &kEarth, .c = &kWood, .style = kHeadHair, .tool = kToolClub, .size = 1}},
    {"bmp_unit", "unit_squeletton_armored", paint_skeleton, {.style = kBonesArmored}},
    {"bmp_unit", "unit_medusa", paint_humanoid, {.a = &kSlime, .b = &kPurple, .c = &kLeaf, .style = kHeadSnakes, .tool = kToolNone, .mark = 1 | 8}},
    {"bmp_unit", "unit_squeletton_warrior", paint_skeleton, {.style = kBonesWarrior}},
    {"bmp_unit", "unit_mantis", paint_bug, {.a = &kSlime, .style = kBugMantis}},
    {"bmp_unit", "unit_squeletton_evil", paint_skeleton, {.style = kBonesEvil}},
    {"bmp_unit", "unit_lich", paint_humanoid, {.a = &kBone, .b = &kPurple, .c = &kRed, .style = kHeadSkullCrown, .tool = kToolStaff, .mark = 1}},
    {"bmp_unit", "unit_dragon", paint_dragon, {.a = &kRed, .b = &kFire, .style = kDragonWinged, .mark = 1}},
    {"bmp_unit", "unit_dragon_hydra", paint_dragon, {.a = &kLeaf, .b = &kOlive, .style = kDragonHydra}},
    {"bmp_unit", "unit_dragon_basilic", paint_dragon, {.a = &kOlive, .b = &kSand, .style = kDragonBasilisk}},
    {"bmp_unit", "unit_fire", paint_elemental, {.style = kElemFire, .size = 1}},
    {"bmp_unit", "unit_fire_fire", paint_elemental, {.style = kElemFire, .size = 2}},
    {"bmp_unit", "unit_fire_fire_fire", paint_elemental, {.style = kElemFire, .size = 3}},
    {"bmp_unit", "unit_water", paint_elemental, {.style = kElemWater, .size = 1}},
    {"bmp_unit", "unit_water_water", paint_elemental, {.style = kElemWater, .size = 2}},
    {"bmp_unit", "unit_water_water_water", paint_elemental, {.style = kElemWater, .size = 3}},
    {"bmp_unit", "unit_earth", paint_elemental, {.style = kElemEarth, .size = 1}},
    {"bmp_unit", "unit_earth_earth", paint_elemental, {.style = kElemEarth, .size = 2}},
    {"bmp_unit", "unit_earth_earth_earth", paint_elemental, {.style = kElemEarth, .size = 3}},
    {"bmp_unit", "unit_air", paint_elemental, {.style = kElemAir, .size = 1}},
    {"bmp_unit", "unit_air_air", paint_elemental, {.style = kElemAir, .size = 2}},
    {"bmp_unit", "unit_air_air_air", paint_elemental, {.style = kElemAir, .size = 3}},
    {"bmp_unit", "unit_fighter", paint_humanoid, {.a = &kSkin, .b = &kSteel, .c = &kBlue, .style = kHeadHelm, .tool = kToolSword, .mark = 2}},
    {"bmp_unit", "unit_cleric", paint_humanoid, {.a = &kSkin, .b = &kWhite, .c = &kGold, .style = kHeadHair, .tool = kToolMace, .mark = 1}},
    {"bmp_unit", "unit_bandit", paint_humanoid, {.a = &kSkin, .b = &kDark, .c = &kSteel, .style = kHeadHood, .tool = kToolDagger}},
    {"bmp_unit", "unit_pleidian", paint_humanoid, {.a = &kBlue, .b = &kTeal, .c = &kGold, .style = kHeadStar, .tool = kToolStaff, .mark = 1}},
    // land: terrain tiles
    {"bmp_land", "plain", paint_plain, {}},
    {"bmp_land", "forest", paint_forest, {.a = &kLeaf, .style = kTreeRound, .tool = 3}},
    {"bmp_land", "forest_fruit", paint_forest, {.a = &kLeaf, .style = kTreeRound, .tool = 2, .mark = 1}},
    {"bmp_land", "forest_gray", paint_forest, {.a = &kPine, .style = kTreePine, .tool = 2, .mark = 2}},
    {"bmp_land", "water", paint_water, {.a = &kWater, .tool = 3}},
    {"bmp_land", "water_deep", paint_water, {.a = &kDeep, .tool = 2}},
    {"bmp_land", "swamp_a", paint_swamp, {}},
    {"bmp_land", "desert_a", paint_desert, {}},
    {"bmp_land", "hills_a", paint_hills, {}},
    {"bmp_land", "mountain", paint_mountain, {.tool = 2, .size = 0}},
    {"bmp_land", "mountain_high_a", paint_mountain, {.tool = 2, .size = 1}},
    {"bmp_land", "forest_leaf", paint_forest, {.a = &kLeafLight, .style = kTreeRound, .tool = 2}},
    {"bmp_land", "road_b", paint_road, {}},
    {"bmp_land", "forest_b", paint_forest, {.a = &kLeaf, .style = kTreePine, .tool = 2}},
    {"bmp_land", "forest_c", paint_forest, {.a = &kAutumn, .style = kTreeRound, .tool = 3}},
    // land: things standing on grass
    {"bmp_land", "village_b", paint_village, {.a = &kBrick}},
    {"bmp_land", "village_b_yellow", paint_village, {.a = &kGold}},
    {"bmp_land", "village_b_blue", paint_village, {.a = &kBlue}},
    {"bmp_land", "village_b_green", paint_village, {.a = &kLeaf}},
    {"bmp_land", "village_b_red", paint_village, {.a = &kRed}},
    {"bmp_land", "ruin_a", paint_landmark, {.style = kRuin}},
    {"bmp_land", "castle_a", paint_landmark, {.style = kCastle}},
    {"bmp_land", "grottus", paint_landmark, {.style = kGrotto}},
    {"bmp_land", "mine", paint_landmark, {.style = kMine}},
    {"bmp_land", "iron_mine", paint_landmark, {.style = kIronMine}},
    {"bmp_land", "well", paint_landmark, {.style = kWell}},
    {"bmp_land", "dungeon_a", paint_landmark, {.style = kDungeonDoor}},
    {"bmp_land", "lighttower_a", paint_landmark, {.style = kLighthouse}},
    {"bmp_land", "rift_a", paint_landmark, {.style = kRift}},
    // dungeon
    {"bmp_dungeon", "wall", paint_wall, {}},
    {"bmp_dungeon", "floor_marble", paint_floor, {.style = 1}},
    {"bmp_dungeon", "floor", paint_floor, {}},
    {"bmp_dungeon", "chest", paint_fitting, {.style = kChest}},
    {"bmp_dungeon", "chest_open", paint_fitting, {.style = kChest, .mark = 1}},
    {"bmp_dungeon", "candelabrum", paint_fitting, {.style = kCandelabrum}},
    {"bmp_dungeon", "candelabrum_extinct", paint_fitting, {.style = kCandelabrum, .mark = 1}},
    {"bmp_dungeon", "coffin", paint_fitting, {.style = kCoffin}},
    {"bmp_dungeon", "coffin_open", paint_fitting, {.style = kCoffin, .mark = 1}},
    {"bmp_dungeon", "floor_bones", paint_floor, {.mark = 1}},
    {"bmp_dungeon", "floor_bones_cleaned", paint_floor, {.mark = 2}},
    {"bmp_dungeon", "door", paint_fitting, {.style = kDoor}},
    {"bmp_dungeon", "door_opened", paint_fitting, {.style = kDoor, .mark = 1}},
    {"bmp_dungeon", "source", paint_fitting, {.a = &kTeal, .style = kSource}},
    {"bmp_dungeon", "source_complete", paint_fitting, {.a = &kTeal, .style = kSource, .mark = 1}},
    {"bmp_dungeon", "spawn", paint_fitting, {.style = kSpawn}},
    {"bmp_dungeon", "spawn_complete", paint_fitting, {.style = kSpawn, .mark = 1}},
    {"bmp_dungeon", "fountain", paint_fitting, {.style = kFountain}},
    {"bmp_dungeon", "fountain_drank", paint_fitting, {.style = kFountain, .mark = 1}},
    {"bmp_dungeon", "stairsd", paint_fitting, {.style = kStairsDown}},
    {"bmp_dungeon", "stairsu", paint_fitting, {.style = kStairsUp}},
    {"bmp_dungeon", "circle", paint_fitting, {.a = &kWhite, .style = kCircle}},
    {"bmp_dungeon", "circle_golden", paint_fitting, {.a = &kGold, .style = kCircle}},
    {"bmp_dungeon", "circle_aflamed", paint_fitting, {.a = &kFire, .style = kCircle, .mark = 2}},
    {"bmp_dungeon", "altar", paint_fitting, {.a = &kStone, .b = &kRed, .style = kAltar}},
    {"bmp_dungeon", "altar_jeweled", paint_fitting, {.a = &kGold, .b = &kPurple, .style = kAltar, .mark = 1}},
    {"bmp_dungeon", "altar_dark", paint_fitting, {.a = &kDark, .b = &kRed, .style = kAltar, .mark = 2}},
    {"bmp_dungeon", "trap", paint_fitting, {.style = kTrap}},
    {"bmp_dungeon", "trap_disabled", paint_fitting, {.style = kTrap, .mark = 1}},
    {"bmp_dungeon", "torch", paint_fitting, {.style = kTorch}},
    {"bmp_dungeon", "torch_extinct", paint_fitting, {.style = kTorch, .mark = 1}},
    {"bmp_dungeon", "geer_mecanism", paint_fitting, {.style = kGear}},
    {"bmp_dungeon", "lever", paint_fitting, {.style = kLever}},
    {"bmp_dungeon", "source_red", paint_fitting, {.a = &kRed, .style = kSource}},
    {"bmp_dungeon", "source_green", paint_fitting, {.a = &kSlime, .style = kSource}},
    {"bmp_dungeon", "source_blue", paint_fitting, {.a = &kBlue, .style = kSource}},
    {"bmp_dungeon", "source_yellow", paint_fitting, {.a = &kGold, .style = kSource}},
    {"bmp_dungeon", "source_brown", paint_fitting, {.a = &kEarth, .style = kSource}},
    {"bmp_dungeon", "scrolls", paint_fitting, {.style = kScrolls}},
    // structures
    {"bmp_structure", "hart", paint_hart, {}},
    {"bmp_structure", "structure_farm", paint_building, {.style = kFarm}},
    {"bmp_structure", "structure_merchant", paint_building, {.style = kMerchant}},
    {"bmp_structure", "structure_quary", paint_building, {.style = kQuarry}},
    {"bmp_structure", "structure_stable", paint_building, {.style = kStable}},
    {"bmp_structure", "structure_tower", paint_building, {.style = kTower}},
    {"bmp_structure", "structure_barrack", paint_building, {.style = kBarrack}},
    {"bmp_structure", "structure_blacksmith", paint_building, {.style = kSmithy}},
    {"bmp_structure", "structure_castle", paint_building, {.style = kKeep}},
    {"bmp_structure", "structure_church", paint_building, {.style = kChurch}},
    // items: blades (a blade, b guard, c grip, size = blade length; mark 1 bettered, 2 horned guard, 4 hooked)
    {"bmp_item", "blank", paint_small, {.style = kBlank}},
    {"bmp_item", "item_knife", paint_sword, {.a = &kSteel, .b = &kWood, .c = &kWood, .style = kBladeStraight, .size = 5}},
    {"bmp_item", "item_dagger", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kEarth, .style = kBladeStraight, .size = 6}},
    {"bmp_item", "item_short_sword", paint_sword, {.a = &kSteel, .b = &kGold, .c = &kEarth, .style = kBladeStraight, .size = 8}},
    {"bmp_item", "item_gauche", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kRed, .style = kBladeStraight, .size = 7, .mark = 2}},
    {"bmp_item", "item_long_sword", paint_sword, {.a = &kSteel, .b = &kGold, .c = &kBlue, .style = kBladeStraight, .size = 11}},
    {"bmp_item", "item_bastard_sword", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kWood, .style = kBladeStraight, .size = 12}},
    {"bmp_item", "item_kopesh", paint_sword, {.a = &kGold, .b = &kGold, .c = &kWood, .style = kBladeCurved, .size = 10, .mark = 4}},
    {"bmp_item", "item_blade", paint_sword, {.a = &kSteel, .b = &kWood, .c = &kEarth, .style = kBladeCurved, .size = 10}},
    {"bmp_item", "item_blade_ameliorated", paint_sword, {.a = &kBlue, .b = &kGold, .c = &kEarth, .style = kBladeCurved, .size = 10, .mark = 1}},
    {"bmp_item", "item_behead", paint_sword, {.a = &kSteel, .b = &kDark, .c = &kDark, .style = kBladeHead, .size = 11}},
    {"bmp_item", "item_broad_sword", paint_sword, {.a = &kSteel, .b = &kGold, .c = &kRed, .style = kBladeBroad, .size = 11}},
    {"bmp_item", "item_horner", paint_sword, {.a = &kSteel, .b = &kBone, .c = &kWood, .style = kBladeStraight, .size = 10, .mark = 2}},
    {"bmp_item", "item_glaive", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kWood, .style = kBladePole, .size = 6}},
    {"bmp_item", "item_saber", paint_sword, {.a = &kSteel, .b = &kGold, .c = &kDark, .style = kBladeCurved, .size = 11}},
    {"bmp_item", "item_saber_ameliorated", paint_sword, {.a = &kSnow, .b = &kGold, .c = &kRed, .style = kBladeCurved, .size = 11, .mark = 1}},
    {"bmp_item", "item_whale_blade", paint_sword, {.a = &kBone, .b = &kSteel, .c = &kWood, .style = kBladeWhale, .size = 10}},
    {"bmp_item", "item_whale_blade_ameliorated", paint_sword, {.a = &kBone, .b = &kGold, .c = &kBlue, .style = kBladeWhale, .size = 10, .mark = 1}},
    {"bmp_item", "item_two_handed_sword", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kEarth, .style = kBladeStraight, .size = 13}},
    {"bmp_item", "item_two_bladed_sword", paint_sword, {.a = &kSteel, .b = &kSteel, .c = &kEarth, .style = kBladeDouble, .size = 6}},
    {"bmp_item", "item_two_bladed_sword_ameliorated", paint_sword, {.a = &kBlue, .b = &kGold, .c = &kPurple, .style = kBladeDouble, .size = 6, .mark = 1}},
    {"bmp_item", "item_bag", paint_bag, {.a = &kEarth}},
    {"bmp_item", "item_blue_bag", paint_bag, {.a = &kBlue}},
    // items: hafted (a head, b shaft)
    {"bmp_item", "item_maul", paint_blunt, {.a = &kSteel, .b = &kWood, .style = kMaul}},
    {"bmp_item", "item_morningstar", paint_blunt, {.a = &kSteel, .b = &kWood, .style = kMorningstar}},
    {"bmp_item", "item_mace", paint_blunt, {.a = &kSteel, .b = &kWood, .style = kMace}},
    {"bmp_item", "item_war_mace", paint_blunt, {.a = &kSteel, .b = &kDark, .style = kWarMace}},
    {"bmp_item", "item_staff", paint_blunt, {.a = &kTeal, .b = &kWood, .style = kStaff}},
    {"bmp_item", "item_rod", paint_blunt, {.a = &kRed, .b = &kSteel, .style = kRod}},
    {"bmp_item", "item_wand", paint_blunt, {.a = &kGold, .b = &kWood, .style = kWand}},
    {"bmp_item", "item_hand_axe", paint_axe, {.a = &kSteel, .b = &kWood, .tool = 1, .size = -1}},
    {"bmp_item", "item_axe", paint_axe, {.a = &kSteel, .b = &kWood, .tool = 1}},
    {"bmp_item", "item_battle_axe", paint_axe, {.a = &kSteel, .b = &kWood, .tool = 2}},
    {"bmp_item", "item_iron_battle_axe", paint_axe, {.a = &kStone, .b = &kDark, .tool = 2}},
    {"bmp_item", "item_iron_ordered_battle_axe", paint_axe, {.a = &kStone, .b = &kDark, .c = &kGold, .tool = 2}},
    {"bmp_item", "item_iron_rubioux_battle_axe", paint_axe, {.a = &kRed, .b = &kDark, .c = &kGold, .tool = 2}},
    // items: potions, robes, armour
    {"bmp_item", "item_potion_red", paint_potion, {.a = &kRed}},
    {"bmp_item", "item_potion_green", paint_potion, {.a = &kSlime}},
    {"bmp_item", "item_potion_blue", paint_potion, {.a = &kBlue}},
    {"bmp_item", "item_potion_yellow", paint_potion, {.a = &kGold}},
    {"bmp_item", "item_potion_white", paint_potion, {.a = &kWhite}},
    {"bmp_item", "item_blue_robe", paint_robe, {.a = &kBlue, .b = &kGold}},
    {"bmp_item", "item_red_robe", paint_robe, {.a = &kRed, .b = &kGold}},
    {"bmp_item", "item_gray_robe", paint_robe, {.a = &kStone, .b = &kWhite}},
    {"bmp_item", "item_leather_armor", paint_armour, {.a = &kWood, .b = &kEarth, .style = kLeather}},
    {"bmp_item", "item_studded_leather_armor", paint_armour, {.a = &kWood, .b = &kEarth, .style = kStudded}},
    {"bmp_item", "item_chain_mail", paint_armour, {.a = &kSteel, .b = &kSteel, .style = kChain}},
    {"bmp_item", "item_scale_armor_b", paint_armour, {.a = &kGold, .b = &kEarth, .style = kScale}},
    {"bmp_item", "item_plate_armor", paint_armour, {.a = &kSteel, .b = &kEarth, .style = kPlate}},
    {"bmp_item", "item_full_plate_armor", paint_armour, {.a = &kSteel, .b = &kGold, .style = kFullPlate}},
    {"bmp_item", "item_magic_armor", paint_armour, {.a = &kPurple, .b = &kGold, .style = kMagic}},
    {"bmp_item", "socket", paint_small, {.style = kSocket}},
    {"bmp_item", "alleviated_corner1", paint_small, {.style = kCorner, .tool = 1}},
    {"bmp_item", "alleviated_corner2", paint_small, {.style = kCorner, .tool = 2}},
    {"bmp_item", "alleviated_corner3", paint_small, {.style = kCorner, .tool = 3}},
    {"bmp_item", "alleviated_corner4", paint_small, {.style = kCorner, .tool = 4}},
    // the title screen and the block view's textures
    {"bmp_scr", "intro1", paint_intro, {}},
    {"bmp_cube", "structure_castle", paint_texture, {.style = kTexAshlar}},
    {"bmp_cube", "brickold2", paint_texture, {.style = kTexBrick}},
    {"bmp_cube", "grass3", paint_texture, {.style = kTexGrass}},
    {"bmp_cube", "dirt1", paint_texture, {.style = kTexDirt}},
    {"bmp_cube", "brickold3", paint_texture, {.style = kTexStoneBrick}},
    {"bmp_cube", "item_whale_blade", paint_texture, {.style = kTexBladePlaque}},
    {"bmp_cube", "DSC3", paint_texture, {.style = kTexCobbles}},
};
const size_t kRecipeCount = std::size(kRecipes);

const Recipe* find_recipe(const char* folder, const char* file) {
  for (const Recipe& r : kRecipes)
    if (std::strcmp(r.folder, folder) == 0 && std::strcmp(r.file, file) == 0) return &r;
  return nullptr;
}

void picture_size(const char* folder, int32_t& w, int32_t& h) {
  w = h = kCellPixels;
  if (std::strcmp(folder, "bmp_cube") == 0) w = h = 64;
  if (std::strcmp(folder, "bmp_scr") == 0) {  // fills the overworld's picture
    w = kOverworldWidth;
    h = kOverworldHeight;
  }
}

bool is_sprite(const char* folder) {
  return std::strcmp(folder, "bmp_unit") == 0 || std::strcmp(folder, "bmp_item") == 0 || std::strcmp(folder, "bmp_structure") == 0 ||
         std::strcmp(folder, "bmp_cross") == 0;
}

Image draw_recipe(const Recipe& r) {
  int32_t w = 0, h = 0;
  picture_size(r.folder, w, h);
  Image im = make_image(w, h, is_sprite(r.folder) ? kKey : kInk);
  // each file keeps its own noise, whatever order pictures are drawn in
  r.paint(im, r.p, hash_text(r.file) ^ hash_text(r.folder));
  im.wrap = false;
  return im;
}

Image draw_entry(const CatalogueEntry& e) {
  const Recipe* r = find_recipe(e.folder, e.file);
  return r ? draw_recipe(*r) : Image{};
}
