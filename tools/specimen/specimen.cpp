// Writes every printable character of both fonts, magnified, to a PNG:
//   font_specimen OUT.png [SCALE]
// Faint lines run just above the capitals and just below the baseline, so uneven
// glyphs stand out.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/png_write.h"
#include "render/fonts.h"
#include "render/framebuffer.h"
#include "render/text.h"

namespace {

constexpr int32_t kWidth = 400;   // pixels, before magnifying
constexpr int32_t kHeight = 284;  // pixels
constexpr uint8_t kInk[3] = {255, 255, 0};
constexpr uint8_t kGuide[3] = {40, 40, 110};
constexpr uint8_t kHeading[3] = {140, 200, 255};

void guide(Framebuffer& fb, int32_t y, int32_t x0, int32_t x1) {
  for (int32_t x = x0; x < x1; ++x) put_pixel(fb, x, y, kGuide[0], kGuide[1], kGuide[2]);
}

// Small text at y: capitals from y - 1 (row 3), baseline y - 5 (row 7).
void small_line(Framebuffer& fb, TextBuffer& t, int32_t x, int32_t y, const char* s) {
  guide(fb, y, x - 2, kWidth - 4);
  guide(fb, y - 6, x - 2, kWidth - 4);
  text_print(t, "%s", s);
  draw_small_text(fb, t, x, y, kInk[0], kInk[1], kInk[2]);
}

// Large text at y: capitals from y - 2 (row 2), baseline y - 10 (row 10).
void large_line(Framebuffer& fb, TextBuffer& t, int32_t x, int32_t y, const char* s) {
  guide(fb, y - 1, x - 2, kWidth - 4);
  guide(fb, y - 11, x - 2, kWidth - 4);
  text_print(t, "%s", s);
  draw_large_text(fb, t, x, y, kInk[0], kInk[1], kInk[2]);
}

// Printable codes 32-126 in rows of 32, so each glyph can be found by position.
void charset_rows(Framebuffer& fb, TextBuffer& t, int32_t y, int32_t step, bool large) {
  for (int32_t first = 32; first < 127; first += 32) {
    char s[33] = {};
    for (int32_t i = 0; i < 32 && first + i < 127; ++i) s[i] = char(first + i);
    if (large) {
      large_line(fb, t, 8, y, s);
    } else {
      small_line(fb, t, 8, y, s);
    }
    y -= step;
  }
}

// The framebuffer magnified, as RGB rows top first.
std::vector<uint8_t> magnified_rgb(const Framebuffer& fb, int32_t scale) {
  const int32_t w = fb.width * scale;
  const int32_t h = fb.height * scale;
  std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
  for (int32_t py = 0; py < h; ++py) {
    const int32_t y = fb.height - 1 - py / scale;  // the framebuffer's row 0 is the bottom
    for (int32_t px = 0; px < w; ++px) {
      const Rgba c = pixel_at(fb, px / scale, y);
      uint8_t* q = &rgb[(size_t(py) * size_t(w) + size_t(px)) * 3];
      q[0] = c.r;
      q[1] = c.g;
      q[2] = c.b;
    }
  }
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: font_specimen OUT.png [SCALE]\n");
    return 2;
  }
  const int32_t scale = argc == 3 ? std::atoi(argv[2]) : 4;
  if (scale < 1 || scale > 16) {
    std::fprintf(stderr, "font_specimen: SCALE must be 1 to 16\n");
    return 2;
  }
  Framebuffer fb;
  set_resolution(fb, kWidth, kHeight);
  TextBuffer t;

  int32_t y = kHeight - 6;
  text_print(t, "Small font");
  draw_large_text(fb, t, 8, y, kHeading[0], kHeading[1], kHeading[2]);
  y -= 20;
  charset_rows(fb, t, y, 13, false);
  y -= 3 * 13 + 4;
  small_line(fb, t, 8, y, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789");
  y -= 13;
  small_line(fb, t, 8, y, "abcdefghijklmnopqrstuvwxyz");
  y -= 13;
  small_line(fb, t, 8, y, "The quick brown fox jumps over the lazy dog. (1,024 cells; 99% land!)");
  y -= 13;
  small_line(fb, t, 8, y, "KELVAROT 1.0 - a tile world of 255 wanderers");
  y -= 13;
  small_line(fb, t, 8, y, "Pack my box with five dozen liquor jugs: x=12, y=-7 <ok> [#42] a@b.c");
  y -= 18;

  text_print(t, "Large font");
  draw_large_text(fb, t, 8, y, kHeading[0], kHeading[1], kHeading[2]);
  y -= 18;
  charset_rows(fb, t, y, 16, true);
  y -= 3 * 16 + 2;
  large_line(fb, t, 8, y, "The quick brown fox jumps over");
  y -= 16;
  large_line(fb, t, 8, y, "the lazy dog. {gjpqy} ~|_\\");
  y -= 16;
  large_line(fb, t, 8, y, "SX=512,SY=498,SZ=1 mx=320 my=240 su1");
  y -= 16;
  large_line(fb, t, 8, y, "CMD:teleport 100 200");

  const std::vector<uint8_t> rgb = magnified_rgb(fb, scale);
  std::string error;
  if (!write_png(argv[1], fb.width * scale, fb.height * scale, 3, rgb.data(), &error)) {
    std::fprintf(stderr, "font_specimen: cannot write %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
