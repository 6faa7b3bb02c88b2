#pragma once
// The item type table.
#include <cstdint>
#include <memory>

constexpr int32_t kItemTypeCount = 230000;

struct ItemType {
  int32_t id = 0;
};

struct ItemTable {
  std::unique_ptr<ItemType[]> items;  // kItemTypeCount
};

void create_item_table(ItemTable& t);
void release_item_table(ItemTable& t);
void fill_item_types(ItemTable& t);
