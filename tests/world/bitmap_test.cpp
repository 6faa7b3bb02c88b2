#include "world/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"

namespace {

// Vectors are sized exactly, so a read past a file's end is caught by the sanitizer.
using Bytes = std::vector<uint8_t>;

struct Rgb {
  uint8_t r, g, b;
};

// A picture whose every pixel differs from its neighbours; row 0 is the bottom.
Rgb colour_at(uint32_t col, uint32_t row) {
  return {uint8_t(col * 13 + 1), uint8_t(row * 29 + 2), uint8_t((col ^ row) * 7 + 3)};
}

struct BmpShape {
  int32_t width = 16;
  int32_t height = 16;  // negative: written top row first
  uint32_t info_size = 40;
  uint32_t gap = 0;  // junk bytes between header and pixels
};

void put32(Bytes& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 24-bit BMP as a paint program writes it: BGR, rows padded to 4 bytes with junk.
Bytes make_bmp(const BmpShape& s) {
  const uint32_t w = uint32_t(s.width), h = uint32_t(std::abs(s.height));
  const uint32_t row = (w * 3 + 3) / 4 * 4, offset = 14 + s.info_size + s.gap;
  Bytes b(offset + size_t(row) * h, 0xEE);
  std::fill_n(b.begin(), 14 + s.info_size, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, uint32_t(b.size()));
  put32(b, 10, offset);
  put32(b, 14, s.info_size);
  put32(b, 18, w);
  put32(b, 22, uint32_t(s.height));
  b[26] = 1;   // planes
  b[28] = 24;  // bits; compression stays 0
  for (uint32_t stored = 0; stored < h; ++stored)
    for (uint32_t c = 0; c < w; ++c) {
      const Rgb p = colour_at(c, s.height < 0 ? h - 1 - stored : stored);
      uint8_t* at = &b[offset + size_t(stored) * row + c * 3];
      at[0] = p.b, at[1] = p.g, at[2] = p.r;
    }
  return b;
}

bool load(BitmapStore& s, int32_t slot, const Bytes& b) {
  return load_bitmap_from_memory(s, slot, b.data(), b.size());
}

// The slot holds exactly the w x h picture of colour_at, bottom row first, as R G B.
bool holds_picture(const BitmapStore& s, int32_t slot, uint32_t w, uint32_t h) {
  const Bitmap& b = s.slots[slot];
  if (!b.pixels || b.width != w || b.height != h || b.bytes_per_pixel != 3) return false;
  for (uint32_t i = 0; i < w * h; ++i) {
    const Rgb e = colour_at(i % w, i / w);
    const uint8_t* p = &b.pixels[size_t(i) * 3];
    if (p[0] != e.r || p[1] != e.g || p[2] != e.b) return false;
  }
  return true;
}

struct BitmapLoad : ::testing::Test {
  void SetUp() override { create_bitmap_store(store); }
  void TearDown() override { release_bitmap_store(store); }

  // Puts a known 2 x 3 picture in the slot so we can see whether a failed load touched it.
  const uint8_t* preload(int32_t slot) {
    EXPECT_TRUE(load(store, slot, make_bmp({.width = 2, .height = 3})));
    return store.slots[slot].pixels.get();
  }
  void expect_untouched(int32_t slot, const uint8_t* before) {
    EXPECT_EQ(store.slots[slot].pixels.get(), before);
    EXPECT_TRUE(holds_picture(store, slot, 2, 3));
  }
  // Short pixel data: no pixels, but the size the header gave.
  void expect_emptied(int32_t slot, uint32_t w, uint32_t h) {
    const Bitmap& b = store.slots[slot];
    EXPECT_FALSE(slot_loaded(store, slot));
    EXPECT_TRUE(b.width == w && b.height == h && b.bytes_per_pixel == 3)
        << b.width << "x" << b.height;
  }
  BitmapStore store;
};

TEST_F(BitmapLoad, GoodFilesLoadAsTheirPictureBottomRowFirst) {
  // The writer itself: the file's first pixel is the picture's bottom-left one,
  // blue first, right after the 54-byte header.
  const Bytes plain = make_bmp({});
  ASSERT_EQ(plain.size(), 54u + 768u);
  ASSERT_TRUE(plain[54] == colour_at(0, 0).b && plain[56] == colour_at(0, 0).r);
  std::vector<BmpShape> good = {{}, {.width = 5, .height = 3}};
  for (int32_t w = 1; w <= 8; ++w) good.push_back({.width = w, .height = 2});  // every padding
  good.push_back({.width = 7, .height = -4});    // top-down: stored top row first
  good.push_back({.info_size = 124});            // a V5 header puts the pixels at 138
  good.push_back({.gap = 37});                   // junk between header and pixels
  good.push_back({.width = 4096, .height = 1});  // the largest sides
  good.push_back({.width = 1, .height = -4096});
  // One slot throughout: each load replaces the picture before it.
  for (const BmpShape& g : good) {
    SCOPED_TRACE(::testing::Message() << g.width << "x" << g.height << " info " << g.info_size);
    ASSERT_TRUE(load(store, 600, make_bmp(g)));
    EXPECT_TRUE(holds_picture(store, 600, uint32_t(g.width), uint32_t(std::abs(g.height))));
  }
  EXPECT_FALSE(slot_loaded(store, 601));
}

TEST_F(BitmapLoad, BadHeadersFailAndLeaveTheSlot) {
  // 32-bit little-endian values written over a good 16 x 16 file.
  const std::pair<size_t, uint32_t> patches[] = {
      {28, 32}, {28, 8},                    // bits per pixel (compression stays 0)
      {30, 1},  {30, 2}, {30, 3}, {30, 4},  // run-length and bit-field files say 24 bits too
      {14, 12},                             // an OS/2 core header puts its fields elsewhere
      {18, 0},  {22, 0}, {18, 4097}, {22, 4097}, {18, 65536},
      {22, 0xFFFFEFFFu},                      // height -4097
      {18, 0xFFFFFFFFu},                      // width -1
      {18, 0x80000000u}, {22, 0x80000000u},  // the most negative 32-bit value
      {10, 0},  {10, 14}, {10, 53},          // pixels inside the header: the header is lying
  };
  const Bytes plain = make_bmp({});
  std::vector<Bytes> bad;
  for (auto [at, v] : patches) {
    bad.push_back(plain);
    put32(bad.back(), at, v);
  }
  bad.push_back(plain);
  bad.back()[1] = 'A';
  const uint8_t* before = preload(5);
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_FALSE(load(store, 5, bad[i])) << "case " << i;
    expect_untouched(5, before);
  }
  EXPECT_FALSE(load_bitmap_from_memory(store, 5, nullptr, 0));
  expect_untouched(5, before);
}

TEST_F(BitmapLoad, EveryCutEitherLoadsWholeOrKeepsOnlyWhatTheHeaderSaid) {
  const Bytes file = make_bmp({.width = 5, .height = 3});
  // All pixel bytes end 1 byte before the file does: the last row's filler.
  const size_t needed = 54 + 2 * 16 + 15;
  for (size_t n = 0; n <= file.size(); ++n) {
    SCOPED_TRACE(n);
    const uint8_t* before = preload(30);
    const bool ok = load(store, 30, Bytes(file.begin(), file.begin() + long(n)));
    EXPECT_EQ(ok, n >= needed);
    if (n < 54) expect_untouched(30, before);  // the header itself is cut
    else if (ok) EXPECT_TRUE(holds_picture(store, 30, 5, 3));
    else expect_emptied(30, 5, 3);
  }
  // Pixels promised past the end of the file, or only partly inside it.
  for (uint32_t off : {900u, 0x7FFFFFFFu, 0xFFFFFFFFu, 54u + 3}) {
    Bytes moved = make_bmp({});
    put32(moved, 10, off);
    preload(8);
    EXPECT_FALSE(load(store, 8, moved)) << off;
    expect_emptied(8, 16, 16);
  }
}

TEST_F(BitmapLoad, SlotNumbersOutsideTheStoreFail) {
  const Bytes file = make_bmp({});
  EXPECT_FALSE(load(store, -1, file));
  EXPECT_FALSE(load(store, kBitmapSlots, file));
  EXPECT_TRUE(load(store, kBitmapSlots - 1, file));
  BitmapStore none;
  EXPECT_FALSE(load(none, 0, file));
}

TEST_F(BitmapLoad, FilesAreOnlyReadAndNeverCreated) {
  ScratchDir dir;
  const Bytes good = make_bmp({});
  const std::string text(good.begin(), good.end()), path = dir / "plain.bmp";
  write_file(path, text);
  ASSERT_TRUE(load_bitmap(store, path.c_str(), 10));
  EXPECT_TRUE(holds_picture(store, 10, 16, 16));
  EXPECT_EQ(read_file(path), text);
  // A folder where a picture should be, no path, a missing file, a missing folder.
  std::filesystem::create_directory(dir / "folder.bmp");
  const uint8_t* before = preload(3);
  for (const std::string& p :
       {dir / "folder.bmp", dir / "missing.bmp", dir / "bmp_land/plain.bmp"}) {
    EXPECT_FALSE(load_bitmap(store, p.c_str(), 3)) << p;
    expect_untouched(3, before);
  }
  EXPECT_FALSE(load_bitmap(store, nullptr, 3));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.bmp"));
  EXPECT_FALSE(std::filesystem::exists(dir / "bmp_land"));
}

}  // namespace
