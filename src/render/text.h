#pragma once
// The Text buffer and the two bitmap fonts.
#include <cstdint>

struct Framebuffer;

constexpr int32_t kTextBufferSize = 256;

// One string that callers print into before drawing it.
struct TextBuffer {
  char s[kTextBufferSize] = {};
};

// printf into the buffer, cut at 255 characters.
void text_print(TextBuffer& t, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Small font: row r of a glyph at y - r + 2, pen advance width + 1.
void draw_small_text(Framebuffer& fb, const TextBuffer& t, int32_t x, int32_t y, uint8_t r,
                     uint8_t g, uint8_t b);
// Large font: row r at y - r, advance 8.
void draw_large_text(Framebuffer& fb, const TextBuffer& t, int32_t x, int32_t y, uint8_t r,
                     uint8_t g, uint8_t b);
