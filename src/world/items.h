#pragma once
// The item type table: one record per item id; an item type lives at the
// record whose index is its id, copies of types sit at higher ids.
#include <cstdint>
#include <unordered_map>

constexpr int32_t kItemTypeCount = 230000;  // ids 0..229,999

// Members marked "0" are zero in every defined type; nothing reads them yet.
struct ItemType {
  uint8_t small_a[2] = {};      // 0
  uint16_t picture_slot = 0;    // bitmap slot of the item's picture
  int32_t type_id = 0;          // the type's id; a copy keeps its source's id
  uint8_t small_b = 0;          // 0
  uint16_t values_a[2] = {};    // 0
  uint8_t small_c[2] = {};      // 0
  uint8_t class_flags[5] = {};  // each 0 or 1, flag 1 first
  uint8_t equipment = 0;        // 1..2 weapons, 10..23 armour pieces (see ArmourPiece), 0 otherwise
  uint8_t small_d = 0;          // 0
  uint8_t weapon = 0;           // 1 for weapons
  uint8_t rating = 0;           // 1..14 weapons, 200 the potion
  uint8_t grade = 0;            // 0..3
  float rating_value = 0;       // 0 in defined types; a copy sets it to its rating
  uint8_t small_e[4] = {};      // 0
  float factor = 0;             // 0.1..4.0 where set
  uint8_t small_f[13] = {};     // 0
  uint16_t value_g = 0;         // 0
  uint16_t worth = 0;           // 30..60,000
  uint16_t values_h[4] = {};    // 0
};

// Where an armour piece is worn: equipment code 10 + piece.
enum ArmourPiece : uint8_t {
  kSuit,
  kHat,
  kCape,
  kGeorget,
  kScaling,
  kTorso,
  kGreeves,
  kBracers,
  kRing,
  kGloves,
  kShield,
  kSleeves,
  kCirclet,
  kBoots,
  kArmourPieces  // 14 per set
};
constexpr uint8_t kArmourEquipmentBase = 10;

// Created during start-up loading, filled once, released at exit. Of its 230,000 ids the
// game writes about 150: only those are held, and every other id reads as a zero record.
struct ItemTable {
  bool created = false;
  std::unordered_map<int32_t, ItemType> items;
};
// The record of an id in the table (a zero record when none was written).
ItemType item_type(const ItemTable& t, int32_t id);

void create_item_table(ItemTable& t);
void release_item_table(ItemTable& t);
// Writes the 144 defined types, then makes the five start-up copies
// (6110 to 10000, 6110 to 9000, 6111 to 9001, 6200 to 9002, 6316 to 9003).
void fill_item_types(ItemTable& t);
// Copies every member from source to destination, then sets the
// destination's rating value to its rating. Ids outside the table are ignored.
void copy_item_type(ItemTable& t, int32_t destination, int32_t source);
