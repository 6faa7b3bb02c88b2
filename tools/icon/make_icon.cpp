// Makes the desktop icon from the mage sprite: 4x, the colour key transparent.
#include <png.h>

#include <cstdio>
#include <vector>

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
    return 1;
  }
  const Bitmap& b = store.slots[0];
  const int scale = 4, side = int(b.width) * scale;
  std::vector<png_byte> rgba(size_t(side) * size_t(side) * 4);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      // bitmaps are bottom row first, PNG rows top first
      const uint8_t* p = &b.pixels[((b.height - 1 - y / scale) * b.width + x / scale) * 3];
      const bool key = (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] | p[1] | p[2]) == 0;
      png_byte* q = &rgba[(size_t(y) * side + x) * 4];
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = key ? 0 : 255;
    }
  FILE* f = std::fopen(argv[2], "wb");
  if (!f) return 1;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return 1;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < side; ++y) png_write_row(png, &rgba[size_t(y) * side * 4]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  release_bitmap_store(store);
  return std::fclose(f) == 0 ? 0 : 1;
}
