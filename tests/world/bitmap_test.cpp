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

TEST_F(BitmapLoad, Plain16x16IsRgbBottomRowFirst) {
  const Bytes file = make_bmp({});
  ASSERT_EQ(file.size(), 54u + 768u);
  // The file's first pixel is the picture's bottom-left one, stored blue first.
  const Rgb first = colour_at(0, 0);
  ASSERT_EQ(file[54], first.b);
  ASSERT_EQ(file[56], first.r);

  ASSERT_TRUE(load(store, 10, file));
  const Bitmap& b = store.slots[10];
  EXPECT_EQ(b.pixels[0], first.r);
  EXPECT_EQ(b.pixels[1], first.g);
  EXPECT_EQ(b.pixels[2], first.b);
  EXPECT_TRUE(holds_picture(store, 10, 16, 16));
  EXPECT_TRUE(slot_loaded(store, 10));
  EXPECT_FALSE(slot_loaded(store, 11));
}

TEST_F(BitmapLoad, SecondLoadReplacesTheFirstPicture) {
  ASSERT_TRUE(load(store, 600, make_bmp({})));
  BmpSpec small;
  small.width = 4;
  small.height = 2;
  ASSERT_TRUE(load(store, 600, make_bmp(small)));
  EXPECT_TRUE(holds_picture(store, 600, 4, 2));
}

TEST_F(BitmapLoad, OtherPixelFormatsFailAndLeaveTheSlot) {
  const uint8_t* before = preload(5);
  BmpSpec s32;
  s32.bits = 32;
  EXPECT_FALSE(load(store, 5, make_bmp(s32)));
  expect_untouched(5, before);

  BmpSpec s8;
  s8.bits = 8;
  s8.palette_bytes = 256 * 4;
  EXPECT_FALSE(load(store, 5, make_bmp(s8)));
  expect_untouched(5, before);

  // Run-length and bit-field files still say 24 bits but are not plain rows.
  for (uint32_t compression : {1u, 2u, 3u, 4u}) {
    BmpSpec c;
    c.compression = compression;
    EXPECT_FALSE(load(store, 5, make_bmp(c))) << compression;
  }
  // An OS/2 core header puts its fields elsewhere.
  BmpSpec core;
  core.info_size = 12;
  EXPECT_FALSE(load(store, 5, make_bmp(core)));
  expect_untouched(5, before);

  Bytes not_bm = make_bmp({});
  not_bm[1] = 'A';
  EXPECT_FALSE(load(store, 5, not_bm));
  expect_untouched(5, before);
}

TEST_F(BitmapLoad, ShortHeaderFailsAndLeavesTheSlot) {
  const uint8_t* before = preload(7);
  const Bytes file = make_bmp({});
  for (size_t n : {size_t(0), size_t(2), size_t(30), size_t(53)}) {
    EXPECT_FALSE(load_bitmap_from_memory(store, 7, file.data(), n)) << n;
    expect_untouched(7, before);
  }
  EXPECT_FALSE(load_bitmap_from_memory(store, 7, nullptr, 0));
  expect_untouched(7, before);
}

TEST_F(BitmapLoad, ShortPixelDataEmptiesTheSlotButKeepsTheNewSize) {
  preload(8);
  Bytes file = make_bmp({});
  file.pop_back();
  EXPECT_FALSE(load(store, 8, file));
  const Bitmap& b = store.slots[8];
  EXPECT_EQ(b.pixels, nullptr);
  EXPECT_EQ(b.width, 16u);
  EXPECT_EQ(b.height, 16u);
  EXPECT_EQ(b.bytes_per_pixel, 3u);
  EXPECT_FALSE(slot_loaded(store, 8));
}

TEST_F(BitmapLoad, PaddedRowsSkipTheirFillerBytes) {
  // 5 pixels = 15 bytes a row, stored in 16.
  BmpSpec s;
  s.width = 5;
  s.height = 3;
  const Bytes file = make_bmp(s);
  ASSERT_EQ(file.size(), 54u + 3 * 16);
  ASSERT_TRUE(load(store, 20, file));
  EXPECT_TRUE(holds_picture(store, 20, 5, 3));

  // Widths 1..8 cover every amount of padding.
  for (int32_t w = 1; w <= 8; ++w) {
    BmpSpec t;
    t.width = w;
    t.height = 2;
    ASSERT_TRUE(load(store, 21, make_bmp(t))) << w;
    EXPECT_TRUE(holds_picture(store, 21, uint32_t(w), 2)) << w;
  }
}

TEST_F(BitmapLoad, EveryTruncationEitherLoadsWholeOrFails) {
  BmpSpec s;
  s.width = 5;
  s.height = 3;
  const Bytes file = make_bmp(s);
  // All pixel bytes end 1 byte before the file does: the last row's filler.
  const size_t needed = 54 + 2 * 16 + 15;
  for (size_t n = 0; n <= file.size(); ++n) {
    // A copy of exactly n bytes, so a read past it is caught by the sanitizer.
    const std::unique_ptr<uint8_t[]> cut(new uint8_t[n ? n : 1]);
    std::memcpy(cut.get(), file.data(), n);
    const bool ok = load_bitmap_from_memory(store, 30, cut.get(), n);
    EXPECT_EQ(ok, n >= needed) << n;
    if (ok) EXPECT_TRUE(holds_picture(store, 30, 5, 3)) << n;
    else EXPECT_FALSE(slot_loaded(store, 30)) << n;
  }
}

TEST_F(BitmapLoad, TopDownFilesAreStoredBottomRowFirst) {
  BmpSpec s;
  s.width = 7;
  s.height = -4;
  const Bytes file = make_bmp(s);
  // The first stored row is the top of the picture.
  ASSERT_EQ(file[54 + 2], colour_at(0, 3).r);
  ASSERT_TRUE(load(store, 40, file));
  EXPECT_TRUE(holds_picture(store, 40, 7, 4));
}

TEST_F(BitmapLoad, PixelOffsetIsHonoured) {
  // A V5 header (124 bytes) puts the pixels at 138.
  BmpSpec v5;
  v5.info_size = 124;
  ASSERT_TRUE(load(store, 50, make_bmp(v5)));
  EXPECT_TRUE(holds_picture(store, 50, 16, 16));

  // A gap of junk between the header and the pixels.
  BmpSpec gap;
  gap.offset = 54 + 37;
  ASSERT_TRUE(load(store, 51, make_bmp(gap)));
  EXPECT_TRUE(holds_picture(store, 51, 16, 16));
}

TEST_F(BitmapLoad, BadPixelOffsets) {
  const uint8_t* before = preload(60);
  // Pixels that would start inside the header: the header is lying.
  for (uint32_t off : {0u, 14u, 53u}) {
    Bytes file = make_bmp({});
    put32(file, 10, off);
    EXPECT_FALSE(load(store, 60, file)) << off;
    expect_untouched(60, before);
  }
  // Pixels promised past the end of the file are missing pixels.
  for (uint32_t off : {900u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes file = make_bmp({});
    put32(file, 10, off);
    EXPECT_FALSE(load(store, 61, file)) << off;
    EXPECT_FALSE(slot_loaded(store, 61));
    EXPECT_EQ(store.slots[61].width, 16u);
  }
  // An offset that leaves only part of the pixels inside the file.
  Bytes file = make_bmp({});
  put32(file, 10, 54 + 3);
  EXPECT_FALSE(load(store, 62, file));
  EXPECT_FALSE(slot_loaded(store, 62));
}

TEST_F(BitmapLoad, SizesOutsideOneTo4096Fail) {
  const uint8_t* before = preload(70);
  const uint32_t bad[][2] = {
      {0, 16},           {16, 0},           {4097, 1},       {1, 4097},
      {1, 0xFFFFEFFFu},  // height -4097
      {0xFFFFFFFFu, 1},  // width -1
      {0x80000000u, 1},  {1, 0x80000000u},  // the most negative 32-bit value
      {0xFFFFFFFFu, 0xFFFFFFFFu}, {65536, 65536},
  };
  for (const auto& wh : bad) {
    Bytes file = make_bmp({});
    put32(file, 18, wh[0]);
    put32(file, 22, wh[1]);
    EXPECT_FALSE(load(store, 70, file)) << wh[0] << "x" << wh[1];
    expect_untouched(70, before);
  }
}

TEST_F(BitmapLoad, LargestSidesLoad) {
  BmpSpec wide;
  wide.width = 4096;
  wide.height = 1;
  ASSERT_TRUE(load(store, 80, make_bmp(wide)));
  EXPECT_TRUE(holds_picture(store, 80, 4096, 1));
  BmpSpec tall;
  tall.width = 1;
  tall.height = -4096;
  ASSERT_TRUE(load(store, 81, make_bmp(tall)));
  EXPECT_TRUE(holds_picture(store, 81, 1, 4096));
}

TEST_F(BitmapLoad, SlotNumbersOutsideTheStoreFail) {
  const Bytes file = make_bmp({});
  EXPECT_FALSE(load(store, -1, file));
  EXPECT_FALSE(load(store, kBitmapSlots, file));
  EXPECT_TRUE(load(store, kBitmapSlots - 1, file));
  BitmapStore none;
  EXPECT_FALSE(load(none, 0, file));
}

TEST_F(BitmapLoad, FromFiles) {
  ScratchDir dir;
  const Bytes good = make_bmp({});
  const std::string path = dir / "plain.bmp";
  write_file(path, std::string(good.begin(), good.end()));
  ASSERT_TRUE(load_bitmap(store, path.c_str(), 10));
  EXPECT_TRUE(holds_picture(store, 10, 16, 16));
  // Reading leaves the file as it was.
  EXPECT_EQ(read_file(path), std::string(good.begin(), good.end()));

  Bytes cut = good;
  cut.resize(100);
  const std::string short_path = dir / "short.bmp";
  write_file(short_path, std::string(cut.begin(), cut.end()));
  EXPECT_FALSE(load_bitmap(store, short_path.c_str(), 11));
  EXPECT_EQ(store.slots[11].width, 16u);
  EXPECT_FALSE(slot_loaded(store, 11));

  // A folder where a picture should be.
  std::filesystem::create_directory(dir / "folder.bmp");
  EXPECT_FALSE(load_bitmap(store, (dir / "folder.bmp").c_str(), 12));
  EXPECT_FALSE(load_bitmap(store, nullptr, 12));
}

TEST_F(BitmapLoad, MissingFileFailsAndIsNotCreated) {
  ScratchDir dir;
  const uint8_t* before = preload(3);
  const std::string missing = dir / "missing.bmp";
  EXPECT_FALSE(load_bitmap(store, missing.c_str(), 3));
  expect_untouched(3, before);
  EXPECT_FALSE(std::filesystem::exists(missing));
  const std::string no_folder = dir / "bmp_land/plain.bmp";
  EXPECT_FALSE(load_bitmap(store, no_folder.c_str(), 3));
  EXPECT_FALSE(std::filesystem::exists(dir / "bmp_land"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

}  // namespace
