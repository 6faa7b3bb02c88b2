#pragma once
// An RGB picture being drawn, and the two file formats it is written in.
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(Rgb a, Rgb b) = default;
};

// Sprites are drawn on this; the game leaves it out, and pure black too.
constexpr Rgb kKey{255, 0, 246};

// Row 0 is the top row while drawing; the BMP writer stores rows bottom-up.
struct Image {
  int32_t w = 0;        // pixels
  int32_t h = 0;        // pixels
  std::vector<Rgb> px;  // w * h, row-major, top row first
  bool wrap = false;    // drawing wraps around the edges (tiles that must tile seamlessly)
};

Image make_image(int32_t w, int32_t h, Rgb fill);
inline bool inside(const Image& im, int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < im.w && y < im.h; }
inline Rgb& pixel(Image& im, int32_t x, int32_t y) { return im.px[size_t(y) * size_t(im.w) + size_t(x)]; }
inline Rgb pixel(const Image& im, int32_t x, int32_t y) { return im.px[size_t(y) * size_t(im.w) + size_t(x)]; }

// Uncompressed 24-bit BMP: 54-byte header, bottom-up rows padded to 4 bytes.
std::vector<uint8_t> encode_bmp(const Image& im);

// Writes the bytes, creating missing folders; false on any failure.
bool write_file(const std::string& path, const uint8_t* data, size_t size);
// RGB PNG, top row first; false on failure.
bool write_png(const std::string& path, const Image& im);

// Nearest-neighbour magnification and box-filtered reduction.
Image magnify(const Image& im, int32_t factor);
Image reduce(const Image& im, int32_t factor);
// Copies src into dst with its top-left corner at (x, y), clipped.
void blit(Image& dst, const Image& src, int32_t x, int32_t y);
