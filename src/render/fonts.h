#pragma once
// The two compiled-in bitmap fonts. A glyph is a string of '0' (background) and
// '1' (ink) read row by row: row r, column c is character r * row length + c.
#include <cstdint>

// Small font: proportional, 8 columns x 11 rows. Row 0 is a header whose first
// character is the width digit; rows 1-9 are drawn. The shared blank glyph
// stops after row 9, so it is 80 characters instead of 88.
constexpr int32_t kSmallFontEntries = 271;  // codes 0-127, then a second bank to 270
constexpr int32_t kSmallRowLength = 8;      // characters per row
constexpr int32_t kSmallRows = 11;
constexpr int32_t kSmallBlankLength = 80;
extern const char* const kSmallFont[kSmallFontEntries];

// Large font: fixed pitch 8, 10 columns x 13 rows, no header; rows 1-12 and
// columns 0-7 are drawn.
constexpr int32_t kLargeFontEntries = 143;  // 32-126 have glyphs; 142 is in the Small format
constexpr int32_t kLargeRowLength = 10;     // characters per row
constexpr int32_t kLargeRows = 13;
extern const char* const kLargeFont[kLargeFontEntries];
