#include "world/icon.h"

#include "world/bitmap.h"

std::vector<uint8_t> icon_pixels(const Bitmap& b, int32_t side) {
  const int64_t w = b.width, h = b.height;
  if (!b.pixels || w <= 0 || w != h || side <= 0) return {};
  std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) {
      const int32_t sx = int32_t(x * w / side);
      const int32_t sy = int32_t(y * h / side);
      // bitmaps are bottom row first, the icon top row first
      const uint8_t* p = &b.pixels[size_t((h - 1 - sy) * w + sx) * 3];
      // the colour key and black are the sprite's background
      const bool key = (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] | p[1] | p[2]) == 0;
      uint8_t* q = &rgba[(size_t(y) * side + x) * 4];
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = key ? 0 : 255;
    }
  return rgba;
}
