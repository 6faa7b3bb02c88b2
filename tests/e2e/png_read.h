#pragma once
// Reads an 8-bit RGB PNG (what --screenshot writes) for checks.
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // top row first
  const unsigned char* at(int x, int y_from_top) const {
    return &rgb[(size_t(y_from_top) * size_t(width) + size_t(x)) * 3];
  }
};

inline bool read_png(const std::string& path, Picture* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  out->width = int(png_get_image_width(png, info));
  out->height = int(png_get_image_height(png, info));
  const bool rgb8 = png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB &&
                    png_get_bit_depth(png, info) == 8;
  if (!rgb8) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return false;
  }
  out->rgb.assign(size_t(out->width) * size_t(out->height) * 3, 0);
  for (int y = 0; y < out->height; ++y)
    png_read_row(png, &out->rgb[size_t(y) * size_t(out->width) * 3], nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return true;
}
