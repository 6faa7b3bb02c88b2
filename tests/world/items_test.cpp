#include "world/items.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <type_traits>

namespace {

// The record's members keep the widths the table was laid out with.
static_assert(std::is_same_v<decltype(ItemType::picture_slot), uint16_t>);
static_assert(std::is_same_v<decltype(ItemType::type_id), int32_t>);
static_assert(std::is_same_v<decltype(ItemType::rating_value), float>);
static_assert(std::is_same_v<decltype(ItemType::factor), float>);
static_assert(std::is_same_v<decltype(ItemType::worth), uint16_t>);
static_assert(sizeof(ItemType::class_flags) == 5 && sizeof(ItemType::small_f) == 13);

// Member-by-member, since padding bytes carry nothing.
bool same_except_rating_value(const ItemType& a, const ItemType& b) {
  auto eq = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return eq(a.small_a, b.small_a) && a.picture_slot == b.picture_slot &&
         a.type_id == b.type_id && a.small_b == b.small_b && eq(a.values_a, b.values_a) &&
         eq(a.small_c, b.small_c) && eq(a.class_flags, b.class_flags) &&
         a.equipment == b.equipment && a.small_d == b.small_d && a.weapon == b.weapon &&
         a.rating == b.rating && a.grade == b.grade && eq(a.small_e, b.small_e) &&
         a.factor == b.factor && eq(a.small_f, b.small_f) && a.value_g == b.value_g &&
         a.worth == b.worth && eq(a.values_h, b.values_h);
}
bool all_zero(const ItemType& t) {
  return same_except_rating_value(t, ItemType{}) && t.rating_value == 0.0f;
}

// One record as the item list writes it: flags as five digits, flag 1 first.
struct Expected {
  int32_t id;
  uint16_t slot;
  const char* flags;
  uint8_t equipment, weapon, rating, grade;
  float factor;
  uint16_t worth;
};

void expect_record(const ItemTable& t, const Expected& e) {
  SCOPED_TRACE(e.id);
  const ItemType& it = t.items[e.id];
  EXPECT_EQ(it.type_id, e.id);
  EXPECT_EQ(it.picture_slot, e.slot);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(it.class_flags[i], e.flags[i] - '0') << "flag " << i + 1;
  EXPECT_EQ(it.equipment, e.equipment);
  EXPECT_EQ(it.weapon, e.weapon);
  EXPECT_EQ(it.rating, e.rating);
  EXPECT_EQ(it.grade, e.grade);
  EXPECT_FLOAT_EQ(it.factor, e.factor);
  EXPECT_EQ(it.worth, e.worth);
  EXPECT_EQ(it.rating_value, 0.0f);
  ItemType zeros = it;  // what is left once the listed members are cleared
  zeros.picture_slot = 0;
  zeros.type_id = 0;
  for (uint8_t& f : zeros.class_flags) f = 0;
  zeros.equipment = zeros.weapon = zeros.rating = zeros.grade = 0;
  zeros.factor = 0;
  zeros.worth = 0;
  EXPECT_TRUE(all_zero(zeros));
}

class ItemTypes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    table = new ItemTable;
    create_item_table(*table);
    fill_item_types(*table);
  }
  static void TearDownTestSuite() {
    release_item_table(*table);
    delete table;
  }
  static ItemTable* table;
};
ItemTable* ItemTypes::table = nullptr;

TEST_F(ItemTypes, SampleOfWeaponsBagAndPotion) {
  const Expected rows[] = {
      {6110, 600, "10111", 2, 1, 1, 0, 0.0f, 50},      // knife
      {6113, 603, "01000", 2, 1, 3, 1, 0.2f, 400},     // gauche
      {6118, 608, "01001", 1, 1, 6, 1, 2.8f, 2000},    // ameliorated blade
      {6124, 614, "10001", 1, 1, 8, 3, 4.0f, 2900},    // ameliorated saber
      {6129, 619, "10001", 1, 1, 12, 0, 3.2f, 28000},  // ameliorated two-bladed sword
      {6203, 633, "01000", 1, 1, 8, 0, 0.0f, 3000},    // war mace
      {6319, 655, "00010", 1, 1, 12, 0, 2.8f, 32000},  // rubioux battle axe: slot 655, not 653
      {6320, 654, "00010", 1, 1, 14, 0, 4.0f, 60000},  // ordered battle axe
      {7000, 3000, "00000", 0, 0, 0, 0, 0.0f, 30},     // bag
      {7100, 682, "00000", 0, 0, 200, 0, 0.0f, 50},    // blue potion
  };
  for (const Expected& e : rows) expect_record(*table, e);
}

TEST_F(ItemTypes, ArmourSets) {
  // Boots of the robe set, as the item list spells out.
  expect_record(*table, {8113, 730, "11111", 23, 0, 0, 0, 0.1f, 30});
  // First piece (suit) and a middle one (ring, 10 + 8) of other sets.
  expect_record(*table, {8130, 740, "11111", 10, 0, 0, 0, 0.2f, 70});
  expect_record(*table, {8258, 744, "11111", 18, 0, 0, 0, 0.6f, 280});
  expect_record(*table, {8333, 746, "11111", 23, 0, 0, 0, 0.9f, 600});
  // Every piece of every set is worn at 10 + its place in the set.
  const int32_t bases[] = {8100, 8130, 8170, 8200, 8220, 8250, 8280, 8320};
  for (int32_t base : bases)
    for (int k = 0; k < 14; ++k) {
      const ItemType& it = table->items[base + k];
      EXPECT_EQ(it.type_id, base + k);
      EXPECT_EQ(it.equipment, 10 + k) << base + k;
      EXPECT_EQ(it.weapon, 0);
    }
}

TEST_F(ItemTypes, GapsAndTheEndStayZero) {
  for (int32_t id : {0, 1, 6109, 6130, 6199, 6204, 6315, 6321, 7001, 7099, 7101, 8114, 8129,
                     8144, 8334, 9004, 9999, 10001, 229999})
    EXPECT_TRUE(all_zero(table->items[id])) << id;
}

TEST_F(ItemTypes, CountsOfDefinedRecords) {
  // 31 held items + 8 x 14 armour pieces, and 5 copies; id 0 is defined as all zero.
  int nonzero = 0, weapons = 0;
  for (int32_t id = 0; id < kItemTypeCount; ++id) {
    if (!all_zero(table->items[id])) ++nonzero;
    if (id < 9000 && table->items[id].weapon == 1) ++weapons;
  }
  EXPECT_EQ(nonzero, 31 + 112 + 5);
  EXPECT_EQ(weapons, 29);
}

TEST_F(ItemTypes, StartCopies) {
  const ItemType& knife = table->items[6110];
  const ItemType& copy = table->items[10000];
  EXPECT_TRUE(same_except_rating_value(copy, knife));
  EXPECT_EQ(copy.rating_value, 1.0f);
  EXPECT_EQ(knife.rating_value, 0.0f);

  const struct {
    int32_t id, source;
    float rating_value;
  } copies[] = {{9000, 6110, 1.0f}, {9001, 6111, 2.0f}, {9002, 6200, 3.0f}, {9003, 6316, 2.0f}};
  for (const auto& c : copies) {
    EXPECT_EQ(table->items[c.id].type_id, c.source) << c.id;
    EXPECT_EQ(table->items[c.id].rating_value, c.rating_value) << c.id;
    EXPECT_TRUE(same_except_rating_value(table->items[c.id], table->items[c.source])) << c.id;
  }
}

TEST(ItemCopy, OutOfRangeIdsAreIgnored) {
  ItemTable t;
  create_item_table(t);
  fill_item_types(t);
  const int32_t bad[] = {-1, kItemTypeCount, INT_MIN, INT_MAX};
  for (int32_t id : bad) {
    copy_item_type(t, id, 6320);
    copy_item_type(t, 5, id);
  }
  EXPECT_TRUE(all_zero(t.items[5]));
  EXPECT_TRUE(all_zero(t.items[kItemTypeCount - 1]));
  // The last id is a valid destination.
  copy_item_type(t, kItemTypeCount - 1, 6320);
  EXPECT_EQ(t.items[kItemTypeCount - 1].type_id, 6320);
  EXPECT_EQ(t.items[kItemTypeCount - 1].rating_value, 14.0f);
  release_item_table(t);
  copy_item_type(t, 1, 2);  // no table: nothing to do
  fill_item_types(t);
}

}  // namespace
