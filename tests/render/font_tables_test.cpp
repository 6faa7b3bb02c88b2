// The glyph tables: formats, widths and where the ink may sit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "render/fonts.h"

namespace {

// Small-font widths, written out independently of the font's own tables.
int32_t expected_small_width(int32_t code) {
  const char ch = char(code);
  if (code <= 32 || code == 96 || code >= 123) return 2;  // the blank glyph
  const char* by_width[] = {":il", "!(),;=[]fjr", "\"$%+-.0123456789<>?ABCDEFGHIKLPSTUVY^_",
                            "&/JNOQRZa", "#*MWXmw"};
  for (int32_t w = 1; w <= 5; ++w)
    if (std::strchr(by_width[w - 1], ch)) return w;
  if (ch == '@') return 7;
  if (ch >= 'a' && ch <= 'z') return 3;  // "the lower-case letters not listed elsewhere"
  return -1;                             // not in the table
}

bool ink(const char* glyph, int32_t row_length, int32_t row, int32_t col) {
  return glyph[row * row_length + col] == '1';
}

// Highest and lowest ink row of a glyph, from row `first` on; -1 when blank.
std::pair<int32_t, int32_t> ink_rows(const char* glyph, int32_t row_length, int32_t first) {
  int32_t top = -1, bottom = -1;
  for (int32_t r = first; r < int32_t(std::strlen(glyph)) / row_length; ++r)
    for (int32_t c = 0; c < row_length; ++c)
      if (ink(glyph, row_length, r, c)) top = top < 0 ? r : top, bottom = r;
  return {top, bottom};
}
std::pair<int32_t, int32_t> small_rows(int32_t code) { return ink_rows(kSmallFont[code], 8, 1); }
std::pair<int32_t, int32_t> large_rows(int32_t code) { return ink_rows(kLargeFont[code], 10, 0); }

bool only_bits(const char* s) { return std::strspn(s, "01") == std::strlen(s); }

// Only codes 0-127 are reachable: higher bytes are negative as signed chars.
TEST(SmallFont, EveryReachableEntryHasTheExpectedFormatWidthAndInkPlace) {
  for (int32_t code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kSmallFont[code];
    ASSERT_NE(glyph, nullptr);
    const size_t len = std::strlen(glyph);
    const bool blank_form = len == size_t(kSmallBlankLength);  // header "28", no ink
    ASSERT_TRUE(blank_form || len == size_t(kSmallRowLength * kSmallRows));
    EXPECT_TRUE(only_bits(glyph + 2));
    const int32_t width = glyph[0] - '0';
    EXPECT_TRUE(!blank_form || (width == 2 && small_rows(code).first == -1));
    // No ink right of the width, nor in row 10 but for the tail of "y": it would not show.
    for (int32_t r = 1; r < int32_t(len) / kSmallRowLength; ++r)
      for (int32_t c = 0; c < kSmallRowLength; ++c)
        EXPECT_FALSE((c >= width || (r == 10 && code != 'y')) && ink(glyph, 8, r, c))
            << r << "," << c;
    const bool has_glyph = (code >= 33 && code <= 95) || (code >= 97 && code <= 122);
    EXPECT_EQ(small_rows(code).first >= 0, has_glyph);
    // The apostrophe and the backslash are not in the table; any sane width will do.
    const int32_t expected = expected_small_width(code);
    EXPECT_TRUE(expected < 0 ? (code == '\'' || code == '\\') && width >= 1 && width <= 7
                             : width == expected)
        << "width " << width << ", expected " << expected;
  }
}

TEST(LargeFont, EveryReachableEntryHasTheExpectedFormat) {
  for (int32_t code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kLargeFont[code];
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(std::strlen(glyph), size_t(kLargeRowLength * kLargeRows));
    EXPECT_TRUE(only_bits(glyph));
    // Nothing in row 0 or in columns 8 and 9: it would not show.
    for (int32_t r = 0; r < kLargeRows; ++r)
      for (int32_t c = 0; c < kLargeRowLength; ++c)
        EXPECT_FALSE((r == 0 || c >= 8) && ink(glyph, 10, r, c)) << r << "," << c;
    EXPECT_EQ(large_rows(code).first >= 0, code >= 33 && code <= 126);
  }
}

// Where letters and digits sit: the highest ink row within [top_lo, top_hi], the lowest on bottom.
TEST(BothFonts, CapitalsDigitsAndLowerCaseSitOnTheirRows) {
  const std::string caps = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const struct {
    bool large;
    std::string chars;
    int32_t top_lo, top_hi, bottom;
  } rows[] = {
      {false, caps, 3, 3, 7},
      {false, "acemnorsuvwxz", 5, 5, 7},  // neither ascender nor descender
      {false, "bdfhiklt", 3, 4, 7},       // ascenders stand on the baseline
      {false, "pq", 5, 9, 8},             // descenders
      {false, "j", 3, 9, 8},
      {false, "g", 5, 9, 9},
      {false, "y", 5, 9, 10},
      {true, caps, 2, 2, 10},
      {true, "acemnorsuvwxz", 5, 5, 10},
      {true, "bdfhiklt", 2, 12, 10},
      {true, "gjpqy", 2, 12, 12},
  };
  for (const auto& k : rows)
    for (char ch : k.chars) {
      SCOPED_TRACE(::testing::Message() << (k.large ? "large " : "small ") << ch);
      const auto [top, bottom] = k.large ? large_rows(ch) : small_rows(ch);
      EXPECT_TRUE(top >= k.top_lo && top <= k.top_hi) << top;
      EXPECT_EQ(bottom, k.bottom);
      for (int32_t r = 0; k.large && k.chars == caps && r < kLargeRows; ++r)  // seven columns
        EXPECT_FALSE(ink(kLargeFont[int32_t(ch)], 10, r, 7));
    }
}

}  // namespace
