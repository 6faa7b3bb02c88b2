#include "shell/screenshot.h"

#include <vector>

#include "core/files.h"
#include "core/png_write.h"
#include "render/framebuffer.h"

namespace {

// The framebuffer is RGBA with the bottom row first; screenshots are RGB, top row first.
std::vector<uint8_t> rgb_top_first(const Framebuffer& fb) {
  const size_t w = size_t(fb.width);
  std::vector<uint8_t> rgb(w * size_t(fb.height) * 3);
  for (int32_t y = 0; y < fb.height; ++y) {
    const uint8_t* src = &fb.pixels[size_t(fb.height - 1 - y) * w * 4];
    uint8_t* dst = &rgb[size_t(y) * w * 3];
    for (size_t x = 0; x < w; ++x) {
      dst[x * 3 + 0] = src[x * 4 + 0];
      dst[x * 3 + 1] = src[x * 4 + 1];
      dst[x * 3 + 2] = src[x * 4 + 2];
    }
  }
  return rgb;
}

}  // namespace

bool write_png(const std::string& path, const Framebuffer& fb) {
  if (fb.width <= 0 || fb.height <= 0) return false;
  return write_png(path, fb.width, fb.height, 3, rgb_top_first(fb).data());
}

bool replace_png(const std::string& path, const Framebuffer& fb, std::string* why) {
  std::vector<uint8_t> png;
  if (fb.width <= 0 || fb.height <= 0) {
    *why = "no frame was presented";
    return false;
  }
  return encode_png(fb.width, fb.height, 3, rgb_top_first(fb).data(), &png, why) &&
         replace_file(path, png.data(), png.size(), why);
}
