#include "world/items.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <tuple>

namespace {

// Member by member, since padding bytes carry nothing.
bool same(const ItemType& a, const ItemType& b) {
  auto eq = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return eq(a.small_a, b.small_a) && a.picture_slot == b.picture_slot && a.type_id == b.type_id &&
         a.small_b == b.small_b && eq(a.values_a, b.values_a) && eq(a.small_c, b.small_c) &&
         eq(a.class_flags, b.class_flags) && a.equipment == b.equipment && a.small_d == b.small_d &&
         a.weapon == b.weapon && a.rating == b.rating && a.grade == b.grade &&
         a.rating_value == b.rating_value && eq(a.small_e, b.small_e) && a.factor == b.factor &&
         eq(a.small_f, b.small_f) && a.value_g == b.value_g && a.worth == b.worth &&
         eq(a.values_h, b.values_h);
}

TEST(ItemTypes, RowsArmourSetsAndCopiesLandWhereTheyBelongAndNowhereElse) {
  ItemTable t;
  create_item_table(t);
  fill_item_types(t);
  // Rows that between them set every member: a weapon of each hand, one with a grade and
  // factor, and the robe set's boots (piece 13).
  // clang-format off
  for (const ItemType& row : {
           ItemType{.picture_slot = 600, .type_id = 6110, .class_flags = {1, 0, 1, 1, 1},
                    .equipment = 2, .weapon = 1, .rating = 1, .worth = 50},
           ItemType{.picture_slot = 614, .type_id = 6124, .class_flags = {1, 0, 0, 0, 1},
                    .equipment = 1, .weapon = 1, .rating = 8, .grade = 3, .factor = 4.0f,
                    .worth = 2900},
           ItemType{.picture_slot = 730, .type_id = 8113, .class_flags = {1, 1, 1, 1, 1},
                    .equipment = 23, .factor = 0.1f, .worth = 30}})
    // clang-format on
    EXPECT_TRUE(same(t.items[row.type_id], row)) << row.type_id;
  // Every armour piece is worn at 10 + its place and shares its set's picture, factor and worth.
  for (int32_t base : {8100, 8130, 8170, 8200, 8220, 8250, 8280, 8320})
    for (int k = 0; k < 14; ++k) {
      ItemType want = t.items[base];
      want.type_id = base + k;
      want.equipment = uint8_t(10 + k);
      EXPECT_TRUE(want.picture_slot != 0 && same(t.items[base + k], want)) << base + k;
    }
  // A copy keeps its source's id and every member, with the rating as rating value.
  // clang-format off
  for (auto [id, source, rating] : {std::tuple{10000, 6110, 1.0f}, {9000, 6110, 1.0f},
                                    {9001, 6111, 2.0f}, {9002, 6200, 3.0f}, {9003, 6316, 2.0f}}) {
    // clang-format on
    ItemType want = t.items[source];
    want.rating_value = rating;
    EXPECT_TRUE(same(t.items[id], want)) << id;
  }
  // 31 held items, 8 x 14 armour pieces and the copies; id 0 is defined as all zero.
  int nonzero = 0, weapons = 0;
  for (int32_t id = 0; id < kItemTypeCount; ++id) {
    nonzero += !same(t.items[id], ItemType{});
    weapons += id < 9000 && t.items[id].weapon == 1;
  }
  EXPECT_TRUE(nonzero == 31 + 112 + 5 && weapons == 29) << nonzero << " " << weapons;
  // Copies from or to ids outside the table are ignored; the last id is inside.
  for (int32_t id : {-1, kItemTypeCount, INT_MIN, INT_MAX}) {
    copy_item_type(t, id, 6320);
    copy_item_type(t, 5, id);
  }
  EXPECT_TRUE(same(t.items[5], ItemType{}) && same(t.items[kItemTypeCount - 1], ItemType{}));
  copy_item_type(t, kItemTypeCount - 1, 6320);
  EXPECT_EQ(t.items[kItemTypeCount - 1].rating_value, 14.0f);
  release_item_table(t);
  copy_item_type(t, 1, 2);  // no table: nothing to do
  fill_item_types(t);
}

}  // namespace
