#pragma once
// The bitmap store: numbered slots of RGB pixels, bottom row first.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

constexpr int32_t kBitmapSlots = 3100;

struct Bitmap {
  std::unique_ptr<uint8_t[]> pixels;  // width * height * 3, R G B; null while empty
  uint32_t width = 0;                 // pixels
  uint32_t height = 0;                // pixels
  uint32_t bytes_per_pixel = 0;       // 3 after every successful load
};

// All pictures together hold at most this many bytes of pixels.
constexpr uint64_t kPixelBudgetBytes = uint64_t(256) << 20;

// Created zero-filled during start-up loading; filled once, read until exit.
struct BitmapStore {
  std::unique_ptr<Bitmap[]> slots;  // kBitmapSlots
  uint64_t pixel_bytes = 0;         // held by the slots now
  int32_t over_budget = 0;          // pictures refused: no room left, or no memory for them
};

void create_bitmap_store(BitmapStore& s);
void release_bitmap_store(BitmapStore& s);

// True when the slot holds pixels; readers must not touch an empty slot.
inline bool slot_loaded(const BitmapStore& s, int32_t slot) {
  return s.slots && slot >= 0 && slot < kBitmapSlots && s.slots[slot].pixels != nullptr;
}

// Parses a BMP held in memory into the slot; false leaves the slot as the
// rules say (untouched after a bad header or a picture past the budget, size
// kept after short pixels).
bool load_bitmap_from_memory(BitmapStore& s, int32_t slot, const uint8_t* data, size_t size);
// Reads the file (read-only, only a regular file; never creates it) and parses it. When
// something is under the name that cannot be read, *why says what.
bool load_bitmap(BitmapStore& s, const char* path, int32_t slot, std::string* why = nullptr);
