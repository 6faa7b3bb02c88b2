// The glyph tables: formats, widths and where the ink may sit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/fonts.h"

namespace {

// Small-font widths, written out from the width table of the font's design.
int32_t designed_small_width(int32_t code) {
  const std::string w1 = ":il";
  const std::string w2 = "!(),;=[]fjr";
  const std::string w3 = "\"$%+-.0123456789<>?ABCDEFGHIKLPSTUVY^_";
  const std::string w4 = "&/JNOQRZa";
  const std::string w5 = "#*MWXmw";
  const char ch = char(code);
  if (code <= 32 || code == 96 || code >= 123) return 2;  // the blank glyph
  if (w1.find(ch) != std::string::npos) return 1;
  if (w2.find(ch) != std::string::npos) return 2;
  if (w3.find(ch) != std::string::npos) return 3;
  if (w4.find(ch) != std::string::npos) return 4;
  if (w5.find(ch) != std::string::npos) return 5;
  if (ch == '@') return 7;
  if (ch >= 'a' && ch <= 'z') return 3;  // "the lower-case letters not listed elsewhere"
  return -1;                             // not in the table
}

bool small_ink(const char* glyph, int32_t row, int32_t col) {
  return glyph[row * kSmallRowLength + col] == '1';
}
bool large_ink(const char* glyph, int32_t row, int32_t col) {
  return glyph[row * kLargeRowLength + col] == '1';
}

// Lowest and highest ink row of a glyph (rows 1 to last_row); -1 when blank.
struct RowSpan {
  int32_t top = -1;
  int32_t bottom = -1;
};
RowSpan small_rows(const char* glyph) {
  RowSpan s;
  const int32_t rows = int32_t(std::strlen(glyph)) / kSmallRowLength;
  for (int32_t r = 1; r < rows; ++r) {
    for (int32_t c = 0; c < kSmallRowLength; ++c) {
      if (small_ink(glyph, r, c)) {
        if (s.top < 0) s.top = r;
        s.bottom = r;
      }
    }
  }
  return s;
}
RowSpan large_rows(const char* glyph) {
  RowSpan s;
  for (int32_t r = 0; r < kLargeRows; ++r) {
    for (int32_t c = 0; c < kLargeRowLength; ++c) {
      if (large_ink(glyph, r, c)) {
        if (s.top < 0) s.top = r;
        s.bottom = r;
      }
    }
  }
  return s;
}

bool only_bits(const char* s) { return std::strspn(s, "01") == std::strlen(s); }

TEST(SmallFont, EveryEntryHasTheDesignedFormat) {
  for (int32_t code = 0; code < kSmallFontEntries; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kSmallFont[code];
    ASSERT_NE(glyph, nullptr);
    const size_t len = std::strlen(glyph);
    ASSERT_TRUE(len == size_t(kSmallRowLength * kSmallRows) || len == size_t(kSmallBlankLength));
    ASSERT_GE(glyph[0], '0');
    ASSERT_LE(glyph[0], '8');
    // Only the underscore, and its copy in the second bank, carries a 7.
    EXPECT_EQ(glyph[1], code == '_' || code == '_' - 32 + 128 ? '7' : '8');
    EXPECT_EQ(std::string(glyph + 2, 6), "000000");
    EXPECT_TRUE(only_bits(glyph + 2));
    // The short form is the blank one: header "28" and no ink.
    if (len == size_t(kSmallBlankLength)) {
      EXPECT_EQ(glyph[0], '2');
      EXPECT_EQ(small_rows(glyph).top, -1);
    }
  }
}

TEST(SmallFont, WidthsFollowTheWidthTable) {
  for (int32_t code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    const int32_t width = kSmallFont[code][0] - '0';
    const int32_t designed = designed_small_width(code);
    if (designed < 0) {
      // The apostrophe and the backslash are not in the table; any sane width will do.
      EXPECT_TRUE(code == '\'' || code == '\\');
      EXPECT_GE(width, 1);
      EXPECT_LE(width, 7);
    } else {
      EXPECT_EQ(width, designed);
    }
  }
}

TEST(SmallFont, InkStaysInsideTheGlyphWidthAndAboveRowTen) {
  for (int32_t code = 0; code < kSmallFontEntries; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kSmallFont[code];
    const int32_t width = glyph[0] - '0';
    const int32_t rows = int32_t(std::strlen(glyph)) / kSmallRowLength;
    for (int32_t r = 1; r < rows; ++r) {
      for (int32_t c = width; c < kSmallRowLength; ++c) EXPECT_FALSE(small_ink(glyph, r, c));
    }
    // Row 10 is never drawn; only the tail of "y" may reach it.
    if (rows == kSmallRows && code != 'y') {
      for (int32_t c = 0; c < kSmallRowLength; ++c) EXPECT_FALSE(small_ink(glyph, 10, c));
    }
  }
}

TEST(SmallFont, PrintableCodesHaveGlyphsAndTheRestAreBlank) {
  for (int32_t code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    const bool has_glyph = (code >= 33 && code <= 95) || (code >= 97 && code <= 122);
    EXPECT_EQ(small_rows(kSmallFont[code]).top >= 0, has_glyph);
    if (!has_glyph) {
      EXPECT_EQ(kSmallFont[code][0], '2');
    }
  }
}

TEST(SmallFont, CapitalsDigitsAndLowerCaseSitOnTheirRows) {
  // Capitals and digits fill rows 3 to 7 exactly.
  for (char ch : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    SCOPED_TRACE(ch);
    const RowSpan s = small_rows(kSmallFont[int32_t(ch)]);
    EXPECT_EQ(s.top, 3);
    EXPECT_EQ(s.bottom, 7);
  }
  // Letters without ascender or descender fill rows 5 to 7.
  for (char ch : std::string("acemnorsuvwxz")) {
    SCOPED_TRACE(ch);
    const RowSpan s = small_rows(kSmallFont[int32_t(ch)]);
    EXPECT_EQ(s.top, 5);
    EXPECT_EQ(s.bottom, 7);
  }
  // Ascenders rise above row 5 but stand on the baseline.
  for (char ch : std::string("bdfhiklt")) {
    SCOPED_TRACE(ch);
    const RowSpan s = small_rows(kSmallFont[int32_t(ch)]);
    EXPECT_GE(s.top, 3);
    EXPECT_LT(s.top, 5);
    EXPECT_EQ(s.bottom, 7);
  }
  // Descenders: j, p, q to row 8, g to row 9, y to row 10.
  for (char ch : std::string("jpqgy")) {
    SCOPED_TRACE(ch);
    const RowSpan s = small_rows(kSmallFont[int32_t(ch)]);
    EXPECT_EQ(s.bottom, ch == 'g' ? 9 : ch == 'y' ? 10 : 8);
    EXPECT_GE(s.top, ch == 'j' ? 3 : 5);
  }
}

TEST(SmallFont, CapitalAMatchesTheDesignExample) {
  const char* expected =
      "38000000"
      "00000000"
      "00000000"
      "01000000"
      "10100000"
      "11100000"
      "10100000"
      "10100000"
      "00000000"
      "00000000"
      "00000000";
  EXPECT_STREQ(kSmallFont[int32_t('A')], expected);
}

TEST(SmallFont, SecondBankHoldsCopiesOrBlanks) {
  int32_t copies = 0;
  for (int32_t code = 128; code < kSmallFontEntries; ++code) {
    const int32_t source = code - 128 + 32;
    if (source <= 126 && std::strcmp(kSmallFont[code], kSmallFont[source]) == 0) ++copies;
  }
  EXPECT_GT(copies, 80);  // mostly copies of 32-126
}

TEST(LargeFont, EveryEntryHasTheDesignedFormat) {
  for (int32_t code = 0; code < kLargeFontEntries; ++code) {
    SCOPED_TRACE(code);
    const char* glyph = kLargeFont[code];
    ASSERT_NE(glyph, nullptr);
    if (code == 142) {
      // The one Small-format entry.
      EXPECT_EQ(std::strlen(glyph), size_t(kSmallRowLength * kSmallRows));
      EXPECT_TRUE(glyph[0] >= '1' && glyph[0] <= '8');
      EXPECT_EQ(glyph[1], '8');
      EXPECT_TRUE(only_bits(glyph + 2));
      continue;
    }
    EXPECT_EQ(std::strlen(glyph), size_t(kLargeRowLength * kLargeRows));
    EXPECT_TRUE(only_bits(glyph));
    // Nothing in row 0 or in columns 8 and 9.
    for (int32_t c = 0; c < kLargeRowLength; ++c) EXPECT_FALSE(large_ink(glyph, 0, c));
    for (int32_t r = 0; r < kLargeRows; ++r) {
      EXPECT_FALSE(large_ink(glyph, r, 8));
      EXPECT_FALSE(large_ink(glyph, r, 9));
    }
    const bool has_glyph = code >= 33 && code <= 126;
    EXPECT_EQ(large_rows(glyph).top >= 0, has_glyph);
  }
}

TEST(LargeFont, CapitalsAndDigitsFillRowsTwoToTenWithinSevenColumns) {
  for (char ch : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    SCOPED_TRACE(ch);
    const char* glyph = kLargeFont[int32_t(ch)];
    const RowSpan s = large_rows(glyph);
    EXPECT_EQ(s.top, 2);
    EXPECT_EQ(s.bottom, 10);
    for (int32_t r = 0; r < kLargeRows; ++r) EXPECT_FALSE(large_ink(glyph, r, 7));
  }
}

TEST(LargeFont, LowerCaseSharesABaselineAndDescendersReachRowTwelve) {
  for (char ch = 'a'; ch <= 'z'; ++ch) {
    SCOPED_TRACE(ch);
    const RowSpan s = large_rows(kLargeFont[int32_t(ch)]);
    const bool descender = std::string("gjpqy").find(ch) != std::string::npos;
    EXPECT_EQ(s.bottom, descender ? 12 : 10);
    EXPECT_GE(s.top, 2);
    if (std::string("acemnorsuvwxz").find(ch) != std::string::npos) {
      EXPECT_EQ(s.top, 5);
    }
  }
}

TEST(LargeFont, UnderscoreFillsRowElevenAndNothingElse) {
  const char* glyph = kLargeFont[int32_t('_')];
  for (int32_t r = 0; r < kLargeRows; ++r) {
    for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(large_ink(glyph, r, c), r == 11) << r << "," << c;
  }
}

TEST(LargeFont, CapitalAMatchesTheDesignExample) {
  const char* expected =
      "0000000000"
      "0000000000"
      "0011000000"
      "0111100000"
      "1100110000"
      "1100110000"
      "1100110000"
      "1111110000"
      "1100110000"
      "1100110000"
      "1100110000"
      "0000000000"
      "0000000000";
  EXPECT_STREQ(kLargeFont[int32_t('A')], expected);
}

}  // namespace
