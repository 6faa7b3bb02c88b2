// The glyph tables: formats, widths and where the ink may sit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/fonts.h"

namespace {

// Small-font widths, written out from the width table of the font's design.
int32_t designed_small_width(int32_t code) {
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

// Highest and lowest ink row of a glyph (from row first); -1 when blank.
struct RowSpan {
  int32_t top = -1;
  int32_t bottom = -1;
};
RowSpan ink_rows(const char* glyph, int32_t row_length, int32_t first) {
  RowSpan s;
  const int32_t rows = int32_t(std::strlen(glyph)) / row_length;
  for (int32_t r = first; r < rows; ++r)
    for (int32_t c = 0; c < row_length; ++c)
      if (ink(glyph, row_length, r, c)) {
        if (s.top < 0) s.top = r;
        s.bottom = r;
      }
  return s;
}
RowSpan small_rows(int32_t code) { return ink_rows(kSmallFont[code], kSmallRowLength, 1); }
RowSpan large_rows(int32_t code) { return ink_rows(kLargeFont[code], kLargeRowLength, 0); }

bool only_bits(const char* s) { return std::strspn(s, "01") == std::strlen(s); }

TEST(SmallFont, EveryEntryHasTheDesignedFormatWidthAndInkPlace) {
  for (int32_t code = 0; code < kSmallFontEntries; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kSmallFont[code];
    ASSERT_NE(glyph, nullptr);
    const size_t len = std::strlen(glyph);
    const bool blank_form = len == size_t(kSmallBlankLength);  // header "28", no ink
    ASSERT_TRUE(blank_form || len == size_t(kSmallRowLength * kSmallRows));
    const int32_t width = glyph[0] - '0';
    ASSERT_TRUE(width >= 0 && width <= 8);
    // Only the underscore, and its copy in the second bank, carries a 7.
    EXPECT_EQ(glyph[1], code == '_' || code == '_' - 32 + 128 ? '7' : '8');
    EXPECT_EQ(std::string(glyph + 2, 6), "000000");
    EXPECT_TRUE(only_bits(glyph + 2));
    EXPECT_TRUE(!blank_form || (width == 2 && small_rows(code).top == -1));
    const int32_t rows = int32_t(len) / kSmallRowLength;
    for (int32_t r = 1; r < rows; ++r)
      for (int32_t c = width; c < kSmallRowLength; ++c) EXPECT_FALSE(ink(glyph, 8, r, c));
    // Row 10 is never drawn; only the tail of "y" may reach it.
    for (int32_t c = 0; code != 'y' && rows == kSmallRows && c < kSmallRowLength; ++c)
      EXPECT_FALSE(ink(glyph, 8, 10, c));
    if (code >= 128) continue;
    const bool has_glyph = (code >= 33 && code <= 95) || (code >= 97 && code <= 122);
    EXPECT_EQ(small_rows(code).top >= 0, has_glyph);
    // The apostrophe and the backslash are not in the table; any sane width will do.
    const int32_t designed = designed_small_width(code);
    EXPECT_TRUE(designed < 0 ? (code == '\'' || code == '\\') && width >= 1 && width <= 7
                             : width == designed)
        << "width " << width << ", designed " << designed;
  }
}

TEST(SmallFont, SecondBankHoldsCopiesOrBlanks) {
  int32_t copies = 0;
  for (int32_t code = 128; code < kSmallFontEntries; ++code) {
    const int32_t source = code - 128 + 32;
    copies += source <= 126 && std::strcmp(kSmallFont[code], kSmallFont[source]) == 0;
  }
  EXPECT_GT(copies, 80);  // mostly copies of 32-126
}

TEST(LargeFont, EveryEntryHasTheDesignedFormat) {
  for (int32_t code = 0; code < kLargeFontEntries; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kLargeFont[code];
    ASSERT_NE(glyph, nullptr);
    if (code == 142) {  // the one Small-format entry
      EXPECT_EQ(std::strlen(glyph), size_t(kSmallRowLength * kSmallRows));
      EXPECT_TRUE(glyph[0] >= '1' && glyph[0] <= '8' && glyph[1] == '8' && only_bits(glyph + 2));
      continue;
    }
    EXPECT_EQ(std::strlen(glyph), size_t(kLargeRowLength * kLargeRows));
    EXPECT_TRUE(only_bits(glyph));
    // Nothing in row 0 or in columns 8 and 9.
    for (int32_t c = 0; c < kLargeRowLength; ++c) EXPECT_FALSE(ink(glyph, 10, 0, c));
    for (int32_t r = 0; r < kLargeRows; ++r)
      EXPECT_FALSE(ink(glyph, 10, r, 8) || ink(glyph, 10, r, 9)) << r;
    EXPECT_EQ(large_rows(code).top >= 0, code >= 33 && code <= 126);
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
      const RowSpan s = k.large ? large_rows(ch) : small_rows(ch);
      EXPECT_GE(s.top, k.top_lo);
      EXPECT_LE(s.top, k.top_hi);
      EXPECT_EQ(s.bottom, k.bottom);
      for (int32_t r = 0; k.large && k.chars == caps && r < kLargeRows; ++r)  // seven columns
        EXPECT_FALSE(ink(kLargeFont[int32_t(ch)], 10, r, 7));
    }
  // The large underscore fills row 11 and nothing else.
  for (int32_t r = 0; r < kLargeRows; ++r)
    for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(ink(kLargeFont[int32_t('_')], 10, r, c), r == 11);
}

TEST(BothFonts, CapitalAMatchesTheDesignExamples) {
  EXPECT_STREQ(kSmallFont[int32_t('A')],
               "38000000" "00000000" "00000000" "01000000" "10100000" "11100000"
               "10100000" "10100000" "00000000" "00000000" "00000000");
  EXPECT_STREQ(kLargeFont[int32_t('A')],
               "0000000000" "0000000000" "0011000000" "0111100000" "1100110000"
               "1100110000" "1100110000" "1111110000" "1100110000" "1100110000"
               "1100110000" "0000000000" "0000000000");
}

}  // namespace
