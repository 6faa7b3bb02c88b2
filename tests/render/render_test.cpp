// The fonts' glyph tables, the pixel primitives, lines, the cursor and text.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/fonts.h"
#include "render/framebuffer.h"
#include "render/line.h"
#include "render/present.h"
#include "render/text.h"
#include "support/null_display.h"

namespace {

using Pixels = std::set<std::pair<int32_t, int32_t>>;

// Every written pixel (alpha set); one of another colour than `ink` shows as (-1, -1).
Pixels lit(const Framebuffer& fb, Rgba ink) {
  Pixels out;
  for (int32_t y = 0; y < fb.height; ++y)
    for (int32_t x = 0; x < fb.width; ++x)
      if (const Rgba p = pixel_at(fb, x, y); p.a != 0)
        out.insert(p == ink ? std::pair{x, y} : std::pair{-1, -1});
  return out;
}

constexpr Rgba kWhite{255, 255, 255, 255}, kInk{200, 100, 50, 255};

TEST(Framebuffer, PixelsClipAndLieRowsBottomFirstAndClearingLeavesTheSecondaryLayer) {
  Framebuffer fb;
  set_resolution(fb, 64, 48);
  put_pixel(fb, 3, 2, 1, 1, 1), put_secondary_pixel(fb, 5, 5, 1, 1, 1);
  set_resolution(fb, 32, 24);  // both layers start black again at the new size
  const std::vector<uint8_t> black(32 * 24 * 4, 0);
  EXPECT_TRUE(fb.pixels == black && fb.secondary == black);
  for (auto [x, y] : {std::pair{32, 5}, {5, 24}, {-1, 5}, {5, -1}, {3, 2}, {31, 23}})
    put_pixel(fb, x, y, 7, 8, 9), put_secondary_pixel(fb, x, y, 7, 8, 9);
  // Only the two inside, as R G B A, rows one after another from the bottom one.
  std::vector<uint8_t> want = black;
  for (size_t at : {(2 * 32 + 3) * 4, (23 * 32 + 31) * 4})
    for (size_t i = 0; i < 4; ++i) want[at + i] = uint8_t(i < 3 ? 7 + i : 255);
  EXPECT_TRUE(fb.pixels == want && fb.secondary == want);
  clear_pixels(fb);
  EXPECT_TRUE(fb.pixels == black && fb.secondary == want);
}

Pixels line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  Framebuffer fb;
  set_resolution(fb, 64, 48);
  draw_line(fb, x0, y0, x1, y1, kInk.r, kInk.g, kInk.b);
  return lit(fb, kInk);
}

// The walk written plainly, step by step, clipped to 64 x 48. Only for short lines.
Pixels walked_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const bool by_x = std::abs(x1 - x0) > std::abs(y1 - y0);
  int32_t a = by_x ? x0 : y0, b = by_x ? y0 : x0;  // major and minor coordinate
  const int32_t a1 = by_x ? x1 : y1, b1 = by_x ? y1 : x1;
  const int32_t da = std::abs(a1 - a), db = std::abs(b1 - b);
  Pixels out;
  for (int32_t i = 0, e = db;; ++i) {
    const int32_t x = by_x ? a : b, y = by_x ? b : a;
    if (x >= 0 && y >= 0 && x < 64 && y < 48) out.insert({x, y});
    if (i == da) return out;
    e += db;
    if (e > da) e -= da, b += b1 > b ? 1 : -1;
    a += a1 > a ? 1 : -1;
  }
}

// The walk is not symmetric: from either end the minor step comes last.
TEST(Line, MatchesTheStepByStepWalkOnRandomLines) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int32_t> coord(-120, 180);
  for (int32_t i = 0; i < 20000; ++i) {
    const int32_t x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    ASSERT_EQ(line(x0, y0, x1, y1), walked_line(x0, y0, x1, y1))
        << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

TEST(Line, EndsAnywhereInTheCoordinateRangeAreSafe) {
  // Differences overflow 32 bits. Lines across the whole range are halfway along in the
  // picture: there the late minor step leaves 47 / 2 at 23 and 63 / 2 at 31.
  EXPECT_EQ(line(INT_MAX, 3, INT_MIN, 3), walked_line(0, 3, 63, 3));
  EXPECT_EQ(line(5, INT_MIN, 5, INT_MAX), walked_line(5, 0, 5, 47));
  EXPECT_EQ(line(INT_MIN, INT_MIN, INT_MAX, INT_MAX), walked_line(0, 0, 47, 47));
  EXPECT_EQ(line(INT_MIN, 0, INT_MAX, 47), walked_line(0, 23, 63, 23));
  EXPECT_EQ(line(0, INT_MIN, 63, INT_MAX), walked_line(31, 0, 31, 47));
  EXPECT_TRUE(line(INT_MIN, INT_MIN, INT_MIN, INT_MAX).empty());
  EXPECT_TRUE(line(INT_MAX, INT_MAX, INT_MIN, INT_MAX).empty());
}

TEST(Cursor, FourWhiteArmsOfFiveAroundThePointerClippedAtTheEdges) {
  // Just outside, an arm still reaches in; far outside, nothing and no overflow.
  // clang-format off
  for (auto [px, py] : {std::pair{20, 15}, {0, 0}, {39, 29}, {-5, 10}, {42, 10}, {20, 33}, {-6, 10},
                        {45, 10}, {10, 35}, {INT_MIN, 10}, {10, INT_MAX}, {INT_MAX, INT_MAX}}) {
    // clang-format on
    Framebuffer fb;
    set_resolution(fb, 40, 30);
    draw_cursor(fb, px, py);
    Pixels cross;
    for (int64_t d = -5; d <= 5; ++d)
      for (auto [x, y] : {std::pair{px + d, int64_t(py)}, std::pair{int64_t(px), py + d}})
        if (x >= 0 && x < 40 && y >= 0 && y < 30) cross.insert({int32_t(x), int32_t(y)});
    EXPECT_EQ(lit(fb, kWhite), cross) << px << "," << py;
  }
}

// First and last ink row of a glyph from row `first` on, and its rightmost ink column; -1 blank.
struct Ink {
  int32_t top = -1, bottom = -1, right = -1;
};
Ink ink_of(const char* glyph, int32_t row_length, int32_t first) {
  Ink k;
  for (int32_t i = first * row_length; glyph[i] != '\0'; ++i)
    if (glyph[i] == '1') {
      k.top = k.top < 0 ? i / row_length : k.top;
      k.bottom = i / row_length, k.right = std::max(k.right, i % row_length);
    }
  return k;
}
Ink small_ink(int32_t code) { return ink_of(kSmallFont[code], kSmallRowLength, 1); }
Ink large_ink(int32_t code) { return ink_of(kLargeFont[code], kLargeRowLength, 0); }

// Only codes 0-127 are reachable: higher bytes are negative as signed chars.
TEST(Fonts, EveryReachableGlyphIsWellFormedAsWideAsItsInkAndInkedOnlyWhereDrawn) {
  for (int32_t code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    const char *small = kSmallFont[code], *large = kLargeFont[code];
    const size_t n = std::strlen(small);  // the blank glyph stops after row 9
    ASSERT_TRUE((n == size_t(kSmallBlankLength) || n == size_t(kSmallRowLength * kSmallRows)) &&
                std::strlen(large) == size_t(kLargeRowLength * kLargeRows));
    EXPECT_TRUE(std::strspn(small + 2, "01") == n - 2 &&
                std::strspn(large, "01") == std::strlen(large));
    const Ink s = small_ink(code), l = large_ink(code);
    EXPECT_EQ(s.top >= 0, (code >= 33 && code <= 95) || (code >= 97 && code <= 122));
    EXPECT_EQ(l.top >= 0, code >= 33 && code <= 126);
    // "!" and "." keep a blank column; glyphs without ink are 2 wide.
    EXPECT_EQ(small[0] - '0', s.top < 0 ? 2 : s.right + 1 + (code == '!' || code == '.'));
    // Row 10 of a small glyph is never drawn (only the tail of "y" sits there), nor row 0
    // and columns 8 and 9 of a large one.
    EXPECT_TRUE((s.bottom < 10 || code == 'y') && l.top != 0 && l.right < 8);
  }
}

// The highest ink row of each font within [lo, hi], the lowest on `bottom`; the large
// capitals and digits are also only seven columns wide.
TEST(Fonts, CapitalsDigitsAndLowerCaseSitOnTheirRows) {
  // The characters; small lo, hi, bottom; large lo, hi, bottom and rightmost column.
  const std::tuple<const char*, int, int, int, int, int, int, int> rows[] = {
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 3, 3, 7, 2, 2, 10, 6},
      {"acemnorsuvwxz", 5, 5, 7, 5, 5, 10, 7},  // neither ascender nor descender
      {"bdfhiklt", 3, 4, 7, 2, 12, 10, 7},      // ascenders stand on the baseline
      {"pq", 5, 9, 8, 2, 12, 12, 7},            // descenders
      {"j", 3, 9, 8, 2, 12, 12, 7},
      {"g", 5, 9, 9, 2, 12, 12, 7},
      {"y", 5, 9, 10, 2, 12, 12, 7},
  };
  for (auto [chars, s_lo, s_hi, s_bottom, l_lo, l_hi, l_bottom, l_right] : rows)
    for (const char* ch = chars; *ch != '\0'; ++ch) {
      const Ink s = small_ink(*ch), l = large_ink(*ch);
      EXPECT_TRUE(s.top >= s_lo && s.top <= s_hi && s.bottom == s_bottom)
          << "small " << *ch << ": rows " << s.top << "-" << s.bottom;
      EXPECT_TRUE(l.top >= l_lo && l.top <= l_hi && l.bottom == l_bottom && l.right <= l_right)
          << "large " << *ch << ": rows " << l.top << "-" << l.bottom << ", right " << l.right;
    }
}

Pixels draw(bool large, const std::string& s, int32_t x, int32_t y, int32_t w, int32_t h) {
  Framebuffer fb;
  set_resolution(fb, w, h);
  TextBuffer t;
  text_print(t, "%s", s.c_str());
  (large ? draw_large_text : draw_small_text)(fb, t, x, y, kInk.r, kInk.g, kInk.b);
  return lit(fb, kInk);
}

// The text as the glyph tables ink it, written plainly: small glyphs draw rows 1-9 of their
// width at y - row + 2 and advance the width and one, large ones rows 1-12 and columns 0-7
// at y - row and advance 8; a byte without a glyph (above 127) takes a space's place.
Pixels inked(bool large, const std::string& s, int64_t x, int64_t y, int32_t w, int32_t h) {
  Pixels out;
  for (const unsigned char ch : s) {
    const char* g = (large ? kLargeFont : kSmallFont)[ch < 128 ? ch : ' '];
    const int32_t width = large ? 8 : g[0] - '0', length = large ? kLargeRowLength : 8;
    for (int32_t row = 1; row <= (large ? 12 : 9); ++row)
      for (int32_t c = 0; c < width; ++c) {
        const int64_t px = x + c, py = large ? y - row : y - row + 2;
        if (g[row * length + c] == '1' && px >= 0 && px < w && py >= 0 && py < h)
          out.insert({int32_t(px), int32_t(py)});
      }
    x += large ? 8 : width + 1;
  }
  return out;
}

TEST(TextBuffer, PrintIsCutAt255CharactersAndDrawingStopsAtTheBuffersEnd) {
  TextBuffer t;
  text_print(t, "%s", std::string(300, 'W').c_str());
  EXPECT_EQ(std::string(t.s), std::string(255, 'W'));
  // Filled without a terminator, more text after it: drawing stops after 256 characters.
  struct {
    TextBuffer t;
    char more[64];
  } filled;
  std::memset(static_cast<void*>(&filled), 'l', sizeof filled);
  for (bool large : {false, true}) {
    Framebuffer fb;
    set_resolution(fb, 2100, 20);
    (large ? draw_large_text : draw_small_text)(fb, filled.t, 0, 15, 255, 255, 255);
    // The 256th "l" starts 255 pen steps on: 8 pixels each in the large font, 2 in the small.
    const int32_t rightmost = lit(fb, kWhite).rbegin()->first, step = large ? 8 : 2;
    EXPECT_TRUE(rightmost >= 255 * step && rightmost < 256 * step) << large << ": " << rightmost;
  }
}

TEST(TextDrawing, MatchesTheGlyphsInkForAnyTextAnywhereClippedPixelByPixel) {
  std::mt19937 rng(20240612);
  for (int32_t i = 0; i < 4000; ++i) {
    std::string s(rng() % 40, ' ');
    for (char& ch : s) ch = char(rng() % 4 ? 32 + rng() % 95 : 1 + rng() % 255);  // some not ASCII
    const bool large = i % 2;
    const int32_t x = int32_t(rng() % 240) - 120, y = int32_t(rng() % 64) - 20;
    ASSERT_EQ(draw(large, s, x, y, 100, 24), inked(large, s, x, y, 100, 24))
        << large << " '" << s << "' at " << x << "," << y;
  }
  // Up to the ends of the coordinate range: no overflow.
  const std::string s = "SX=512,SY=498 gjpqy_$@|";
  for (bool large : {false, true})
    // clang-format off
    for (auto [x, y] : {std::pair{INT_MIN, 10}, {INT_MIN + 5, 10}, {INT_MAX - 10, 10},
                        {INT_MAX, 10}, {10, INT_MIN}, {10, INT_MAX}, {-3, 5}})
      // clang-format on
      EXPECT_EQ(draw(large, s, x, y, 100, 16), inked(large, s, x, y, 100, 16)) << x << "," << y;
}

// Window pixels in memory, as a window surface gives them.
struct MemoryDisplay : NullDisplay {
  std::vector<uint8_t> bytes;
  FrameTarget target;
  bool repaint = false;
  bool frame_target(FrameTarget* t) override { return *t = target, true; }
  bool take_repaint() override { return std::exchange(repaint, false); }
};

// Window size, scale limit, bytes past each row, channel shifts, alpha; the scale that shows.
TEST(Present, EachPixelFillsItsBlockFromTheTopRowDownCentredOnBlackInTheWindowsLayout) {
  // clang-format off
  const struct { int32_t w, h, max_scale, pad; uint8_t rs, gs, bs; uint32_t alpha; int32_t scale; }
  cases[] = {{14, 10, 2, 0, 16, 8, 0, 0, 2}, {7, 5, 4, 8, 0, 8, 16, 0xff000000u, 1},
             {23, 16, 9, 4, 24, 16, 8, 0xff, 3}, {30, 19, 2, 0, 16, 8, 0, 0, 2}};  // clang-format on
  Framebuffer fb;
  set_resolution(fb, 7, 5);
  std::mt19937 rng(5);
  for (uint8_t& b : fb.pixels) b = uint8_t(rng());
  for (const auto& c : cases) {
    MemoryDisplay d;
    const int32_t pitch = c.w * 4 + c.pad, pw = 7 * c.scale, ph = 5 * c.scale;
    const int32_t left = (c.w - pw) / 2, top = (c.h - ph) / 2;
    d.bytes.resize(size_t(pitch * c.h));
    d.target = {d.bytes.data(), pitch, c.w, c.h, c.rs, c.gs, c.bs, c.alpha};
    PresentState st;
    ASSERT_TRUE(present(fb, c.max_scale, d, st));
    for (int32_t y = 0, py = -top; y < c.h; ++y, ++py)
      for (int32_t x = 0, px = -left; x < c.w; ++x, ++px) {
        const Rgba p = pixel_at(fb, px / c.scale, 4 - py / c.scale);
        uint32_t got, want = c.alpha;
        if (px >= 0 && px < pw && py >= 0 && py < ph)
          want |= uint32_t(p.r) << c.rs | uint32_t(p.g) << c.gs | uint32_t(p.b) << c.bs;
        std::memcpy(&got, &d.bytes[size_t(y * pitch + x * 4)], 4);
        ASSERT_EQ(got, want) << c.w << "x" << c.h << " at " << x << "," << y;
      }
  }
}

TEST(Present, OnlyANewPictureOrARepaintIsSent) {
  // clang-format off
  const struct { const char* what; bool change, repaint, shown; } steps[] = {
      {"the first picture", 0, 0, 1}, {"the same again", 0, 0, 0}, {"its last byte changed", 1, 0, 1},
      {"the same, window exposed", 0, 1, 1}, {"the same after that", 0, 0, 0}};
  // clang-format on
  Framebuffer fb;
  set_resolution(fb, 4, 3);
  MemoryDisplay d;
  d.bytes.resize(8 * 6 * 4), d.target = {d.bytes.data(), 8 * 4, 8, 6};
  PresentState st;
  for (int64_t i = 0; const auto& s : steps) {
    if (s.change) fb.pixels.back() ^= 1;
    d.repaint = s.repaint;
    EXPECT_EQ(present(fb, 2, d, st), s.shown) << s.what;
    EXPECT_EQ(st.count + st.skipped, ++i) << s.what;
  }
}

}  // namespace
