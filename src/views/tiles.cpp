#include "views/tiles.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "render/framebuffer.h"
#include "world/bitmap.h"

namespace {

inline bool colour_key(const uint8_t* p) {
  return (p[0] == 255 && p[1] == 0 && p[2] == 246) || (p[0] == 0 && p[1] == 0 && p[2] == 0);
}

// One pixel as put_pixel writes it: red, green, blue, then alpha 255. A
// single word store where the byte order allows; byte by byte stores built
// into a vector on the stack stall the copy.
inline void store_rgba(uint8_t* dst, const uint8_t* src) {
  if constexpr (std::endian::native == std::endian::little) {
    const uint32_t v =
        uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 | uint32_t(255) << 24;
    std::memcpy(dst, &v, 4);
  } else {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    dst[3] = 255;
  }
}

template <bool kKeyed>
void blit(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot) {
  if (!slot_loaded(bm, slot)) return;  // never loaded, or short pixel data
  // A buffer smaller than its stated size has nowhere safe to draw.
  if (fb.pixels.size() < size_t(fb.width) * size_t(fb.height) * 4) return;
  const Bitmap& b = bm.slots[slot];
  const int64_t side = b.width;
  // Pictures are drawn square by their width; a slot shorter than it is wide
  // only holds `height` rows, and reading more would run past its pixels.
  const int64_t rows = std::min(b.width, b.height);
  // Only the part that lands on the picture is visited: a 4096-pixel picture
  // costs what its visible corner costs, not sixteen million clip tests.
  const int64_t c0 = std::max<int64_t>(0, -int64_t(x));
  const int64_t c1 = std::min<int64_t>(side, int64_t(fb.width) - x);
  const int64_t r0 = std::max<int64_t>(0, -int64_t(y));
  const int64_t r1 = std::min<int64_t>(rows, int64_t(fb.height) - y);
  for (int64_t r = r0; r < r1; ++r) {
    const uint8_t* src = &b.pixels[size_t(r * side + c0) * 3];
    uint8_t* dst = &fb.pixels[size_t((y + r) * fb.width + x + c0) * 4];
    for (int64_t c = c0; c < c1; ++c, src += 3, dst += 4) {
      if (kKeyed && colour_key(src)) continue;
      store_rgba(dst, src);
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
