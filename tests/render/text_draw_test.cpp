// Printing into the Text buffer and drawing it in both fonts.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "render/framebuffer.h"
#include "render/text.h"

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// Every pixel whose alpha is set, i.e. every pixel that was written.
Pixels lit(const Framebuffer& fb) {
  Pixels out;
  for (int32_t y = 0; y < fb.height; ++y) {
    for (int32_t x = 0; x < fb.width; ++x) {
      if (pixel_at(fb, x, y).a != 0) out.insert({x, y});
    }
  }
  return out;
}

Pixels shifted(const Pixels& p, int32_t dx) {
  Pixels out;
  for (auto [x, y] : p) out.insert({x + dx, y});
  return out;
}

Pixels draw(bool large, const std::string& s, int32_t x, int32_t y, int32_t w = 640,
            int32_t h = 480) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  TextBuffer t;
  text_print(t, "%s", s.c_str());
  (large ? draw_large_text : draw_small_text)(fb, t, x, y, 255, 255, 0);
  return lit(fb);
}
Pixels draw_small(const std::string& s, int32_t x, int32_t y, int32_t w = 640, int32_t h = 480) {
  return draw(false, s, x, y, w, h);
}
Pixels draw_large(const std::string& s, int32_t x, int32_t y, int32_t w = 640, int32_t h = 480) {
  return draw(true, s, x, y, w, h);
}

// The pixels of a glyph drawn from design rows: row i's ink lands at (x + c, y - i).
Pixels from_rows(const std::vector<std::string>& rows, int32_t x, int32_t y) {
  Pixels out;
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t c = 0; c < rows[i].size(); ++c)
      if (rows[i][c] == '1') out.insert({x + int32_t(c), y - int32_t(i)});
  return out;
}

// Lowest and highest row with ink.
std::pair<int32_t, int32_t> row_range(const Pixels& p) {
  int32_t low = INT_MAX, high = INT_MIN;
  for (auto [x, y] : p) {
    low = std::min(low, y);
    high = std::max(high, y);
  }
  return {low, high};
}

std::string printable() {
  std::string s;
  for (int32_t c = 33; c < 127; ++c) s += char(c);
  return s;
}

TEST(TextBuffer, PrintReplacesFormatsAndIsCutAt255Characters) {
  TextBuffer t;
  text_print(t, "first line that is long");
  text_print(t, "su%d x%d", 7, -9);
  EXPECT_STREQ(t.s, "su7 x-9");
  const std::string long_text(300, 'W');
  text_print(t, "%s", long_text.c_str());
  EXPECT_EQ(std::string(t.s), long_text.substr(0, 255));
}

TEST(TextDrawing, CapitalALandsWhereTheDesignPutsIt) {
  // Small: rows 3-7 of the design's "A", row r at y - r + 2. Large: rows 2-10, row r at y - r.
  EXPECT_EQ(draw_small("A", 20, 100), from_rows({"010", "101", "111", "101", "101"}, 20, 99));
  EXPECT_EQ(draw_large("A", 30, 200),
            from_rows({"001100", "011110", "110011", "110011", "110011", "111111", "110011",
                       "110011", "110011"},
                      30, 198));
}

TEST(TextDrawing, RowsCoveredAtAGivenBaseline) {
  // Small at 14: capitals start at row 3, y - 1; the tail of "g" on row 9 at 7;
  // "y"'s row 10 is never drawn. The baseline row 7 lands at y - 5.
  const auto [small_low, small_high] = row_range(draw_small(printable(), 0, 14, 2000, 40));
  EXPECT_EQ(small_low, 7);
  EXPECT_TRUE(small_high >= 13 && small_high <= 15) << small_high;
  const Pixels l = draw_small("L", 0, 14);
  EXPECT_TRUE(l.count({0, 9}) && l.count({1, 9}) && l.count({2, 9}));
  // Large at 58: capitals start at row 2; descenders reach row 12.
  const auto [large_low, large_high] = row_range(draw_large(printable(), 0, 58, 1000, 80));
  EXPECT_EQ(large_low, 46);
  EXPECT_TRUE(large_high >= 56 && large_high <= 57) << large_high;
  EXPECT_EQ(draw_large("_", 100, 58), from_rows({"11111111"}, 100, 47));  // row 11, eight wide
}

TEST(TextDrawing, PenAdvancesAndCodesWithoutAGlyphAdvanceLikeASpace) {
  const Pixels a = draw_small("A", 10, 50), i = draw_small("i", 10, 50);
  // "A" is 3 wide, so the next glyph starts 4 further on; "i" is 1 wide and
  // moves the pen 2; a space moves it 3 and draws nothing.
  auto with = [](Pixels p, const Pixels& more, int32_t dx) {
    p.merge(shifted(more, dx));
    return p;
  };
  EXPECT_EQ(draw_small("AA", 10, 50), with(a, a, 4));
  EXPECT_EQ(draw_small("iA", 10, 50), with(i, a, 2));
  EXPECT_EQ(draw_small("A A", 10, 50), with(a, a, 7));
  // Bytes above 127, as in UTF-8 text, are outside the table.
  for (const char* s : {"A`A", "A~A", "A\tA", "A\xff" "A", "A\x80" "A"})
    EXPECT_EQ(draw_small(s, 10, 50), with(a, a, 7)) << s;
  EXPECT_EQ(draw_small("A\xc3\xa9" "A", 10, 50), with(a, a, 10));
  // Large: every character advances eight.
  const Pixels la = draw_large("A", 10, 50);
  for (const char* s : {"A A", "A\x01" "A", "A\x7f" "A", "A\xe9" "A"})
    EXPECT_EQ(draw_large(s, 10, 50), with(la, la, 16)) << s;
  EXPECT_EQ(draw_large("il", 10, 50), with(draw_large("i", 10, 50), draw_large("l", 10, 50), 8));
}

TEST(TextDrawing, EmptyBufferDrawsNothing) {
  Framebuffer fb;
  set_resolution(fb, 64, 64);
  TextBuffer t;
  for (int pass = 0; pass < 2; ++pass) {
    draw_small_text(fb, t, 10, 30, 255, 255, 0);
    draw_large_text(fb, t, 10, 30, 255, 255, 0);
    text_print(t, "%s", "");
  }
  EXPECT_TRUE(lit(fb).empty());
}

TEST(TextDrawing, InkTakesTheColourAndBackgroundShowsThrough) {
  Framebuffer fb;
  set_resolution(fb, 64, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) put_pixel(fb, x, y, 10, 20, 30);
  TextBuffer t;
  text_print(t, "Ag");
  draw_large_text(fb, t, 2, 20, 1, 2, 3);
  const Rgba kInk{1, 2, 3, 255}, kBackground{10, 20, 30, 255};
  const Pixels ink = draw_large("Ag", 2, 20, 64, 32);
  ASSERT_FALSE(ink.empty());
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x)
      ASSERT_EQ(pixel_at(fb, x, y), ink.count({x, y}) ? kInk : kBackground) << x << "," << y;
}

TEST(TextDrawing, TextPastTheEdgesIsClippedPixelByPixel) {
  // The same text drawn into a wide picture and a narrow one: the narrow one
  // keeps exactly the pixels that fit.
  const std::string s = "SX=512,SY=498 gjpqy";
  for (bool large : {false, true})
    for (int32_t x : {-20, 0, 50, 60}) {
      Pixels kept;
      for (auto [px, py] : draw(large, s, x, 12, 400, 16))
        if (px >= 0 && px < 100) kept.insert({px, py});
      EXPECT_EQ(draw(large, s, x, 12, 100, 16), kept) << large << " at " << x;
    }
  // Far outside, up to the ends of the coordinate range: nothing, and no overflow.
  for (int32_t x : {INT_MIN, INT_MIN + 5, -1000, INT_MAX - 10, INT_MAX})
    for (bool large : {false, true}) EXPECT_TRUE(draw(large, s, x, 10, 100, 16).empty()) << x;
  for (int32_t y : {INT_MIN, -8, 24, INT_MAX})
    EXPECT_TRUE(draw_small(s, 10, y, 100, 16).empty()) << y;
  for (int32_t y : {INT_MIN, 0, 28, INT_MAX})
    EXPECT_TRUE(draw_large(s, 10, y, 100, 16).empty()) << y;
  // Above and below: a 16-row picture keeps exactly the rows that the same text
  // drawn 100 rows higher in a tall picture has inside rows 100 to 115.
  for (bool large : {false, true})
    for (int32_t y = -15; y <= 32; ++y) {
      Pixels want;
      for (auto [x, py] : draw(large, "Ag_$@|", 3, y + 100, 60, 300))
        if (py >= 100 && py < 116) want.insert({x, py - 100});
      EXPECT_EQ(draw(large, "Ag_$@|", 3, y, 60, 16), want) << large << " at " << y;
    }
}

TEST(TextDrawing, AnUnterminatedBufferStopsAtItsEnd) {
  // Someone filling the buffer by hand may leave no terminator; drawing stops at
  // 256 characters instead of reading past the buffer.
  TextBuffer t;
  std::memset(t.s, 'l', sizeof t.s);
  Framebuffer fb;
  set_resolution(fb, 2100, 20);
  draw_large_text(fb, t, 0, 15, 255, 255, 255);
  draw_small_text(fb, t, 0, 15, 255, 255, 255);
  int32_t rightmost = -1;
  for (auto [x, y] : lit(fb)) rightmost = std::max(rightmost, x);
  // The 256th "l" of the large font starts at 255 * 8; nothing lies beyond it.
  EXPECT_GE(rightmost, 255 * 8);
  EXPECT_LT(rightmost, 256 * 8);
}

}  // namespace
