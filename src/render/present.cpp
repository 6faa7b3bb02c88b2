#include "render/present.h"

#include <algorithm>
#include <cstring>

#include "core/platform.h"
#include "render/framebuffer.h"

void clear_frame(Framebuffer& fb) { clear_pixels(fb); }

int32_t fitting_scale(int32_t w, int32_t h, int32_t area_w, int32_t area_h) {
  if (w <= 0 || h <= 0) return 1;
  return std::max(1, std::min(area_w / w, area_h / h));
}

namespace {

// One picture row into one window row, each pixel `scale` times. The usual
// X11 layout gets constant shifts, which the compiler turns into byte shuffles.
template <bool kXrgb>
void widen_row(const uint8_t* src, int32_t width, int32_t scale, const FrameTarget& t,
               uint32_t* out) {
  const uint32_t rs = kXrgb ? 16 : t.red_shift, gs = kXrgb ? 8 : t.green_shift,
                 bs = kXrgb ? 0 : t.blue_shift;
  const uint32_t alpha = t.alpha_bits;
  auto pixel = [&](const uint8_t* p) {
    return uint32_t(p[0]) << rs | uint32_t(p[1]) << gs | uint32_t(p[2]) << bs | alpha;
  };
  if (scale == 1) {
    for (int32_t x = 0; x < width; ++x) out[x] = pixel(src + x * 4);
  } else if (scale == 2) {
    for (int32_t x = 0; x < width; ++x) out[2 * x] = out[2 * x + 1] = pixel(src + x * 4);
  } else {
    for (int32_t x = 0; x < width; ++x) std::fill_n(out + x * scale, scale, pixel(src + x * 4));
  }
}

void fill_black(const FrameTarget& t, int32_t row, int32_t x0, int32_t x1) {
  uint32_t* out = reinterpret_cast<uint32_t*>(t.pixels + size_t(row) * size_t(t.pitch));
  std::fill(out + x0, out + x1, t.alpha_bits);
}

}  // namespace

ScreenRect widen_into(const Framebuffer& fb, int32_t scale, const FrameTarget& t) {
  const int32_t pw = fb.width * scale, ph = fb.height * scale;
  ScreenRect r;
  r.left = std::max(0, (t.width - pw) / 2);
  r.top = std::max(0, (t.height - ph) / 2);
  r.right = r.left + pw;
  r.bottom = r.top + ph;
  if (pw > t.width || ph > t.height || fb.pixels.size() < size_t(fb.width) * fb.height * 4)
    return r;  // a picture that does not fit is not drawn at all
  const bool xrgb = t.red_shift == 16 && t.green_shift == 8 && t.blue_shift == 0;
  for (int32_t y = 0; y < t.height; ++y) {
    if (y < r.top || y >= r.bottom) {
      fill_black(t, y, 0, t.width);
      continue;
    }
    fill_black(t, y, 0, r.left);
    fill_black(t, y, r.right, t.width);
    uint8_t* row = t.pixels + size_t(y) * size_t(t.pitch);
    if ((y - r.top) % scale != 0) {
      // the rows of one picture row are alike: copy the first
      std::memcpy(row + size_t(r.left) * 4, row - size_t(t.pitch) + size_t(r.left) * 4,
                  size_t(pw) * 4);
      continue;
    }
    // the window's top row shows the picture's top row, which is its last
    const int32_t src_row = fb.height - 1 - (y - r.top) / scale;
    const uint8_t* src = fb.pixels.data() + size_t(src_row) * size_t(fb.width) * 4;
    uint32_t* out = reinterpret_cast<uint32_t*>(row) + r.left;
    if (xrgb) widen_row<true>(src, fb.width, scale, t, out);
    else widen_row<false>(src, fb.width, scale, t, out);
  }
  return r;
}

bool present(const Framebuffer& fb, int32_t max_scale, Display& d, PresentState& st) {
  FrameTarget t;
  if (!d.frame_target(&t)) return false;
  const bool repaint = d.take_repaint();
  const size_t bytes = fb.pixels.size();
  if (!repaint && st.width == fb.width && st.height == fb.height && st.shown.size() == bytes &&
      std::memcmp(st.shown.data(), fb.pixels.data(), bytes) == 0) {
    st.skipped += 1;
    return false;
  }
  const int32_t scale =
      std::clamp(fitting_scale(fb.width, fb.height, t.width, t.height), 1, std::max(1, max_scale));
  d.show_frame(widen_into(fb, scale, t));
  st.shown.assign(fb.pixels.begin(), fb.pixels.end());
  st.width = fb.width;
  st.height = fb.height;
  st.count += 1;
  return true;
}
