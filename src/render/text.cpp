#include "render/text.h"

#include <cstdarg>
#include <cstdio>

#include "render/fonts.h"
#include "render/framebuffer.h"

void text_print(TextBuffer& t, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(t.s, sizeof t.s, fmt, ap);
  va_end(ap);
}

namespace {

// Bytes above 127 are negative as a signed char; like any code a font has no
// entry for, they draw nothing and take the room of a space.
const char* glyph_for(const char* const* font, int32_t entries, char ch) {
  const int32_t code = static_cast<signed char>(ch);
  return code >= 0 && code < entries ? font[code] : font[int32_t{' '}];
}

// The header digit; a glyph string is never shorter than its header row.
int32_t small_width(const char* glyph) {
  const int32_t w = glyph[0] - '0';
  return w >= 0 && w <= kSmallRowLength ? w : 0;
}

}  // namespace

void draw_small_text(Framebuffer& fb, const TextBuffer& t, int32_t x, int32_t y, uint8_t r,
                     uint8_t g, uint8_t b) {
  // Rows 1-9 land on y + 1 down to y - 7; outside that band nothing can show, and
  // leaving early keeps y - row + 2 in range.
  if (y < -1 || y > fb.height + 6) return;
  int64_t pen = x;  // 64 bits: a pen starting near the end of the range may run past it
  // Bounded by the buffer as well, in case someone filled it without a terminator.
  for (int32_t i = 0; i < kTextBufferSize && t.s[i] != '\0' && pen < fb.width; ++i) {
    const char* glyph = glyph_for(kSmallFont, kSmallFontEntries, t.s[i]);
    const int32_t w = small_width(glyph);
    if (pen + w > 0) {
      for (int32_t row = 1; row <= 9; ++row) {
        for (int32_t c = 0; c < w; ++c) {
          if (glyph[row * kSmallRowLength + c] != '0') {
            put_pixel(fb, int32_t(pen + c), y - row + 2, r, g, b);
          }
        }
      }
    }
    pen += w + 1;
  }
}

void draw_large_text(Framebuffer& fb, const TextBuffer& t, int32_t x, int32_t y, uint8_t r,
                     uint8_t g, uint8_t b) {
  // Rows 1-12 land on y - 1 down to y - 12.
  if (y < 1 || y > fb.height + 11) return;
  int64_t pen = x;
  for (int32_t i = 0; i < kTextBufferSize && t.s[i] != '\0' && pen < fb.width; ++i) {
    const char* glyph = glyph_for(kLargeFont, kLargeFontEntries, t.s[i]);
    if (pen + 8 > 0) {
      for (int32_t row = 1; row <= 12; ++row) {
        for (int32_t c = 0; c < 8; ++c) {
          if (glyph[row * kLargeRowLength + c] != '0') {
            put_pixel(fb, int32_t(pen + c), y - row, r, g, b);
          }
        }
      }
    }
    pen += 8;
  }
}
