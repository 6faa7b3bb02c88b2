// Feeds arbitrary bytes to the bitmap reader and checks what it leaves in the slot.
#include "fuzz_check.h"
#include "world/bitmap.h"

namespace {

constexpr int32_t kSlot = 7;

// A 1 x 1 picture (one red pixel) put in the slot before every input: file
// header, info (1 x 1, 1 plane, 24 bits, no compression, no colour table),
// then blue, green, red and the row filler.
const uint8_t kMarker[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1, 0,
                             0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0, 0,
                             0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static BitmapStore s = [] {
    BitmapStore made;
    create_bitmap_store(made);
    return made;
  }();
  check(load_bitmap_from_memory(s, kSlot, kMarker, sizeof kMarker), "marker did not load");
  const uint8_t* before = s.slots[kSlot].pixels.get();

  const bool ok = load_bitmap_from_memory(s, kSlot, data, size);
  const Bitmap& b = s.slots[kSlot];
  const bool sane_size = b.width >= 1 && b.width <= 4096 && b.height >= 1 && b.height <= 4096;
  if (!ok) {
    const bool untouched = b.pixels.get() == before && b.width == 1 && b.height == 1 &&
                           b.pixels[0] == 255 && b.pixels[1] == 0 && b.pixels[2] == 0;
    const bool emptied = b.pixels == nullptr && sane_size && b.bytes_per_pixel == 3;
    check(untouched || emptied, "failed load left the slot half-changed");
    return 0;
  }
  check(b.pixels && sane_size && b.bytes_per_pixel == 3, "loaded slot is inconsistent");
  check(size >= 54, "loaded from fewer bytes than a header");

  // The picture's bottom-left pixel, found in the file by hand.
  const int32_t file_height = int32_t(le32(data + 22));
  const uint64_t stride = (uint64_t(b.width) * 3 + 3) / 4 * 4;
  const uint64_t bottom = le32(data + 10) + (file_height < 0 ? stride * (b.height - 1) : 0);
  check(bottom + 3 <= size, "bottom row lies outside the input");
  check(b.pixels[0] == data[bottom + 2] && b.pixels[1] == data[bottom + 1] &&
            b.pixels[2] == data[bottom],
        "bottom-left pixel is not the file's, red first");

  // Touch every byte so a short buffer shows up.
  unsigned sum = 0;
  for (size_t i = 0; i < size_t(b.width) * b.height * 3; ++i) sum += b.pixels[i];
  [[maybe_unused]] volatile unsigned sink = sum;
  return 0;
}
