// The pictures: file format, sizes, colour key, seamless terrain, determinism.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include <unistd.h>

#include "assetgen/image.h"
#include "assetgen/output.h"
#include "assetgen/pictures.h"
#include "world/bitmap.h"
#include "world/catalogue.h"

namespace {
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }

int diff(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

std::string name(const CatalogueEntry& e) { return std::string(e.folder) + "/" + e.file; }

// All distinct picture files, drawn once for the whole suite.
const std::map<std::string, Image>& drawn() {
  static const std::map<std::string, Image> pictures = [] {
    std::map<std::string, Image> m;
    for (int32_t i = 0; i < kCatalogueSize; ++i) m.emplace(name(kCatalogue[i]), draw_entry(kCatalogue[i]));
    return m;
  }();
  return pictures;
}
}  // namespace

TEST(Bmp, HeaderRowsAndPaddingFollowTheFormat) {
  // 3 x 2: rows of 9 bytes padded to 12; the top row is stored last
  Image im = make_image(3, 2, Rgb{});
  pixel(im, 0, 0) = Rgb{10, 20, 30};  // top left
  pixel(im, 2, 1) = Rgb{40, 50, 60};  // bottom right
  const std::vector<uint8_t> b = encode_bmp(im);
  ASSERT_EQ(b.size(), 54u + 2 * 12);
  EXPECT_TRUE(b[0] == 'B' && b[1] == 'M');
  // size, pixel data right after the header, BITMAPINFOHEADER, width, positive
  // height (bottom-up), one plane, 24 bits, no compression
  EXPECT_EQ(std::tuple(le32(b, 2), le32(b, 10), le32(b, 14), le32(b, 18), le32(b, 22)),
            std::tuple(uint32_t(b.size()), 54u, 40u, 3u, 2u));
  EXPECT_EQ(std::tuple(le16(b, 26), le16(b, 28), le32(b, 30)), std::tuple(1u, 24u, 0u));
  // bottom row first, blue-green-red, then a padding byte; the top row after it
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 60, b.begin() + 70),
            (std::vector<uint8_t>{60, 50, 40, 0, 0, 0, 30, 20, 10, 0}));
}

TEST(Pictures, EveryCatalogueEntryHasAPictureOfItsSize) {
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& e = kCatalogue[i];
    const Image& im = drawn().at(name(e));
    int32_t w = 16, h = 16;
    if (std::strcmp(e.folder, "bmp_cube") == 0) w = h = 64;  // block textures
    if (std::strcmp(e.folder, "bmp_scr") == 0) w = 640, h = 480;
    EXPECT_EQ(im.w, w) << name(e);
    EXPECT_EQ(im.h, h) << name(e);
    EXPECT_EQ(im.px.size(), size_t(w) * size_t(h)) << name(e);
  }
}

TEST(Pictures, WrittenFilesAreValidAndEachSharedFileIsWrittenOnce) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("assetgen-test-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::string error;
  ASSERT_TRUE(write_pictures(dir.string(), error)) << error;
  std::set<std::string> paths;
  for (int32_t i = 0; i < kCatalogueSize; ++i) paths.insert(catalogue_path(dir.string(), kCatalogue[i]));
  EXPECT_LT(paths.size(), size_t(kCatalogueSize));  // some files serve two slots
  size_t files = 0;
  for (const auto& f : std::filesystem::recursive_directory_iterator(dir))
    if (f.is_regular_file()) ++files;
  EXPECT_EQ(files, paths.size());
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    const std::string path = catalogue_path(dir.string(), kCatalogue[i]);
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 54u) << path;
    const uint32_t w = le32(b, 18), h = le32(b, 22);
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M' && le16(b, 28) == 24 && le32(b, 30) == 0) << path;
    EXPECT_EQ(b.size(), 54 + size_t((w * 3 + 3) / 4 * 4) * h) << path;
  }
  std::filesystem::remove_all(dir);
}

TEST(Pictures, TheGamesReaderLoadsEveryPicture) {
  BitmapStore store;
  create_bitmap_store(store);
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& e = kCatalogue[i];
    const Image& im = drawn().at(name(e));
    const std::vector<uint8_t> b = encode_bmp(im);
    ASSERT_TRUE(load_bitmap_from_memory(store, e.slot, b.data(), b.size())) << name(e);
    const Bitmap& s = store.slots[e.slot];
    ASSERT_EQ(s.width, uint32_t(im.w));
    ASSERT_EQ(s.height, uint32_t(im.h));
    // the slot's first pixel is the picture's bottom-left one, as red, green, blue
    const Rgb bl = pixel(im, 0, im.h - 1);
    EXPECT_EQ(s.pixels[0], bl.r) << name(e);
    EXPECT_EQ(s.pixels[1], bl.g) << name(e);
    EXPECT_EQ(s.pixels[2], bl.b) << name(e);
  }
  release_bitmap_store(store);
}

TEST(Pictures, SpritesStandOnTheColourKeyWithoutHoles) {
  for (const auto& [file, im] : drawn()) {
    const std::string folder = file.substr(0, file.find('/'));
    if (!is_sprite(folder.c_str())) continue;
    int32_t key = 0, black = 0;
    for (const Rgb& c : im.px) {
      key += c == kKey;
      black += c == Rgb{0, 0, 0};
    }
    EXPECT_EQ(black, 0) << file << ": pure black is left out by the game and would show as a hole";
    if (file == "bmp_item/blank") {
      EXPECT_EQ(key, im.w * im.h) << file;
      continue;
    }
    const double drawn_share = 1.0 - double(key) / double(im.w * im.h);
    EXPECT_GT(drawn_share, 0.12) << file << " is nearly empty";
    EXPECT_LT(drawn_share, 0.85) << file << " hardly leaves any background";
    // the corners are background for figures, items and buildings alike
    // (the frame corners fill their own corner)
    if (file.find("alleviated_corner") == std::string::npos) {
      EXPECT_EQ(pixel(im, 0, 0), kKey) << file;
      EXPECT_EQ(pixel(im, im.w - 1, 0), kKey) << file;
    }
  }
}

TEST(Pictures, OpaquePicturesHaveNoLeftOutPixels) {
  // terrain and dungeon tiles are drawn whole; road_b is also drawn as a route
  // marker with the key left out, where any key pixel would be a hole
  for (const auto& [file, im] : drawn()) {
    const std::string folder = file.substr(0, file.find('/'));
    if (is_sprite(folder.c_str())) continue;
    for (const Rgb& c : im.px) {
      ASSERT_FALSE(c == kKey) << file;
      ASSERT_FALSE(c == (Rgb{0, 0, 0})) << file;
    }
  }
}

TEST(Pictures, TerrainTilesTileWithoutSeams) {
  // the step across a tile's edge (last column to first, bottom row to top)
  // must be no larger than the typical step between neighbouring pixels inside
  int32_t tiles = 0;
  for (const auto& [file, im] : drawn()) {
    const std::string folder = file.substr(0, file.find('/')), base = file.substr(file.find('/') + 1);
    if (!is_terrain_tile(folder.c_str(), base.c_str())) continue;
    ++tiles;
    double inner_x = 0, inner_y = 0, seam_x = 0, seam_y = 0;
    for (int32_t a = 0; a < 16; ++a) {
      for (int32_t b = 0; b < 15; ++b) {
        inner_x += diff(pixel(im, b, a), pixel(im, b + 1, a));
        inner_y += diff(pixel(im, a, b), pixel(im, a, b + 1));
      }
      seam_x += diff(pixel(im, 15, a), pixel(im, 0, a));
      seam_y += diff(pixel(im, a, 15), pixel(im, a, 0));
    }
    inner_x /= 16 * 15;
    inner_y /= 16 * 15;
    seam_x /= 16;
    seam_y /= 16;
    EXPECT_LE(seam_x, 1.5 * inner_x + 8) << file << " left and right edges do not meet";
    EXPECT_LE(seam_y, 1.5 * inner_y + 8) << file << " top and bottom edges do not meet";
  }
  EXPECT_EQ(tiles, 15);
}

TEST(Pictures, PicturesAreDistinctAndTheSameOnEveryRun) {
  for (const auto& [file, im] : drawn()) {
    const std::string folder = file.substr(0, file.find('/')), base = file.substr(file.find('/') + 1);
    EXPECT_TRUE(draw_recipe(*find_recipe(folder.c_str(), base.c_str())).px == im.px) << file;
    for (const auto& [other, im2] : drawn())
      if (other < file && im2.w == im.w && im2.h == im.h) {
        EXPECT_FALSE(im2.px == im.px) << file << " is the same picture as " << other;
      }
  }
}

TEST(Pictures, TilesThatSitSideBySideCanBeToldApart) {
  auto mean = [](const Image& im) {
    double r = 0, g = 0, b = 0;
    for (const Rgb& c : im.px) r += c.r, g += c.g, b += c.b;
    const double n = double(im.px.size());
    return std::array<double, 3>{r / n, g / n, b / n};
  };
  auto apart = [&](const char* a, const char* b) {
    const auto x = mean(drawn().at(a)), y = mean(drawn().at(b));
    return std::abs(x[0] - y[0]) + std::abs(x[1] - y[1]) + std::abs(x[2] - y[2]);
  };
  EXPECT_GT(apart("bmp_dungeon/wall", "bmp_dungeon/floor"), 40);
  EXPECT_GT(apart("bmp_land/water", "bmp_land/water_deep"), 40);
  EXPECT_GT(apart("bmp_land/plain", "bmp_land/forest"), 30);
  EXPECT_GT(apart("bmp_land/plain", "bmp_land/hills_a"), 20);
  EXPECT_GT(apart("bmp_land/plain", "bmp_land/road_b"), 60);
  EXPECT_GT(apart("bmp_land/mountain", "bmp_land/hills_a"), 60);
}

TEST(Pictures, ContactSheetHoldsEveryPicture) {
  const Image sheet = contact_sheet();
  EXPECT_EQ(sheet.w, 16 * 72);
  EXPECT_EQ(sheet.h, (kCatalogueSize + 15) / 16 * 72);
  // the first cell shows the pointer cross, magnified four times
  const Image& cross = drawn().at("bmp_cross/cross4");
  EXPECT_EQ(pixel(sheet, 4 + 7 * 4, 4 + 2 * 4), pixel(cross, 7, 2));
}
