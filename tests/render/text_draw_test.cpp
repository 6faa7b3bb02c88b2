// Printing into the Text buffer and drawing it in both fonts.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <utility>

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

Pixels draw_small(const std::string& s, int32_t x, int32_t y, int32_t w = 640, int32_t h = 480) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  TextBuffer t;
  text_print(t, "%s", s.c_str());
  draw_small_text(fb, t, x, y, 255, 255, 0);
  return lit(fb);
}

Pixels draw_large(const std::string& s, int32_t x, int32_t y, int32_t w = 640, int32_t h = 480) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  TextBuffer t;
  text_print(t, "%s", s.c_str());
  draw_large_text(fb, t, x, y, 255, 255, 0);
  return lit(fb);
}

std::string printable() {
  std::string s;
  for (int32_t c = 33; c < 127; ++c) s += char(c);
  return s;
}

TEST(TextBuffer, PrintReplacesAndFormats) {
  TextBuffer t;
  text_print(t, "first line that is long");
  text_print(t, "su%d x%d", 7, -9);
  EXPECT_STREQ(t.s, "su7 x-9");
}

TEST(TextBuffer, OverlongPrintIsCutAt255Characters) {
  TextBuffer t;
  const std::string long_text(300, 'W');
  text_print(t, "%s", long_text.c_str());
  EXPECT_EQ(std::strlen(t.s), 255u);
  EXPECT_EQ(t.s[255], '\0');
  EXPECT_EQ(std::string(t.s), long_text.substr(0, 255));
}

TEST(SmallText, CapitalALandsWhereTheDesignPutsIt) {
  // The design's "A": rows 3-7 are .1. / 1.1 / 111 / 1.1 / 1.1, and row r lands
  // at y - r + 2.
  const char* rows[] = {"010", "101", "111", "101", "101"};
  Pixels expected;
  for (int32_t i = 0; i < 5; ++i) {
    for (int32_t c = 0; c < 3; ++c) {
      if (rows[i][c] == '1') expected.insert({20 + c, 100 - (3 + i) + 2});
    }
  }
  EXPECT_EQ(draw_small("A", 20, 100), expected);
}

TEST(SmallText, DrawnAtFourteenItCoversRowsFifteenToSeven) {
  const Pixels p = draw_small(printable(), 0, 14, 2000, 40);
  ASSERT_FALSE(p.empty());
  int32_t low = INT_MAX, high = INT_MIN;
  for (auto [x, y] : p) {
    low = std::min(low, y);
    high = std::max(high, y);
  }
  EXPECT_GE(high, 13);  // capitals start at row 3, y - 1
  EXPECT_LE(high, 15);
  EXPECT_EQ(low, 7);  // the tail of "g" on row 9; "y"'s row 10 is never drawn
  // The baseline row 7 lands at y - 5.
  const Pixels l = draw_small("L", 0, 14);
  EXPECT_TRUE(l.count({0, 9}) && l.count({1, 9}) && l.count({2, 9}));
}

TEST(SmallText, PenAdvancesByWidthPlusOne) {
  const Pixels a = draw_small("A", 10, 50);
  // "A" is 3 wide, so the next glyph starts 4 further on.
  Pixels aa = a;
  aa.merge(shifted(a, 4));
  EXPECT_EQ(draw_small("AA", 10, 50), aa);
  // "i" is 1 wide and moves the pen 2.
  Pixels ia = draw_small("i", 10, 50);
  ia.merge(shifted(a, 2));
  EXPECT_EQ(draw_small("iA", 10, 50), ia);
  // A space moves it 3 and draws nothing.
  Pixels a_a = a;
  a_a.merge(shifted(a, 7));
  EXPECT_EQ(draw_small("A A", 10, 50), a_a);
  // Each call starts at its own x.
  EXPECT_EQ(draw_small("A", 10, 50), a);
}

TEST(SmallText, CodesWithoutAGlyphDrawNothingAndAdvanceLikeASpace) {
  const Pixels spaced = draw_small("A B", 10, 50);
  EXPECT_EQ(draw_small("A`B", 10, 50), spaced);
  EXPECT_EQ(draw_small("A~B", 10, 50), spaced);
  EXPECT_EQ(draw_small("A\tB", 10, 50), spaced);
  // Bytes above 127, as in UTF-8 text, are outside the table.
  EXPECT_EQ(draw_small("A\xff" "B", 10, 50), spaced);
  EXPECT_EQ(draw_small("A\x80" "B", 10, 50), spaced);
  EXPECT_EQ(draw_small("A\xc3\xa9" "B", 10, 50), draw_small("A  B", 10, 50));
}

TEST(LargeText, CapitalALandsWhereTheDesignPutsIt) {
  // The design's "A", rows 2-10, row r at y - r.
  const char* rows[] = {"001100", "011110", "110011", "110011", "110011",
                        "111111", "110011", "110011", "110011"};
  Pixels expected;
  for (int32_t i = 0; i < 9; ++i) {
    for (int32_t c = 0; c < 6; ++c) {
      if (rows[i][c] == '1') expected.insert({30 + c, 200 - (2 + i)});
    }
  }
  EXPECT_EQ(draw_large("A", 30, 200), expected);
}

TEST(LargeText, DrawnAtFiftyEightItCoversRowsFiftySevenToFortySix) {
  const Pixels p = draw_large(printable(), 0, 58, 1000, 80);
  int32_t low = INT_MAX, high = INT_MIN;
  for (auto [x, y] : p) {
    low = std::min(low, y);
    high = std::max(high, y);
  }
  EXPECT_LE(high, 57);
  EXPECT_GE(high, 56);  // capitals start at row 2
  EXPECT_EQ(low, 46);   // descenders reach row 12
  // The underscore is row 11 across all eight columns.
  Pixels underscore;
  for (int32_t c = 0; c < 8; ++c) underscore.insert({100 + c, 47});
  EXPECT_EQ(draw_large("_", 100, 58), underscore);
}

TEST(LargeText, EveryCharacterAdvancesEight) {
  const Pixels a = draw_large("A", 10, 50);
  Pixels expected = a;
  expected.merge(shifted(a, 16));
  EXPECT_EQ(draw_large("A A", 10, 50), expected);
  EXPECT_EQ(draw_large("A\x01" "A", 10, 50), expected);    // control code: no glyph
  EXPECT_EQ(draw_large("A\x7f" "A", 10, 50), expected);    // 127: no glyph
  EXPECT_EQ(draw_large("A\xe9" "A", 10, 50), expected);    // above 127: outside the table
  Pixels il = draw_large("i", 10, 50);
  il.merge(shifted(draw_large("l", 10, 50), 8));
  EXPECT_EQ(draw_large("il", 10, 50), il);
}

TEST(TextDrawing, EmptyBufferDrawsNothing) {
  Framebuffer fb;
  set_resolution(fb, 64, 64);
  TextBuffer t;
  draw_small_text(fb, t, 10, 30, 255, 255, 0);
  draw_large_text(fb, t, 10, 30, 255, 255, 0);
  text_print(t, "%s", "");
  draw_small_text(fb, t, 10, 30, 255, 255, 0);
  draw_large_text(fb, t, 10, 30, 255, 255, 0);
  EXPECT_TRUE(lit(fb).empty());
}

TEST(TextDrawing, InkTakesTheColourAndBackgroundShowsThrough) {
  Framebuffer fb;
  set_resolution(fb, 64, 32);
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 64; ++x) put_pixel(fb, x, y, 10, 20, 30);
  }
  TextBuffer t;
  text_print(t, "Ag");
  draw_large_text(fb, t, 2, 20, 1, 2, 3);
  const Pixels ink = draw_large("Ag", 2, 20, 64, 32);
  ASSERT_FALSE(ink.empty());
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const Rgba want = ink.count({x, y}) ? Rgba{1, 2, 3, 255} : Rgba{10, 20, 30, 255};
      ASSERT_EQ(pixel_at(fb, x, y), want) << x << "," << y;
    }
  }
}

TEST(TextDrawing, TextPastTheEdgesIsClippedPixelByPixel) {
  // The same text drawn into a wide picture and a narrow one: the narrow one keeps
  // exactly the pixels that fit.
  const std::string s = "SX=512,SY=498 gjpqy";
  for (int32_t x : {-20, 0, 50}) {
    const Pixels wide = draw_large(s, x, 12, 400, 16);
    Pixels kept;
    for (auto [px, py] : wide) {
      if (px >= 0 && px < 100) kept.insert({px, py});
    }
    EXPECT_EQ(draw_large(s, x, 12, 100, 16), kept);
  }
  // Far outside, up to the ends of the coordinate range: nothing, and no overflow.
  for (int32_t x : {INT_MIN, INT_MIN + 5, -1000, INT_MAX - 10, INT_MAX}) {
    EXPECT_TRUE(draw_small(s, x, 10, 100, 16).empty());
    EXPECT_TRUE(draw_large(s, x, 10, 100, 16).empty());
  }
  for (int32_t y : {INT_MIN, -8, 24, INT_MAX}) {
    EXPECT_TRUE(draw_small(s, 10, y, 100, 16).empty());
  }
  for (int32_t y : {INT_MIN, 0, 28, INT_MAX}) {
    EXPECT_TRUE(draw_large(s, 10, y, 100, 16).empty());
  }
}

TEST(TextDrawing, TextAboveAndBelowThePictureIsClippedRowByRow) {
  // Drawn into a 16-row picture, text keeps exactly the rows that the same text
  // drawn 100 rows higher in a tall picture has inside rows 100 to 115.
  const std::string s = "Ag_$@|";
  for (int32_t y = -15; y <= 32; ++y) {
    SCOPED_TRACE(y);
    const Pixels tall_small = draw_small(s, 3, y + 100, 60, 300);
    const Pixels tall_large = draw_large(s, 3, y + 100, 60, 300);
    Pixels want_small, want_large;
    for (auto [x, py] : tall_small) {
      if (py >= 100 && py < 116) want_small.insert({x, py - 100});
    }
    for (auto [x, py] : tall_large) {
      if (py >= 100 && py < 116) want_large.insert({x, py - 100});
    }
    EXPECT_EQ(draw_small(s, 3, y, 60, 16), want_small);
    EXPECT_EQ(draw_large(s, 3, y, 60, 16), want_large);
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
