#include "world/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgb {
  uint8_t r, g, b;
};

// A picture whose every pixel differs from its neighbours; row 0 is the bottom.
Rgb colour_at(uint32_t col, uint32_t row) {
  return {uint8_t(col * 13 + 1), uint8_t(row * 29 + 2), uint8_t((col ^ row) * 7 + 3)};
}

struct BmpSpec {
  int32_t width = 16;
  int32_t height = 16;  // negative: written top row first
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t info_size = 40;
  uint32_t palette_bytes = 0;  // colour table between header and pixels
  int64_t offset = -1;         // -1: right after header and palette
  uint8_t filler = 0xEE;       // row padding and palette bytes
};

void put16(Bytes& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// Writes a BMP the way a paint program would: BGR, rows padded to 4 bytes.
Bytes make_bmp(const BmpSpec& s) {
  const uint32_t w = uint32_t(s.width);
  const uint32_t h = uint32_t(s.height < 0 ? -int64_t(s.height) : s.height);
  const uint32_t bytes_pp = s.bits / 8;
  const uint32_t row = (w * bytes_pp + 3) / 4 * 4;
  const uint32_t offset =
      s.offset >= 0 ? uint32_t(s.offset) : 14 + s.info_size + s.palette_bytes;
  Bytes b(size_t(std::max<uint32_t>(offset, 14 + s.info_size)) + size_t(row) * h, s.filler);
  std::fill(b.begin(), b.begin() + 14 + s.info_size, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, uint32_t(b.size()));
  put32(b, 10, offset);
  put32(b, 14, s.info_size);
  put32(b, 18, uint32_t(s.width));
  put32(b, 22, uint32_t(s.height));
  put16(b, 26, 1);
  put16(b, 28, s.bits);
  put32(b, 30, s.compression);
  const size_t pixels_at = offset;
  for (uint32_t stored = 0; stored < h; ++stored) {
    const uint32_t pic_row = s.height < 0 ? h - 1 - stored : stored;
    for (uint32_t c = 0; c < w; ++c) {
      const Rgb p = colour_at(c, pic_row);
      const size_t at = pixels_at + size_t(stored) * row + size_t(c) * bytes_pp;
      if (at + bytes_pp > b.size()) continue;
      b[at] = p.b;
      if (bytes_pp > 1) b[at + 1] = p.g;
      if (bytes_pp > 2) b[at + 2] = p.r;
      if (bytes_pp > 3) b[at + 3] = 0;
    }
  }
  return b;
}

bool load(BitmapStore& s, int32_t slot, const Bytes& b) {
  return load_bitmap_from_memory(s, slot, b.data(), b.size());
}

// True when the slot holds exactly the w x h picture of colour_at, bottom row first.
::testing::AssertionResult holds_picture(const BitmapStore& s, int32_t slot, uint32_t w,
                                         uint32_t h) {
  const Bitmap& b = s.slots[slot];
  if (!b.pixels) return ::testing::AssertionFailure() << "slot " << slot << " has no pixels";
  if (b.width != w || b.height != h || b.bytes_per_pixel != 3)
    return ::testing::AssertionFailure() << "size " << b.width << "x" << b.height << " bpp "
                                         << b.bytes_per_pixel;
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t c = 0; c < w; ++c) {
      const uint8_t* p = &b.pixels[(size_t(r) * w + c) * 3];
      const Rgb e = colour_at(c, r);
      if (p[0] != e.r || p[1] != e.g || p[2] != e.b)
        return ::testing::AssertionFailure() << "pixel (" << c << "," << r << ") differs";
    }
  return ::testing::AssertionSuccess();
}

class BitmapLoad : public ::testing::Test {
 protected:
  void SetUp() override { create_bitmap_store(store); }
  void TearDown() override { release_bitmap_store(store); }

  // Puts a known 2 x 3 picture in the slot so we can see whether a failed load touched it.
  const uint8_t* preload(int32_t slot) {
    BmpSpec s;
    s.width = 2;
    s.height = 3;
    EXPECT_TRUE(load(store, slot, make_bmp(s)));
    return store.slots[slot].pixels.get();
  }
  void expect_untouched(int32_t slot, const uint8_t* before) {
    EXPECT_EQ(store.slots[slot].pixels.get(), before);
    EXPECT_TRUE(holds_picture(store, slot, 2, 3));
  }

  BitmapStore store;
};

TEST_F(BitmapLoad, GoodFilesLoadAsTheirPictureBottomRowFirst) {
  // The test's own writer: the file's first pixel is the picture's bottom-left
  // one, blue first, right after the 54-byte header.
  const Bytes plain = make_bmp({});
  ASSERT_EQ(plain.size(), 54u + 768u);
  ASSERT_EQ(plain[54], colour_at(0, 0).b);
  ASSERT_EQ(plain[56], colour_at(0, 0).r);
  std::vector<BmpSpec> good;
  good.push_back({});
  for (int32_t w = 1; w <= 8; ++w) good.push_back({.width = w, .height = 2});  // every padding
  good.push_back({.width = 5, .height = 3});
  good.push_back({.width = 7, .height = -4});     // top-down: stored top row first
  good.push_back({.info_size = 124});             // a V5 header puts the pixels at 138
  good.push_back({.offset = 54 + 37});            // junk between header and pixels
  good.push_back({.width = 4096, .height = 1});   // the largest sides
  good.push_back({.width = 1, .height = -4096});
  // One slot throughout: each load replaces the picture before it.
  for (const BmpSpec& g : good) {
    SCOPED_TRACE(::testing::Message() << g.width << "x" << g.height << " info " << g.info_size);
    ASSERT_TRUE(load(store, 600, make_bmp(g)));
    EXPECT_TRUE(holds_picture(store, 600, uint32_t(g.width), uint32_t(std::abs(g.height))));
    EXPECT_TRUE(slot_loaded(store, 600));
  }
  EXPECT_FALSE(slot_loaded(store, 601));
}

TEST_F(BitmapLoad, BadHeadersFailAndLeaveTheSlot) {
  std::vector<Bytes> bad;
  bad.push_back(make_bmp({.bits = 32}));
  bad.push_back(make_bmp({.bits = 8, .palette_bytes = 256 * 4}));
  // Run-length and bit-field files still say 24 bits but are not plain rows.
  for (uint32_t compression : {1u, 2u, 3u, 4u})
    bad.push_back(make_bmp({.compression = compression}));
  bad.push_back(make_bmp({.info_size = 12}));  // an OS/2 core header puts its fields elsewhere
  bad.push_back(make_bmp({}));
  bad.back()[1] = 'A';
  const uint32_t sizes[][2] = {
      {0, 16},           {16, 0},           {4097, 1},       {1, 4097},
      {1, 0xFFFFEFFFu},  // height -4097
      {0xFFFFFFFFu, 1},  // width -1
      {0x80000000u, 1},  {1, 0x80000000u},  // the most negative 32-bit value
      {0xFFFFFFFFu, 0xFFFFFFFFu}, {65536, 65536},
  };
  for (const auto& wh : sizes) {
    bad.push_back(make_bmp({}));
    put32(bad.back(), 18, wh[0]);
    put32(bad.back(), 22, wh[1]);
  }
  for (uint32_t off : {0u, 14u, 53u}) {  // pixels inside the header: the header is lying
    bad.push_back(make_bmp({}));
    put32(bad.back(), 10, off);
  }
  const Bytes plain = make_bmp({});
  for (size_t n : {0, 2, 30, 53}) bad.push_back(Bytes(plain.begin(), plain.begin() + long(n)));
  const uint8_t* before = preload(5);
  for (size_t i = 0; i < bad.size(); ++i) {
    // An exact-size copy, so a read past it is caught by the sanitizer.
    const std::unique_ptr<uint8_t[]> copy(new uint8_t[std::max<size_t>(bad[i].size(), 1)]);
    std::copy(bad[i].begin(), bad[i].end(), copy.get());
    EXPECT_FALSE(load_bitmap_from_memory(store, 5, copy.get(), bad[i].size())) << "case " << i;
    expect_untouched(5, before);
  }
  EXPECT_FALSE(load_bitmap_from_memory(store, 5, nullptr, 0));
  expect_untouched(5, before);
}

TEST_F(BitmapLoad, MissingPixelsEmptyTheSlotButKeepTheNewSize) {
  std::vector<Bytes> cut;
  cut.push_back(make_bmp({}));
  cut.back().pop_back();
  // Pixels promised past the end of the file, or only partly inside it.
  for (uint32_t off : {900u, 0x7FFFFFFFu, 0xFFFFFFFFu, 54u + 3}) {
    cut.push_back(make_bmp({}));
    put32(cut.back(), 10, off);
  }
  for (size_t i = 0; i < cut.size(); ++i) {
    preload(8);
    EXPECT_FALSE(load(store, 8, cut[i])) << i;
    const Bitmap& b = store.slots[8];
    EXPECT_EQ(b.pixels, nullptr) << i;
    EXPECT_EQ(b.width, 16u) << i;
    EXPECT_EQ(b.height, 16u) << i;
    EXPECT_EQ(b.bytes_per_pixel, 3u) << i;
    EXPECT_FALSE(slot_loaded(store, 8)) << i;
  }
}

TEST_F(BitmapLoad, EveryTruncationEitherLoadsWholeOrFails) {
  const Bytes file = make_bmp({.width = 5, .height = 3});
  // All pixel bytes end 1 byte before the file does: the last row's filler.
  const size_t needed = 54 + 2 * 16 + 15;
  for (size_t n = 0; n <= file.size(); ++n) {
    // A copy of exactly n bytes, so a read past it is caught by the sanitizer.
    const std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
    std::memcpy(cut.get(), file.data(), n);
    const bool ok = load_bitmap_from_memory(store, 30, cut.get(), n);
    EXPECT_EQ(ok, n >= needed) << n;
    if (ok) {
      EXPECT_TRUE(holds_picture(store, 30, 5, 3)) << n;
    } else {
      EXPECT_FALSE(slot_loaded(store, 30)) << n;
    }
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
  const std::string path = dir / "plain.bmp", short_path = dir / "short.bmp";
  write_file(path, std::string(good.begin(), good.end()));
  write_file(short_path, std::string(good.begin(), good.begin() + 100));
  ASSERT_TRUE(load_bitmap(store, path.c_str(), 10));
  EXPECT_TRUE(holds_picture(store, 10, 16, 16));
  EXPECT_EQ(read_file(path), std::string(good.begin(), good.end()));
  EXPECT_FALSE(load_bitmap(store, short_path.c_str(), 11));
  EXPECT_EQ(store.slots[11].width, 16u);
  EXPECT_FALSE(slot_loaded(store, 11));
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
