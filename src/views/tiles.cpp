#include "views/tiles.h"

#include <algorithm>

#include "render/framebuffer.h"
#include "world/bitmap.h"

namespace {

inline bool colour_key(const uint8_t* p) {
  return (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] == 0 && p[1] == 0 && p[2] == 0);
}

template <bool kKeyed>
void blit(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot) {
  if (!slot_loaded(bm, slot)) return;  // never loaded, or short pixel data
  const Bitmap& b = bm.slots[slot];
  const int32_t side = int32_t(b.width);
  // Pictures are drawn square by their width; a slot shorter than it is wide
  // only holds `height` rows, and reading more would run past its pixels.
  const int32_t rows = int32_t(std::min(b.width, b.height));
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t* src = &b.pixels[size_t(r) * size_t(side) * 3];
    for (int32_t c = 0; c < side; ++c, src += 3) {
      if (kKeyed && colour_key(src)) continue;
      put_pixel(fb, x + c, y + r, src[0], src[1], src[2]);
    }
  }
}

}  // namespace

void draw_tile(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot) {
  blit<false>(fb, bm, x, y, slot);
}

void draw_sprite(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot) {
  blit<true>(fb, bm, x, y, slot);
}
