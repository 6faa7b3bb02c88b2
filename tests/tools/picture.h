#pragma once
// The tests' one PNG reader: pixels as stored (RGB or RGBA), top row first; empty when unreadable.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  uint32_t width = 0, height = 0, format = 0;
  std::vector<uint8_t> pixels;
  bool operator==(const Picture&) const = default;
};

inline Picture read_png(const std::string& path) {
  png_image im{};
  im.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&im, path.c_str())) return {};
  Picture p{im.width, im.height, im.format, std::vector<uint8_t>(PNG_IMAGE_SIZE(im))};
  if (!png_image_finish_read(&im, nullptr, p.pixels.data(), 0, nullptr)) return {};
  return p;
}
