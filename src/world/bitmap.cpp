#include "world/bitmap.h"

void create_bitmap_store(BitmapStore& s) { s.slots = std::make_unique<Bitmap[]>(kBitmapSlots); }

void release_bitmap_store(BitmapStore& s) {
  if (s.slots)
    for (int32_t i = 0; i < kBitmapSlots; ++i) s.slots[i].pixels.reset();
  s.slots.reset();
}
