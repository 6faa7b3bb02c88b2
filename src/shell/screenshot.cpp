#include "shell/screenshot.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "render/framebuffer.h"

bool write_png(const std::string& path, const Framebuffer& fb) {
  if (fb.width <= 0 || fb.height <= 0) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(fb.width), png_uint_32(fb.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(size_t(fb.width) * 3);
  for (int32_t y = fb.height - 1; y >= 0; --y) {
    const uint8_t* src = &fb.pixels[size_t(y) * size_t(fb.width) * 4];
    for (int32_t x = 0; x < fb.width; ++x) {
      row[size_t(x) * 3 + 0] = src[x * 4 + 0];
      row[size_t(x) * 3 + 1] = src[x * 4 + 1];
      row[size_t(x) * 3 + 2] = src[x * 4 + 2];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}
