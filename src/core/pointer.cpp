#include "core/pointer.h"

namespace {
int32_t scale_clamped(int32_t offset, int32_t size, int32_t extent) {
  if (size == 0) return 0;
  const float v = float(offset) / float(size) * float(extent);
  if (v < 0.0f) return 0;
  if (v > float(extent - 1)) return extent - 1;
  return int32_t(v);
}
}  // namespace

int32_t pointer_x_from_screen(int32_t screen_x, const ScreenRect& r, int32_t width) {
  return scale_clamped(screen_x - r.left, r.right - r.left, width);
}

int32_t pointer_y_from_screen(int32_t screen_y, const ScreenRect& r, int32_t height) {
  return scale_clamped(r.bottom - screen_y, r.bottom - r.top, height);
}
