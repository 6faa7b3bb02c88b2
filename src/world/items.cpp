#include "world/items.h"

#include <iterator>

namespace {

struct HeldItemRow {
  int32_t id;
  uint16_t picture_slot;
  const char* class_flags;  // five digits, flag 1 first
  uint8_t equipment;
  uint8_t weapon;
  uint8_t rating;
  uint8_t grade;
  float factor;
  uint16_t worth;
};

// Weapons, the bag and the potion.
const HeldItemRow kHeldItems[] = {
    {6110, 600, "10111", 2, 1, 1, 0, 0.0f, 50},      // item_knife
    {6111, 601, "11000", 1, 1, 2, 0, 0.0f, 180},     // item_dagger
    {6112, 602, "10001", 1, 1, 3, 0, 0.0f, 300},     // item_short_sword
    {6113, 603, "01000", 2, 1, 3, 1, 0.2f, 400},     // item_gauche
    {6114, 604, "10000", 1, 1, 4, 0, 0.0f, 430},     // item_long_sword
    {6115, 605, "10000", 1, 1, 5, 0, 0.0f, 560},     // item_bastard_sword
    {6116, 606, "11001", 2, 1, 5, 1, 0.0f, 700},     // item_kopesh
    {6117, 607, "01000", 1, 1, 6, 0, 1.0f, 1000},    // item_blade
    {6118, 608, "01001", 1, 1, 6, 1, 2.8f, 2000},    // item_blade_ameliorated
    {6119, 609, "01001", 1, 1, 7, 0, 0.0f, 3000},    // item_behead
    {6120, 610, "10000", 1, 1, 6, 1, 0.0f, 700},     // item_broad_sword
    {6121, 611, "01001", 2, 1, 8, 0, 0.0f, 2300},    // item_horner
    {6122, 612, "10000", 1, 1, 8, 1, 0.0f, 980},     // item_glaive
    {6123, 613, "10000", 1, 1, 8, 2, 2.0f, 1300},    // item_saber
    {6124, 614, "10001", 1, 1, 8, 3, 4.0f, 2900},    // item_saber_ameliorated
    {6125, 615, "10001", 1, 1, 9, 0, 1.5f, 5000},    // item_whale_blade
    {6126, 616, "10001", 1, 1, 9, 2, 3.3f, 10000},   // item_whale_blade_ameliorated
    {6127, 617, "10000", 1, 1, 10, 0, 0.0f, 1200},   // item_two_handed_sword
    {6128, 618, "10001", 1, 1, 11, 0, 0.0f, 6000},   // item_two_bladed_sword
    {6129, 619, "10001", 1, 1, 12, 0, 3.2f, 28000},  // item_two_bladed_sword_ameliorated
    {6200, 630, "01000", 1, 1, 3, 0, 0.0f, 300},     // item_maul
    {6201, 631, "01000", 1, 1, 5, 1, 0.0f, 600},     // item_morningstar
    {6202, 632, "01000", 1, 1, 8, 0, 0.0f, 3000},    // item_mace
    {6203, 633, "01000", 1, 1, 8, 0, 0.0f, 3000},    // item_war_mace
    {6316, 650, "00010", 2, 1, 2, 0, 0.0f, 180},     // item_hand_axe
    {6317, 651, "00010", 1, 1, 3, 0, 0.0f, 380},     // item_axe
    {6318, 652, "00010", 1, 1, 8, 0, 0.0f, 4000},    // item_battle_axe
    {6319, 655, "00010", 1, 1, 12, 0, 2.8f, 32000},  // item_iron_rubioux_battle_axe
    {6320, 654, "00010", 1, 1, 14, 0, 4.0f, 60000},  // item_iron_ordered_battle_axe
    {7000, 3000, "00000", 0, 0, 0, 0, 0.0f, 30},     // item_bag
    {7100, 682, "00000", 0, 0, 200, 0, 0.0f, 50},    // item_potion_blue
};

struct ArmourSetRow {
  int32_t base_id;  // pieces are base_id + ArmourPiece
  uint16_t picture_slot;
  float factor;
  uint16_t worth;
};

// Every piece of a set wears the set's picture, factor and worth.
const ArmourSetRow kArmourSets[] = {
    {8100, 730, 0.1f, 30},   // item_blue_robe
    {8130, 740, 0.2f, 70},   // item_leather_armor
    {8170, 741, 0.3f, 120},  // item_studded_leather_armor
    {8200, 742, 0.4f, 160},  // item_chain_mail
    {8220, 743, 0.5f, 210},  // item_scale_armor_b
    {8250, 744, 0.6f, 280},  // item_plate_armor
    {8280, 745, 0.7f, 350},  // item_full_plate_armor
    {8320, 746, 0.9f, 600},  // item_magic_armor
};

struct CopyRow {
  int32_t destination;
  int32_t source;
};

// Made right after the defined types, in this order.
const CopyRow kStartCopies[] = {
    {10000, 6110},  // knife
    {9000, 6110},   // knife
    {9001, 6111},   // dagger
    {9002, 6200},   // maul
    {9003, 6316},   // hand axe
};

bool valid_id(int32_t id) { return id >= 0 && id < kItemTypeCount; }

void set_class_flags(ItemType& it, const char* digits) {
  for (int i = 0; i < 5; ++i) it.class_flags[i] = digits[i] == '1' ? 1 : 0;
}

}  // namespace

void create_item_table(ItemTable& t) {
  t.items.clear();
  t.created = true;
}

void release_item_table(ItemTable& t) {
  t.items = {};
  t.created = false;
}

ItemType item_type(const ItemTable& t, int32_t id) {
  const auto it = t.items.find(id);
  return it == t.items.end() ? ItemType{} : it->second;
}

void copy_item_type(ItemTable& t, int32_t destination, int32_t source) {
  if (!t.created || !valid_id(destination) || !valid_id(source)) return;
  ItemType d = item_type(t, source);
  d.rating_value = float(d.rating);
  t.items[destination] = d;
}

void fill_item_types(ItemTable& t) {
  if (!t.created) return;
  t.items[0] = ItemType{};
  for (const HeldItemRow& row : kHeldItems) {
    ItemType it;
    it.picture_slot = row.picture_slot;
    it.type_id = row.id;
    set_class_flags(it, row.class_flags);
    it.equipment = row.equipment;
    it.weapon = row.weapon;
    it.rating = row.rating;
    it.grade = row.grade;
    it.factor = row.factor;
    it.worth = row.worth;
    t.items[row.id] = it;
  }
  for (const ArmourSetRow& set : kArmourSets) {
    for (int piece = 0; piece < kArmourPieces; ++piece) {
      ItemType it;
      it.picture_slot = set.picture_slot;
      it.type_id = set.base_id + piece;
      set_class_flags(it, "11111");
      it.equipment = uint8_t(kArmourEquipmentBase + piece);
      it.factor = set.factor;
      it.worth = set.worth;
      t.items[it.type_id] = it;
    }
  }
  for (const CopyRow& c : kStartCopies) copy_item_type(t, c.destination, c.source);
}
