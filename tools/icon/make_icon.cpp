// Makes the desktop icon from the mage sprite: 4x, the colour key transparent.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/png_write.h"
#include "world/bitmap.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon SPRITE.bmp OUT.png\n");
    return 2;
  }
  BitmapStore store;
  create_bitmap_store(store);
  if (!load_bitmap(store, argv[1], 0) || store.slots[0].width != store.slots[0].height) {
    std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
    release_bitmap_store(store);
    return 1;
  }
  const Bitmap& b = store.slots[0];
  const int scale = 4, side = int(b.width) * scale;
  std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      // bitmaps are bottom row first, PNG rows top first
      const uint8_t* p = &b.pixels[((b.height - 1 - y / scale) * b.width + x / scale) * 3];
      const bool key = (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] | p[1] | p[2]) == 0;
      uint8_t* q = &rgba[(size_t(y) * side + x) * 4];
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = key ? 0 : 255;
    }
  release_bitmap_store(store);
  std::string error;
  if (!write_png(argv[2], side, side, 4, rgba.data(), &error)) {
    std::fprintf(stderr, "make_icon: cannot write %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  return 0;
}
