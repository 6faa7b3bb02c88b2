#include "assetgen/image.h"

#include <cstdio>
#include <filesystem>

#include "core/png_write.h"

Image make_image(int32_t w, int32_t h, Rgb fill) {
  Image im;
  im.w = w;
  im.h = h;
  im.px.assign(size_t(w) * size_t(h), fill);
  return im;
}

namespace {
void put_le(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
}  // namespace

std::vector<uint8_t> encode_bmp(const Image& im) {
  const uint32_t row = (uint32_t(im.w) * 3u + 3u) & ~3u;  // padded to 4 bytes
  const uint32_t data = row * uint32_t(im.h);
  std::vector<uint8_t> b(54 + size_t(data), 0);
  b[0] = 'B';
  b[1] = 'M';
  put_le(b, 2, 54 + data, 4);  // file size
  put_le(b, 10, 54, 4);        // pixel data offset
  put_le(b, 14, 40, 4);        // BITMAPINFOHEADER
  put_le(b, 18, uint32_t(im.w), 4);
  put_le(b, 22, uint32_t(im.h), 4);  // positive: bottom-up rows
  put_le(b, 26, 1, 2);               // planes
  put_le(b, 28, 24, 2);              // bits per pixel
  put_le(b, 34, data, 4);            // image size (compression 0 = none)
  put_le(b, 38, 2835, 4);            // 72 dpi
  put_le(b, 42, 2835, 4);
  for (int32_t y = 0; y < im.h; ++y) {
    uint8_t* out = b.data() + 54 + size_t(row) * size_t(im.h - 1 - y);
    for (int32_t x = 0; x < im.w; ++x) {
      const Rgb c = pixel(im, x, y);
      out[x * 3 + 0] = c.b;
      out[x * 3 + 1] = c.g;
      out[x * 3 + 2] = c.r;
    }
  }
  return b;
}

bool write_file(const std::string& path, const uint8_t* data, size_t size) {
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

bool write_png(const std::string& path, const Image& im) {
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  static_assert(sizeof(Rgb) == 3, "pixels are handed over as packed RGB");
  return write_png(path, im.w, im.h, 3, reinterpret_cast<const uint8_t*>(im.px.data()));
}

Image magnify(const Image& im, int32_t factor) {
  Image out = make_image(im.w * factor, im.h * factor, Rgb{});
  for (int32_t y = 0; y < out.h; ++y)
    for (int32_t x = 0; x < out.w; ++x) pixel(out, x, y) = pixel(im, x / factor, y / factor);
  return out;
}

Image reduce(const Image& im, int32_t factor) {
  Image out = make_image(im.w / factor, im.h / factor, Rgb{});
  const int32_t n = factor * factor;
  for (int32_t y = 0; y < out.h; ++y)
    for (int32_t x = 0; x < out.w; ++x) {
      int32_t r = 0, g = 0, b = 0;
      for (int32_t dy = 0; dy < factor; ++dy)
        for (int32_t dx = 0; dx < factor; ++dx) {
          const Rgb c = pixel(im, x * factor + dx, y * factor + dy);
          r += c.r;
          g += c.g;
          b += c.b;
        }
      pixel(out, x, y) = Rgb{uint8_t(r / n), uint8_t(g / n), uint8_t(b / n)};
    }
  return out;
}

void blit(Image& dst, const Image& src, int32_t x, int32_t y) {
  for (int32_t sy = 0; sy < src.h; ++sy)
    for (int32_t sx = 0; sx < src.w; ++sx)
      if (inside(dst, x + sx, y + sy)) pixel(dst, x + sx, y + sy) = pixel(src, sx, sy);
}
