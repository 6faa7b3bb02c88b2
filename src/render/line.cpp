#include "render/line.h"

#include <algorithm>
#include <cstdlib>

#include "render/framebuffer.h"

namespace {

// One line in major/minor terms: the major coordinate moves every step, the
// minor one when the error term says so. The pixels are those of the plain walk
// from the first end; steps whose major coordinate lies outside [0, major_limit)
// are skipped arithmetically, so even ends far outside the picture cost only
// the visible steps.
struct Walk {
  int32_t a0, sa;  // major start and step (-1, 0, +1)
  int32_t b0, sb;  // minor start and step
  int64_t da, db;  // |major difference| >= |minor difference|
  int32_t major_limit;
  bool x_major;
};

void walk_line(Framebuffer& fb, const Walk& w, uint8_t r, uint8_t g, uint8_t b) {
  int64_t k_lo = 0;
  int64_t k_hi = w.da;
  if (w.sa > 0) {
    k_lo = std::max<int64_t>(0, -int64_t{w.a0});
    k_hi = std::min<int64_t>(w.da, int64_t{w.major_limit} - 1 - w.a0);
  } else if (w.sa < 0) {
    k_lo = std::max<int64_t>(0, int64_t{w.a0} - w.major_limit + 1);
    k_hi = std::min<int64_t>(w.da, w.a0);
  }
  if (k_lo > k_hi) return;

  // The error starts at the minor difference and each step adds it again; the
  // minor axis moves, and the major difference comes off, when the error is
  // strictly greater than the major difference. The error therefore stays in
  // (0, da], so after k steps the minor axis has moved ceil(db (k + 1) / da) - 1
  // times. db (k + 1) < 2^64 because both factors are below 2^32.
  uint64_t moved = 0;
  uint64_t e = 0;
  if (w.db > 0) {
    const uint64_t total = uint64_t(w.db) * uint64_t(k_lo + 1);
    moved = (total - 1) / uint64_t(w.da);
    e = total - moved * uint64_t(w.da);
  }
  for (int64_t k = k_lo; k <= k_hi; ++k) {
    const int32_t a = int32_t(w.a0 + w.sa * k);
    const int32_t m = int32_t(w.b0 + w.sb * int64_t(moved));
    if (w.x_major) {
      put_pixel(fb, a, m, r, g, b);
    } else {
      put_pixel(fb, m, a, r, g, b);
    }
    e += uint64_t(w.db);
    if (e > uint64_t(w.da)) {
      e -= uint64_t(w.da);
      ++moved;
    }
  }
}

}  // namespace

void draw_line(Framebuffer& fb, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r,
               uint8_t g, uint8_t b) {
  // Every pixel lies between the two ends, so a line wholly beside the picture
  // cannot show.
  if ((x0 < 0 && x1 < 0) || (y0 < 0 && y1 < 0) || (x0 >= fb.width && x1 >= fb.width) ||
      (y0 >= fb.height && y1 >= fb.height)) {
    return;
  }
  // 64-bit differences: the ends may be any 32-bit values.
  const int64_t dx = std::llabs(int64_t{x1} - x0);
  const int64_t dy = std::llabs(int64_t{y1} - y0);
  const int32_t sx = x1 > x0 ? 1 : (x1 < x0 ? -1 : 0);
  const int32_t sy = y1 > y0 ? 1 : (y1 < y0 ? -1 : 0);
  // Mostly horizontal lines step along x; the rest, diagonals and single points
  // included, along y.
  if (dx > dy) {
    walk_line(fb, Walk{x0, sx, y0, sy, dx, dy, fb.width, true}, r, g, b);
  } else {
    walk_line(fb, Walk{y0, sy, x0, sx, dy, dx, fb.height, false}, r, g, b);
  }
}

void draw_cursor(Framebuffer& fb, int32_t x, int32_t y) {
  constexpr int32_t kArm = 5;  // pixels beyond the centre
  // A pointer this far outside shows no arm; returning also keeps x +- 5 in range.
  if (x < -kArm || y < -kArm || x >= fb.width + kArm || y >= fb.height + kArm) return;
  draw_line(fb, x, y, x + kArm, y, 255, 255, 255);
  draw_line(fb, x, y, x, y + kArm, 255, 255, 255);
  draw_line(fb, x, y, x - kArm, y, 255, 255, 255);
  draw_line(fb, x, y, x, y - kArm, 255, 255, 255);
}
