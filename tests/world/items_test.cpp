#include "world/items.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

// Member by member, since padding bytes carry nothing.
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

struct ItemTypes : ::testing::Test {
  static void SetUpTestSuite() {
    create_item_table(table);
    fill_item_types(table);
  }
  static void TearDownTestSuite() { release_item_table(table); }
  static ItemTable table;
};
ItemTable ItemTypes::table;

TEST_F(ItemTypes, RowsLandInTheirMembersWithEveryOtherMemberZero) {
  // Rows that between them set every member: a weapon of each hand, one with a
  // grade and factor, the potion, and the robe set's boots (piece 13).
  const struct {
    int32_t id;
    uint16_t slot;
    const char* flags;  // flag 1 first
    uint8_t equipment, weapon, rating, grade;
    float factor;
    uint16_t worth;
  } rows[] = {
      {6110, 600, "10111", 2, 1, 1, 0, 0.0f, 50},
      {6124, 614, "10001", 1, 1, 8, 3, 4.0f, 2900},
      {7100, 682, "00000", 0, 0, 200, 0, 0.0f, 50},
      {8113, 730, "11111", 23, 0, 0, 0, 0.1f, 30},
  };
  for (const auto& e : rows) {
    SCOPED_TRACE(e.id);
    ItemType want;
    want.type_id = e.id;
    want.picture_slot = e.slot;
    for (int i = 0; i < 5; ++i) want.class_flags[i] = uint8_t(e.flags[i] - '0');
    want.equipment = e.equipment;
    want.weapon = e.weapon;
    want.rating = e.rating;
    want.grade = e.grade;
    want.factor = e.factor;
    want.worth = e.worth;
    EXPECT_TRUE(same_except_rating_value(table.items[e.id], want));
    EXPECT_EQ(table.items[e.id].rating_value, 0.0f);
  }
}

TEST_F(ItemTypes, ArmourPiecesAreWornAtTenPlusTheirPlaceAndShareTheSet) {
  for (int32_t base : {8100, 8130, 8170, 8200, 8220, 8250, 8280, 8320})
    for (int k = 0; k < 14; ++k) {
      const ItemType &it = table.items[base + k], &first = table.items[base];
      EXPECT_TRUE(it.type_id == base + k && it.equipment == 10 + k && it.weapon == 0 &&
                  it.picture_slot != 0 && it.picture_slot == first.picture_slot &&
                  it.factor == first.factor && it.worth == first.worth)
          << base + k;
    }
}

TEST_F(ItemTypes, CountsGapsAndTheEnd) {
  // 31 held items + 8 x 14 armour pieces, and 5 copies; id 0 is defined as all zero.
  int nonzero = 0, weapons = 0;
  for (int32_t id = 0; id < kItemTypeCount; ++id) {
    nonzero += !all_zero(table.items[id]);
    weapons += id < 9000 && table.items[id].weapon == 1;
  }
  EXPECT_EQ(nonzero, 31 + 112 + 5);
  EXPECT_EQ(weapons, 29);
  for (int32_t id : {0, 1, 6109, 6130, 6199, 6204, 6315, 6321, 7001, 7099, 7101, 8114, 8129,
                     8144, 8334, 9004, 9999, 10001, 229999})
    EXPECT_TRUE(all_zero(table.items[id])) << id;
}

TEST_F(ItemTypes, StartCopiesTakeEveryMemberAndTheRatingAsRatingValue) {
  const struct {
    int32_t id, source;
    float rating_value;
  } copies[] = {{10000, 6110, 1.0f}, {9000, 6110, 1.0f}, {9001, 6111, 2.0f}, {9002, 6200, 3.0f},
                {9003, 6316, 2.0f}};
  for (const auto& c : copies) {
    EXPECT_EQ(table.items[c.id].type_id, c.source) << c.id;
    EXPECT_EQ(table.items[c.id].rating_value, c.rating_value) << c.id;
    EXPECT_TRUE(same_except_rating_value(table.items[c.id], table.items[c.source])) << c.id;
  }
}

TEST(ItemCopy, OutOfRangeIdsAreIgnored) {
  ItemTable t;
  create_item_table(t);
  fill_item_types(t);
  for (int32_t id : {-1, kItemTypeCount, INT_MIN, INT_MAX}) {
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
