// Makes the desktop icons from the mage sprite: OUT_DIR/<size>/kelvarot.png
// for every installed size.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/png_write.h"
#include "world/bitmap.h"
#include "world/icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon SPRITE.bmp OUT_DIR\n");
    return 2;
  }
  BitmapStore store;
  create_bitmap_store(store);
  if (!load_bitmap(store, argv[1], 0) || store.slots[0].width != store.slots[0].height) {
    std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
    release_bitmap_store(store);
    return 1;
  }
  int status = 0;
  const std::string out = argv[2];
  mkdir(out.c_str(), 0755);
  for (int32_t side : kIconSizes) {
    const std::vector<uint8_t> rgba = icon_pixels(store.slots[0], side);
    const std::string dir = out + "/" + std::to_string(side);
    mkdir(dir.c_str(), 0755);
    std::string error;
    if (!write_png(dir + "/kelvarot.png", side, side, 4, rgba.data(), &error)) {
      std::fprintf(stderr, "make_icon: cannot write %s: %s\n", dir.c_str(), error.c_str());
      status = 1;
    }
  }
  release_bitmap_store(store);
  return status;
}
