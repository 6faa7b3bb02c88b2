// Printing into the Text buffer and drawing it in both fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <cstring>
#include <string>
#include <vector>

#include "pixels.h"
#include "render/text.h"

namespace {

Pixels draw(bool large, const std::string& s, int32_t x, int32_t y, int32_t w = 640,
            int32_t h = 480) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  TextBuffer t;
  text_print(t, "%s", s.c_str());
  (large ? draw_large_text : draw_small_text)(fb, t, x, y, 255, 255, 0);
  return lit(fb);
}

// The pixels of a glyph drawn from rows written out here: row i's ink lands at (x + c, y - i).
Pixels from_rows(const std::vector<std::string>& rows, int32_t x, int32_t y) {
  Pixels out;
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t c = 0; c < rows[i].size(); ++c)
      if (rows[i][c] == '1') out.insert({x + int32_t(c), y - int32_t(i)});
  return out;
}

TEST(TextBuffer, PrintIsCutAt255CharactersAndDrawingStopsAtTheBuffersEnd) {
  TextBuffer t;
  text_print(t, "first line that is long");
  text_print(t, "su%d x%d", 7, -9);
  EXPECT_STREQ(t.s, "su7 x-9");
  const std::string long_text(300, 'W');
  text_print(t, "%s", long_text.c_str());
  EXPECT_EQ(std::string(t.s), long_text.substr(0, 255));
  // Filled by hand without a terminator, with more text after it: drawing stops
  // after the buffer's 256 characters.
  struct {
    TextBuffer t;
    char more[64];
  } filled;
  std::memset(static_cast<void*>(&filled), 'l', sizeof filled);
  for (bool large : {false, true}) {
    Framebuffer fb;
    set_resolution(fb, 2100, 20);
    (large ? draw_large_text : draw_small_text)(fb, filled.t, 0, 15, 255, 255, 255);
    int32_t rightmost = -1;
    for (auto [x, y] : lit(fb)) rightmost = std::max(rightmost, x);
    // The 256th "l" starts 255 pen steps on: 8 pixels each in the large font, 2 in the small.
    const int32_t step = large ? 8 : 2;
    EXPECT_TRUE(rightmost >= 255 * step && rightmost < 256 * step) << large << ": " << rightmost;
  }
}

TEST(TextDrawing, CapitalALandsOnItsRows) {
  // Small: rows 3-7 of the glyph "A", row r at y - r + 2. Large: rows 2-10, row r at y - r.
  EXPECT_EQ(draw(false, "A", 20, 100), from_rows({"010", "101", "111", "101", "101"}, 20, 99));
  EXPECT_EQ(draw(true, "A", 30, 200),
            from_rows({"001100", "011110", "110011", "110011", "110011", "111111", "110011",
                       "110011", "110011"},
                      30, 198));
}

TEST(TextDrawing, RowsCoveredAtAGivenBaseline) {
  // Small at 14: capitals start at row 3, y - 1; the tail of "g" on row 9 at 7;
  // "y"'s row 10 is never drawn. Large at 58: capitals start at row 2; descenders
  // reach row 12.
  std::string printable;
  for (char c = 33; c < 127; ++c) printable += c;
  for (auto [large, y, low, high_lo, high_hi] : {std::tuple{false, 14, 7, 13, 15},
                                                 std::tuple{true, 58, 46, 56, 57}}) {
    int32_t lowest = INT_MAX, highest = INT_MIN;
    for (auto [px, py] : draw(large, printable, 0, y, 2000, 80)) {
      lowest = std::min(lowest, py);
      highest = std::max(highest, py);
    }
    EXPECT_EQ(lowest, low) << large;
    EXPECT_TRUE(highest >= high_lo && highest <= high_hi) << large << ": " << highest;
  }
  EXPECT_EQ(draw(true, "_", 100, 58), from_rows({"11111111"}, 100, 47));  // row 11, eight wide
}

TEST(TextDrawing, PenAdvancesAndCodesWithoutAGlyphAdvanceLikeASpace) {
  // "A" is 3 wide, so the next glyph starts 4 further on; "i" is 1 wide and
  // moves the pen 2; a space moves it 3 and draws nothing.
  auto two = [](bool large, const char* first, const char* second, int32_t dx) {
    Pixels p = draw(large, first, 10, 50);
    for (auto [x, y] : draw(large, second, 10 + dx, 50)) p.insert({x, y});
    return p;
  };
  EXPECT_EQ(draw(false, "AA", 10, 50), two(false, "A", "A", 4));
  EXPECT_EQ(draw(false, "iA", 10, 50), two(false, "i", "A", 2));
  // Bytes above 127, as in UTF-8 text, are outside the table.
  for (const char* s : {"A A", "A`A", "A~A", "A\tA", "A\xff" "A", "A\x80" "A"})
    EXPECT_EQ(draw(false, s, 10, 50), two(false, "A", "A", 7)) << s;
  EXPECT_EQ(draw(false, "A\xc3\xa9" "A", 10, 50), two(false, "A", "A", 10));
  // Large: every character advances eight.
  for (const char* s : {"A A", "A\x01" "A", "A\x7f" "A", "A\xe9" "A"})
    EXPECT_EQ(draw(true, s, 10, 50), two(true, "A", "A", 16)) << s;
  EXPECT_EQ(draw(true, "il", 10, 50), two(true, "i", "l", 8));
}

TEST(TextDrawing, EmptyBufferDrawsNothingAndInkTakesTheColourOverTheBackground) {
  Framebuffer fb;
  set_resolution(fb, 64, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) put_pixel(fb, x, y, 10, 20, 30);
  TextBuffer t;
  draw_small_text(fb, t, 10, 20, 1, 2, 3);
  draw_large_text(fb, t, 10, 20, 1, 2, 3);
  text_print(t, "Ag");
  draw_large_text(fb, t, 2, 20, 1, 2, 3);
  const Pixels ink = draw(true, "Ag", 2, 20, 64, 32);
  const Rgba kInk{1, 2, 3, 255}, kBackground{10, 20, 30, 255};
  ASSERT_FALSE(ink.empty());
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x)
      ASSERT_EQ(pixel_at(fb, x, y), ink.count({x, y}) ? kInk : kBackground) << x << "," << y;
}

TEST(TextDrawing, TextPastTheEdgesIsClippedPixelByPixel) {
  // The same text drawn 100 pixels further right and up in a big picture, then
  // cut back: the small picture keeps exactly those pixels.
  const std::string s = "SX=512,SY=498 gjpqy_$@|";
  for (bool large : {false, true})
    for (int32_t x : {-20, 0, 50, 60})
      for (int32_t y = -15; y <= 32; ++y) {
        Pixels want;
        for (auto [px, py] : draw(large, s, x + 100, y + 100, 400, 150))
          if (px >= 100 && px < 200 && py >= 100 && py < 116) want.insert({px - 100, py - 100});
        ASSERT_EQ(draw(large, s, x, y, 100, 16), want) << large << " at " << x << "," << y;
      }
  // Far outside, up to the ends of the coordinate range: nothing, and no overflow.
  for (bool large : {false, true}) {
    for (int32_t x : {INT_MIN, INT_MIN + 5, -1000, INT_MAX - 10, INT_MAX})
      EXPECT_TRUE(draw(large, s, x, 10, 100, 16).empty()) << x;
    for (int32_t y : {INT_MIN, large ? 0 : -8, large ? 28 : 24, INT_MAX})
      EXPECT_TRUE(draw(large, s, 10, y, 100, 16).empty()) << y;
  }
}

}  // namespace
