#pragma once
// The written pixels of a framebuffer, as a set to compare.
#include <set>
#include <utility>

#include "render/framebuffer.h"

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// Every pixel whose alpha is set, i.e. every pixel that was written.
inline Pixels lit(const Framebuffer& fb) {
  Pixels out;
  for (int32_t y = 0; y < fb.height; ++y)
    for (int32_t x = 0; x < fb.width; ++x)
      if (pixel_at(fb, x, y).a != 0) out.insert({x, y});
  return out;
}
