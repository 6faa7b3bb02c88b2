// The pictures: file format, sizes, colour key, seamless terrain, determinism.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "assetgen/image.h"
#include "assetgen/output.h"
#include "assetgen/pictures.h"
#include "e2e/harness.h"
#include "world/bitmap.h"
#include "world/catalogue.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {
using Key = std::pair<std::string, std::string>;  // folder, file

int diff(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// All distinct picture files, drawn once for the whole suite.
const std::map<Key, Image>& drawn() {
  static const std::map<Key, Image> pictures = [] {
    std::map<Key, Image> m;
    for (int32_t i = 0; i < kCatalogueSize; ++i)
      m.emplace(Key{kCatalogue[i].folder, kCatalogue[i].file}, draw_entry(kCatalogue[i]));
    return m;
  }();
  return pictures;
}
// The pictures of the land codes, which lie side by side as terrain.
bool terrain_tile(const Key& k) {
  for (int c = kTilePlain; c <= kTileForestC; ++c) {
    const CatalogueEntry* e = catalogue_entry(tile_picture_slot(uint8_t(c), 1));
    if (e && k == Key{e->folder, e->file}) return true;
  }
  return false;
}

const Image& drawn(const std::string& name) {
  const size_t slash = name.find('/');
  return drawn().at({name.substr(0, slash), name.substr(slash + 1)});
}

// The slot holds the picture as the game keeps it: bottom row first, R G B.
bool holds(const Bitmap& b, const Image& im) {
  bool same = b.pixels && b.width == uint32_t(im.w) && b.height == uint32_t(im.h);
  for (int32_t i = 0; same && i < im.w * im.h; ++i) {
    const Rgb& c = im.px[size_t((im.h - 1 - i / im.w) * im.w + i % im.w)];
    same = !std::memcmp(&b.pixels[size_t(i) * 3], &c, 3);
  }
  return same;
}
}  // namespace

// What the game's reader makes of the files; an odd width needs row padding.
TEST(Pictures, EachFileIsWrittenOnceAtItsSizeAndTheGameLoadsItAsDrawn) {
  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(write_pictures(dir.path.string(), error)) << error;
  BitmapStore store;
  create_bitmap_store(store);
  ASSERT_EQ(load_catalogue(store, dir.path.string()).loaded, kCatalogueSize);
  std::set<std::string> paths;
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& e = kCatalogue[i];
    paths.insert(catalogue_path(dir.path.string(), e));
    const Image& im = drawn().at({e.folder, e.file});
    const bool cube = std::strcmp(e.folder, "bmp_cube") == 0, intro = e.slot == 1000;
    EXPECT_TRUE(im.w == (intro ? 640 : cube ? 64 : 16) && im.h == (intro ? 480 : im.w)) << e.file;
    EXPECT_TRUE(holds(store.slots[e.slot], im)) << e.folder << "/" << e.file;
  }
  size_t files = 0;
  for (const auto& f : std::filesystem::recursive_directory_iterator(dir.path))
    files += f.is_regular_file();
  EXPECT_EQ(files, paths.size());
  Image odd = make_image(3, 2, Rgb{10, 20, 30});
  pixel(odd, 2, 0) = Rgb{40, 50, 60};
  const std::vector<uint8_t> b = encode_bmp(odd);
  ASSERT_TRUE(load_bitmap_from_memory(store, 0, b.data(), b.size()));
  EXPECT_TRUE(holds(store.slots[0], odd));
  release_bitmap_store(store);
}

TEST(Pictures, SpritesStandOnTheColourKeyAndOtherPicturesAreWhole) {
  // The game leaves out key and pure black pixels of sprites; terrain and
  // dungeon tiles are drawn whole, and road_b is also drawn as a keyed route
  // marker, so any key or black pixel there would be a hole.
  for (const auto& [key, im] : drawn()) {
    const std::string name = key.first + "/" + key.second;
    int32_t keyed = 0, black = 0;
    for (const Rgb& c : im.px) keyed += c == kKey, black += c == Rgb{0, 0, 0};
    EXPECT_EQ(black, 0) << name;
    if (!is_sprite(key.first.c_str())) {
      EXPECT_EQ(keyed, 0) << name;
    } else if (name == "bmp_item/blank") {
      EXPECT_EQ(keyed, im.w * im.h);
    } else {
      const double drawn_share = 1.0 - double(keyed) / double(im.w * im.h);
      EXPECT_TRUE(drawn_share > 0.12 && drawn_share < 0.85) << name << ": " << drawn_share;
      // the corners are background, but for the frame corners that fill their own
      const bool corners = pixel(im, 0, 0) == kKey && pixel(im, im.w - 1, 0) == kKey;
      EXPECT_TRUE(corners || key.second.find("alleviated_corner") == 0) << name;
    }
  }
}

TEST(Pictures, TerrainTilesTileWithoutSeams) {
  // the step across a tile's edge (last column to first, bottom row to top)
  // must be no larger than the typical step between neighbouring pixels inside
  int32_t tiles = 0;
  for (const auto& [key, im] : drawn()) {
    if (!terrain_tile(key)) continue;
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
    // mean steps: 16 across each seam, 16 x 15 inside
    EXPECT_LE(seam_x / 16, 1.5 * inner_x / 240 + 8) << key.second << ": left and right differ";
    EXPECT_LE(seam_y / 16, 1.5 * inner_y / 240 + 8) << key.second << ": top and bottom differ";
  }
  EXPECT_EQ(tiles, 15);
}

TEST(Pictures, WaterReadsAsWaterWhenTiledOverASea) {
  // A sea shows the tile hundreds of times: a dark or light blob in it becomes
  // a grid of spots. The quarters of the tile must be alike in brightness, and
  // every pixel blue.
  for (const char* name : {"bmp_land/water", "bmp_land/water_deep"}) {
    const Image& im = drawn(name);
    double quarter[4] = {};
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const Rgb c = pixel(im, x, y);
        quarter[(y / 8) * 2 + x / 8] += (0.3 * c.r + 0.59 * c.g + 0.11 * c.b) / 64;
        EXPECT_TRUE(c.b > c.g && c.g >= c.r) << name << " at " << x << "," << y;
      }
    const auto [lo, hi] = std::minmax_element(std::begin(quarter), std::end(quarter));
    EXPECT_LE(*hi - *lo, 6.0) << name << ": one quarter stands out";
  }
}

TEST(Pictures, PicturesAreDistinctAndTheSameOnEveryRun) {
  for (const auto& [key, im] : drawn()) {
    const std::string name = key.first + "/" + key.second;
    const Recipe* recipe = find_recipe(key.first.c_str(), key.second.c_str());
    EXPECT_TRUE(draw_recipe(*recipe).px == im.px) << name;
    for (const auto& [other, im2] : drawn())
      EXPECT_FALSE(other < key && im2.px == im.px) << name << " is the same as " << other.second;
  }
}

TEST(Pictures, TilesThatSitSideBySideCanBeToldApart) {
  auto mean = [](const Image& im, int k) {
    double sum = 0;
    for (const Rgb& c : im.px) sum += k == 0 ? c.r : k == 1 ? c.g : c.b;
    return sum / double(im.px.size());
  };
  const std::tuple<const char*, const char*, int> pairs[] = {
      {"bmp_dungeon/wall", "bmp_dungeon/floor", 40}, {"bmp_land/water", "bmp_land/water_deep", 40},
      {"bmp_land/plain", "bmp_land/forest", 30},     {"bmp_land/plain", "bmp_land/hills_a", 20},
      {"bmp_land/plain", "bmp_land/road_b", 60},     {"bmp_land/mountain", "bmp_land/hills_a", 60},
  };
  for (const auto& [a, b, least] : pairs) {
    double apart = 0;
    for (int k = 0; k < 3; ++k) apart += std::abs(mean(drawn(a), k) - mean(drawn(b), k));
    EXPECT_GT(apart, least) << a << " and " << b;
  }
}

TEST(Pictures, ContactSheetShowsEveryPictureMagnified) {
  const Image sheet = contact_sheet();
  EXPECT_EQ(sheet.h, (kCatalogueSize + 15) / 16 * sheet.w / 16);  // 16 square cells a row
  // the first cell shows the pointer cross, magnified four times
  const Image& cross = drawn("bmp_cross/cross4");
  EXPECT_EQ(pixel(sheet, 4 + 7 * 4, 4 + 2 * 4), pixel(cross, 7, 2));
}
