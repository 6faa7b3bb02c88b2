#include "world/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/harness.h"

namespace {

// Vectors are sized exactly, so a read past a file's end is caught by the sanitizer.
using Bytes = std::vector<uint8_t>;

// Channel ch (R, G, B) of a picture whose every pixel differs from its neighbours.
uint8_t colour_at(uint32_t col, uint32_t row, uint32_t ch) {
  return uint8_t(ch == 0 ? col * 13 + 1 : ch == 1 ? row * 29 + 2 : (col ^ row) * 7 + 3);
}

void put32(Bytes& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 24-bit BMP as a paint program writes it: BGR, rows padded to 4 bytes with junk.
// A negative height stores the top row first.
Bytes make_bmp(int32_t width = 16, int32_t height = 16, uint32_t info_size = 40) {
  const uint32_t w = uint32_t(width), h = uint32_t(std::abs(height));
  const uint32_t row = (w * 3 + 3) / 4 * 4, offset = 14 + info_size;
  Bytes b(offset + size_t(row) * h, 0xEE);
  std::fill_n(b.begin(), offset, 0);
  b[0] = 'B', b[1] = 'M';
  // clang-format off
  for (auto [at, v] : {std::pair{2u, uint32_t(b.size())}, {10u, offset}, {14u, info_size},
                       {18u, w}, {22u, uint32_t(height)}})
    // clang-format on
    put32(b, at, v);
  b[26] = 1, b[28] = 24;  // planes, bits; compression stays 0
  for (uint32_t stored = 0; stored < h; ++stored)
    for (uint32_t i = 0; i < w * 3; ++i)
      b[offset + size_t(stored) * row + i] =
          colour_at(i / 3, height < 0 ? h - 1 - stored : stored, 2 - i % 3);
  return b;
}

bool load(BitmapStore& s, int32_t slot, const Bytes& b) {
  return load_bitmap_from_memory(s, slot, b.data(), b.size());
}

// Width x height x bytes per pixel, then "picture" when the slot holds the picture of
// colour_at, bottom row first, as R G B, or "empty" when it holds no pixels.
std::string held(const BitmapStore& s, int32_t slot) {
  const Bitmap& b = s.slots[slot];
  const std::string out = std::to_string(b.width) + "x" + std::to_string(b.height) + "x" +
                          std::to_string(b.bytes_per_pixel) + " ";
  if (!b.pixels) return out + "empty";
  for (uint32_t i = 0; i < b.width * b.height * 3; ++i)
    if (b.pixels[i] != colour_at(i / 3 % b.width, i / 3 / b.width, i % 3)) return out + "other";
  return out + "picture";
}

struct BitmapLoad : ::testing::Test {
  void SetUp() override { create_bitmap_store(store); }
  void TearDown() override { release_bitmap_store(store); }
  // A known 2 x 3 picture, to see whether a failed load touched the slot.
  void preload(int32_t slot) { ASSERT_TRUE(load(store, slot, make_bmp(2, 3))); }
  BitmapStore store;
};

TEST_F(BitmapLoad, GoodFilesLoadAsTheirPictureBottomRowFirst) {
  // The writer itself: the bottom-left pixel, blue first, right after the 54-byte header.
  const Bytes plain = make_bmp();
  ASSERT_TRUE(plain.size() == 54 + 768 && plain[54] == colour_at(0, 0, 2));
  // Top-down, a V5 header (the pixels at 138), the largest sides, then every row padding.
  std::vector<std::tuple<int32_t, int32_t, uint32_t>> good = {
      {7, -4, 40}, {16, 16, 124}, {4096, 1, 40}, {1, -4096, 40}};
  for (int32_t w = 1; w <= 8; ++w) good.push_back({w, 2, 40});
  // The last slot throughout: each load replaces the picture before it.
  for (auto [w, h, info] : good) {
    ASSERT_TRUE(load(store, kBitmapSlots - 1, make_bmp(w, h, info))) << w << "x" << h;
    EXPECT_EQ(held(store, kBitmapSlots - 1),
              std::to_string(w) + "x" + std::to_string(std::abs(h)) + "x3 picture");
  }
}

TEST_F(BitmapLoad, BadHeadersAndSlotsFailAndLeaveTheSlot) {
  // 32-bit little-endian values written over a good 16 x 16 file.
  // clang-format off
  const std::pair<size_t, uint32_t> patches[] = {
      {0, 0x4142},  {28, 32}, {28, 8},      // "BA"; bits per pixel (compression stays 0)
      {30, 1},      {30, 2},  {30, 3}, {30, 4},  // run-length and bit-field files say 24 bits too
      {14, 12},                                  // an OS/2 core header puts its fields elsewhere
      {18, 0},      {22, 0},  {18, 4097}, {22, 4097}, {18, 65536}, {22, 0xFFFFEFFFu},  // -4097
      {18, 0xFFFFFFFFu}, {18, 0x80000000u}, {22, 0x80000000u},  // -1, the most negative value
      {10, 0},      {10, 14}, {10, 53},  // pixels inside the header: the header is lying
  };
  // clang-format on
  const Bytes plain = make_bmp();
  preload(5);
  for (auto [at, v] : patches) {
    Bytes bad = plain;
    put32(bad, at, v);
    EXPECT_FALSE(load(store, 5, bad)) << at << ": " << v;
  }
  EXPECT_FALSE(load_bitmap_from_memory(store, 5, nullptr, 0) || load(store, -1, plain) ||
               load(store, kBitmapSlots, plain));
  EXPECT_EQ(held(store, 5), "2x3x3 picture");
  BitmapStore none;
  EXPECT_FALSE(load(none, 0, plain));
}

TEST_F(BitmapLoad, EveryCutEitherLoadsWholeOrKeepsOnlyWhatTheHeaderSaid) {
  const Bytes file = make_bmp(5, 3);
  // All pixel bytes end 1 byte before the file does: the last row's filler.
  const size_t needed = 54 + 2 * 16 + 15;
  for (size_t n = 0; n <= file.size(); ++n) {
    SCOPED_TRACE(n);
    preload(30);
    const bool ok = load(store, 30, Bytes(file.begin(), file.begin() + long(n)));
    EXPECT_EQ(ok, n >= needed);
    // A cut header leaves the slot; short pixels keep only the size.
    EXPECT_EQ(held(store, 30), n < 54 ? "2x3x3 picture" : ok ? "5x3x3 picture" : "5x3x3 empty");
  }
  // Pixels promised past the end of the file, or only partly inside it.
  for (uint32_t off : {900u, 0x7FFFFFFFu, 0xFFFFFFFFu, 54u + 3}) {
    Bytes moved = make_bmp();
    put32(moved, 10, off);
    preload(8);
    EXPECT_FALSE(load(store, 8, moved)) << off;
    EXPECT_EQ(held(store, 8), "16x16x3 empty");
  }
}

TEST_F(BitmapLoad, FilesAreOnlyReadAndNeverCreated) {
  ScratchDir dir;
  const Bytes good = make_bmp();
  const std::string path = dir / "plain.bmp";
  write_file(path, std::string(good.begin(), good.end()));
  ASSERT_TRUE(load_bitmap(store, path.c_str(), 10));
  EXPECT_EQ(held(store, 10), "16x16x3 picture");
  // A folder where a picture should be, a missing file, no path.
  std::filesystem::create_directory(dir / "folder.bmp");
  preload(3);
  for (const std::string& p : {dir / "folder.bmp", dir / "missing.bmp"})
    EXPECT_FALSE(load_bitmap(store, p.c_str(), 3)) << p;
  EXPECT_FALSE(load_bitmap(store, nullptr, 3));
  EXPECT_EQ(held(store, 3), "2x3x3 picture");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.bmp"));
}

}  // namespace
