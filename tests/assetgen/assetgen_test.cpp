// The asset generator: drawing primitives and noise, the pictures, and the world map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "assetgen/image.h"
#include "assetgen/noise.h"
#include "assetgen/output.h"
#include "assetgen/paint.h"
#include "assetgen/pictures.h"
#include "assetgen/worldgen.h"
#include "e2e/harness.h"
#include "world/bitmap.h"
#include "world/catalogue.h"
#include "world/mapfile.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

constexpr Rgb kRed{200, 0, 0}, kBlueish{0, 0, 200};

int32_t count(const Image& im, Rgb c) { return int32_t(std::count(im.px.begin(), im.px.end(), c)); }
TEST(Paint, ShapesCoverExactlyThePixelsWhoseCentresAreInsideAndLinesBothEnds) {
  const struct {
    const char* name;
    void (*draw)(Image&);
    bool (*inside)(float x, float y);  // a pixel centre
  } shapes[] = {
      {"rect", [](Image& im) { rect(im, 2, 3, 4, 2, kRed); },
       [](float x, float y) { return x > 2 && x < 6 && y > 3 && y < 5; }},
      {"disc", [](Image& im) { ellipse(im, 8, 8, 5, 5, kRed); },
       [](float x, float y) { return (x - 8) * (x - 8) + (y - 8) * (y - 8) <= 25; }},
      {"triangle",
       [](Image& im) {
         poly(im, {{0, 0}, {16.2f, 0}, {0, 16.2f}}, kRed);
       },
       [](float x, float y) { return x + y < 16.2f; }},
      {"stroke with round ends", [](Image& im) { stroke(im, 2, 8, 13, 8, 3, kRed); },
       [](float x, float y) {
         const float dx = std::max({2 - x, x - 13, 0.0f});
         return dx * dx + (y - 8) * (y - 8) <= 1.5f * 1.5f;
       }},
  };
  for (const auto& s : shapes) {
    Image im = make_image(16, 16, kKey);
    s.draw(im);
    for (int32_t i = 0; i < 256; ++i)
      EXPECT_EQ(pixel(im, i % 16, i / 16) == kRed, s.inside(i % 16 + 0.5f, i / 16 + 0.5f))
          << s.name << " at " << i % 16 << "," << i / 16;
  }
  Image im = make_image(16, 16, kKey);
  line(im, 1, 1, 10, 4, kRed);
  EXPECT_TRUE(pixel(im, 1, 1) == kRed && pixel(im, 10, 4) == kRed);
  EXPECT_EQ(count(im, kRed), 10);  // one pixel per column along the longer axis
}

TEST(Paint, PutClipsGetWrapsBallsAreLitMixBlendsOutlinesRingAndLayersCastShadows) {
  Image im = make_image(4, 4, kKey);
  put(im, -1, 0, kRed);
  put(im, 4, 4, kRed);
  EXPECT_EQ(count(im, kRed), 0);
  pixel(im, 3, 0) = kRed, im.wrap = true;
  EXPECT_EQ(get(im, -1, 4), kRed);
  im = make_image(16, 16, kKey);
  ball(im, 8, 8, 6, 6, pal::kStone, 0, 4);
  auto shade = [&](int32_t x, int32_t y) {
    return int(std::find(pal::kStone.c, pal::kStone.c + 5, pixel(im, x, y)) - pal::kStone.c);
  };
  // (12, 12)'s centre lies outside the ball; (11, 11) is on its far rim
  EXPECT_TRUE(shade(5, 5) >= 3 && shade(11, 11) <= 1 && shade(12, 12) == 5)
      << shade(5, 5) << " " << shade(11, 11) << " " << shade(12, 12);
  EXPECT_TRUE(mix(kRed, kBlueish, 0) == kRed && mix(kRed, kBlueish, 1) == kBlueish);
  EXPECT_EQ(mix(Rgb{0, 0, 0}, Rgb{200, 100, 50}, 0.5f), (Rgb{100, 50, 25}));
  // outline rings the drawing with ink; layers compose with a shadow
  im = make_image(8, 8, kKey);
  rect(im, 3, 3, 2, 2, kRed);
  outline(im);
  outline(im);  // ink does not grow more ink
  EXPECT_EQ(count(im, kRed), 4);
  EXPECT_EQ(count(im, kInk), 8);  // the four sides, not the corners
  EXPECT_TRUE(pixel(im, 2, 3) == kInk && pixel(im, 2, 2) == kKey);
  Image ground = make_image(8, 8, kBlueish);
  Image layer = make_image(8, 8, kKey);
  rect(layer, 2, 2, 2, 2, kRed);
  drop_shadow(ground, layer, 1, 1);
  compose(ground, layer);
  EXPECT_TRUE(pixel(ground, 2, 2) == kRed && pixel(ground, 0, 0) == kBlueish);
  // the shadow falls right and below, only where the layer leaves the ground showing
  EXPECT_FALSE(pixel(ground, 4, 4) == kBlueish || pixel(ground, 4, 4) == kRed);
  EXPECT_EQ(pixel(ground, 1, 1), kBlueish);
  EXPECT_EQ(count(ground, kKey), 0);
}

TEST(Image, NoiseAndTheGeneratorStayInRangeAndMagnifyAndReduceUndoEachOther) {
  for (int32_t i = 0; i < 200; ++i) {
    const float x = float(i % 37) * 0.43f, y = float(i / 37) * 0.71f;
    for (float v : {value_noise(x, y, 4, 4, 7), fbm(x, y, 8, 3, 2, 3)})
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
  }
  EXPECT_NE(value_noise(1.5f, 2.5f, 4, 4, 1), value_noise(1.5f, 2.5f, 4, 4, 2));
  Gen a{42};
  bool low = false, high = false;
  for (int32_t i = 0; i < 2000; ++i) {
    const int32_t v = gen_int(a, 3, 9);
    ASSERT_TRUE(v >= 3 && v <= 9) << v;
    low |= v == 3, high |= v == 9;
  }
  EXPECT_TRUE(low && high);
  // magnify and reduce undo each other, and PNGs get their folder
  Image im = make_image(3, 2, Rgb{});
  pixel(im, 2, 1) = kRed;
  const Image big = magnify(im, 4);
  ASSERT_TRUE(big.w == 12 && big.h == 8);
  EXPECT_TRUE(pixel(big, 8, 4) == kRed && pixel(big, 11, 7) == kRed);
  EXPECT_EQ(count(big, kRed), 16);
  EXPECT_TRUE(reduce(big, 4).px == im.px);
  Image blend = make_image(2, 2, Rgb{});
  pixel(blend, 1, 1) = Rgb{100, 200, 0};
  EXPECT_EQ(pixel(reduce(blend, 2), 0, 0), (Rgb{25, 50, 0}));  // the mean of the 2 x 2 box
  ScratchDir dir;
  EXPECT_TRUE(write_png(dir / "sub/p.png", make_image(5, 3, kRed)));  // the folder is made
}

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

// Sprites skip key and black pixels; anywhere else (road_b is also a keyed marker) one is a hole.
TEST(Pictures, DistinctTheSameOnEveryRunSpritesOnTheColourKeyAndOtherPicturesWhole) {
  for (const auto& [key, im] : drawn()) {
    const std::string name = key.first + "/" + key.second;
    EXPECT_TRUE(draw_recipe(*find_recipe(key.first.c_str(), key.second.c_str())).px == im.px)
        << name;
    for (const auto& [other, im2] : drawn())
      EXPECT_FALSE(other < key && im2.px == im.px) << name << " is the same as " << other.second;
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

// The step across a tile's edge is no larger than inside; a blob in a water tile, repeated
// across a sea, becomes a grid of spots, so its quarters are alike and every pixel blue.
TEST(Pictures, TerrainTilesTileWithoutSeamsAndWaterWithoutSpots) {
  int32_t tiles = 0, waters = 0;
  for (const auto& [key, im] : drawn()) {
    if (!terrain_tile(key)) continue;
    const bool water = key.second.rfind("water", 0) == 0;
    ++tiles, waters += water;
    double inner_x = 0, inner_y = 0, seam_x = 0, seam_y = 0, quarter[4] = {};
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) {
        const Rgb c = pixel(im, x, y);
        (x < 15 ? inner_x : seam_x) += diff(c, pixel(im, (x + 1) % 16, y));
        (y < 15 ? inner_y : seam_y) += diff(c, pixel(im, x, (y + 1) % 16));
        quarter[(y / 8) * 2 + x / 8] += (0.3 * c.r + 0.59 * c.g + 0.11 * c.b) / 64;
        EXPECT_TRUE(!water || (c.b > c.g && c.g >= c.r)) << key.second << " at " << x << "," << y;
      }
    // mean steps: 16 across each seam, 16 x 15 inside
    EXPECT_LE(seam_x / 16, 1.5 * inner_x / 240 + 8) << key.second << ": left and right differ";
    EXPECT_LE(seam_y / 16, 1.5 * inner_y / 240 + 8) << key.second << ": top and bottom differ";
    const auto [lo, hi] = std::minmax_element(std::begin(quarter), std::end(quarter));
    EXPECT_TRUE(!water || *hi - *lo <= 6.0) << key.second << ": one quarter stands out";
  }
  EXPECT_EQ(std::pair(tiles, waters), std::pair(15, 2));
}

TEST(Pictures, TilesSideBySideCanBeToldApartAndTheContactSheetShowsThemMagnified) {
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
  const Image sheet = contact_sheet();
  EXPECT_EQ(sheet.h, (kCatalogueSize + 15) / 16 * sheet.w / 16);  // 16 square cells a row
  // the first cell shows the pointer cross, magnified four times
  const Image& cross = drawn("bmp_cross/cross4");
  EXPECT_EQ(pixel(sheet, 4 + 7 * 4, 4 + 2 * 4), pixel(cross, 7, 2));
}

constexpr int32_t S = 1024;

bool water(uint8_t c) { return c == 14 || c == 15; }
bool land(uint8_t c) { return !water(c); }
bool house(uint8_t c) { return c >= 180 && c <= 184; }
bool settlement(uint8_t c) { return c == 22 || c == 194 || house(c); }

// 4-connected regions of level z's cells in the box passing the test (label 0: none).
struct Regions {
  std::vector<int32_t> label, size{0};
};
Regions regions(const WorldMap& m, int32_t z, bool (*test)(uint8_t), CellRect box = {0, 0, S, S}) {
  Regions r;
  r.label.assign(size_t(box.w) * size_t(box.h), 0);
  std::vector<int32_t> todo;
  auto join = [&](int32_t x, int32_t y, int32_t id) {
    const size_t i = size_t(y * box.w + x);
    if (x < 0 || y < 0 || x >= box.w || y >= box.h || r.label[i]) return;
    if (!test(map_cell(m, box.x + x, box.y + y, z))) return;
    if (size_t(id) == r.size.size()) r.size.push_back(0);
    r.label[i] = id;
    ++r.size[size_t(id)];
    todo.push_back(int32_t(i));
  };
  for (int32_t start = 0; start < box.w * box.h; ++start)
    for (join(start % box.w, start / box.w, int32_t(r.size.size())); !todo.empty();) {
      const int32_t i = todo.back(), id = r.label[size_t(i)];
      todo.pop_back();
      for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
        join(i % box.w + dx, i / box.w + dy, id);
    }
  return r;
}

LevelStats stats(const WorldMap& m, int32_t z) { return level_stats(&m.cells[map_index(0, 0, z)]); }

void check_borders_and_drawn_codes(const WorldMap& m) {
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < S; ++i)
      for (auto [x, y] : {std::pair{i, 0}, {i, S - 1}, {0, i}, {S - 1, i}}) {
        const uint8_t c = map_cell(m, x, y, z);
        ASSERT_TRUE(water(c) || c == 61) << z << ": " << x << "," << y << " is " << int(c);
      }
  bool present[256] = {};
  for (uint8_t c : m.cells) present[c] = true;
  for (int c = 0; c < 256; ++c)  // every code the overworld has a picture for
    EXPECT_TRUE(present[c] || tile_picture_slot(uint8_t(c), 1) == kNoPicture) << c << " is nowhere";
}

void check_surface_and_roads(const WorldMap& m) {
  const LevelStats s = stats(m, 1);
  // mostly land, but with seas wide enough for coasts and islands
  const double water_share = double(s.count[14] + s.count[15]) / (S * S);
  EXPECT_TRUE(water_share >= 0.10 && water_share <= 0.30) << water_share;
  EXPECT_TRUE(s.count[14] > 0 && s.count[15] > 0);
  const std::vector<int32_t> masses = regions(m, 1, land).size;
  EXPECT_GE(masses.size(), 3u) << "no islands";  // size[0] counts no region
  EXPECT_GT(*std::max_element(masses.begin(), masses.end()), S * S / 10) << "no continent";
  // plains are the commonest land, and every kind of country is there
  for (int c : {11, 12, 13, 16, 17, 18, 19, 20, 21, 22, 23, 24, 191, 192, 193, 194}) {
    EXPECT_GT(s.count[10], s.count[c]) << "code " << c;
    EXPECT_GT(s.count[c], 0) << "code " << c;
  }
  // mountain ranges dense enough to obstruct a fair share of coarse blocks
  EXPECT_TRUE(s.obstructed >= 0.05 && s.obstructed <= 0.25) << s.obstructed;
  // villages (wells with three houses round them) per network of road, houses and wells
  const Regions r = regions(m, 1, settlement);
  std::vector<int32_t> villages(r.size.size(), 0);
  for (int32_t i = 0; i < S * S; ++i) {
    const int32_t x = i % S, y = i / S;
    if (map_cell(m, x, y, 1) != 194) continue;
    int32_t houses = 0;
    for (int32_t d = 0; d < 49; ++d) houses += house(map_cell(m, x + d % 7 - 3, y + d / 7 - 3, 1));
    villages[size_t(r.label[size_t(i)])] += houses >= 3;
  }
  EXPECT_GE(*std::max_element(villages.begin(), villages.end()), 12);
}

void check_dungeons(const WorldMap& m) {
  ASSERT_GE(m.dungeons.size(), 12u);
  for (const CellRect& r : m.dungeons) {
    // the outer wall is whole but for doors, and a door reaches every enterable cell inside
    int32_t inside = 0, floors = 0, fittings = 0, door = -1;
    for (int32_t y = r.y; y < r.y + r.h; ++y)
      for (int32_t x = r.x; x < r.x + r.w; ++x) {
        const uint8_t c = map_cell(m, x, y, 1);
        inside += tile_enterable(c);
        floors += c == 60 || c == 68;
        fittings += c >= 76 && c != 161 && c != 162;
        if (x != r.x && y != r.y && x != r.x + r.w - 1 && y != r.y + r.h - 1) continue;
        ASSERT_TRUE(c == 61 || c == 70) << "gap in the wall at " << x << "," << y;
        if (c == 70) door = (y - r.y) * r.w + (x - r.x);
      }
    ASSERT_GE(door, 0) << "no door";
    EXPECT_GT(floors, 30);
    EXPECT_GE(fittings, 4);
    const Regions rooms = regions(m, 1, tile_enterable, r);
    EXPECT_EQ(rooms.size[size_t(rooms.label[size_t(door)])], inside)
        << "a dungeon at " << r.x << "," << r.y << " has cells cut off from its door";
  }
}

void check_underworld_and_heights(const WorldMap& m) {
  // rock under most of the surface's land, and under every dungeon cell whoever recorded it
  int64_t land_cells = 0, rock = 0;
  for (int32_t i = 0; i < S * S; ++i) {
    const uint8_t surface = map_cell(m, i % S, i / S, 1), below = map_cell(m, i % S, i / S, 2);
    land_cells += land(surface);
    rock += land(surface) && below == 61;
    if (surface == 60 || surface == 61 || surface == 68 || surface == 70) {
      ASSERT_EQ(below, 61) << i % S << "," << i / S;
    }
  }
  EXPECT_GT(double(rock) / double(land_cells), 0.5);
  const LevelStats s = stats(m, 2);
  EXPECT_GE(s.enterable, 0.30);
  for (int c : {60, 68, 14}) EXPECT_GT(s.count[c], 1000) << "code " << c;
  int64_t fittings = 0;
  for (int c : {78, 79, 90, 100, 128, 161, 162, 211, 212, 218, 219}) fittings += s.count[c];
  EXPECT_GT(fittings, 500);
  const std::vector<int32_t> caves = regions(m, 2, tile_enterable).size;
  EXPECT_GT(*std::max_element(caves.begin(), caves.end()), S * S / 50) << "caves are only pockets";
  const LevelStats h = stats(m, 0);  // the heights
  EXPECT_GE(h.enterable, 0.50);
  for (int c : {10, 17, 18, 13, 23, 14, 19, 20}) EXPECT_GT(h.count[c], 1000) << "code " << c;
  EXPECT_TRUE(h.count[61] > 50 && h.count[61] < S * S / 100) << h.count[61];
}

TEST(WorldMap, EachSeedGivesItsOwnWorldWithEveryProperty) {
  const WorldMap first = generate_map(kDefaultMapSeed);
  ASSERT_EQ(first.cells.size(), kMapBytes);
  EXPECT_TRUE(generate_map(kDefaultMapSeed).cells == first.cells) << "not the same on every run";
  const WorldMap other = generate_map(9);
  EXPECT_FALSE(other.cells == first.cells);
  ScratchDir dir;  // the levels one after the other, where the game reads the map
  std::string error;
  ASSERT_TRUE(write_map(dir.path.string(), first, error)) << error;
  EXPECT_TRUE(read_file(map_file_path(dir.path.string(), kMapNumber)) ==
              std::string(first.cells.begin(), first.cells.end()));
  for (const WorldMap* m : {&first, &other}) {
    SCOPED_TRACE(m == &first ? "default seed" : "seed 9");
    for (auto check : {check_borders_and_drawn_codes, check_surface_and_roads, check_dungeons,
                       check_underworld_and_heights})
      check(*m);
  }
  // `assetgen --stats` gives the default world's cells and share of every code present
  const std::string command = build_dir() + "/assetgen --stats";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  int level = -1, lines = 0, present = 0;
  for (char line[256]; std::fgets(line, sizeof line, pipe);) {
    int code = 0;
    long long cells = 0;
    double percent = 0;
    if (std::sscanf(line, "level %d", &level) == 1 ||
        std::sscanf(line, " code %d %lld cells %lf%%", &code, &cells, &percent) != 3)
      continue;
    ++lines;
    EXPECT_EQ(cells, stats(first, level).count[code]) << "level " << level << " code " << code;
    EXPECT_NEAR(percent, 100.0 * double(cells) / kMapLevelBytes, 1e-3) << line;
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  for (int32_t z = 0; z < 3; ++z)
    for (int64_t n : stats(first, z).count) present += n > 0;
  EXPECT_EQ(lines, present);
}

TEST(LevelStats, BlocksObstructFromTheirFiftyFirstPeakAndCodesUpToFiveAndWallsBar) {
  std::vector<uint8_t> level(kMapLevelBytes, 10);
  // block (0, 0): 50 peaks; (5, 7): 51; (63, 63): walls, never obstructing; last row: each code
  for (int32_t i = 0; i < 256; ++i) {
    if (i < 50) level[size_t(i / 16 * 1024 + i % 16)] = uint8_t(i % 2 ? 19 : 20);
    if (i < 51) level[size_t((112 + i / 16) * 1024 + 80 + i % 16)] = 19;
    level[size_t((1008 + i / 16) * 1024 + 1008 + i % 16)] = 61;
    level[kMapLevelBytes - 1024 + size_t(i)] = uint8_t(i);
  }
  const LevelStats s = level_stats(level.data());
  EXPECT_DOUBLE_EQ(s.obstructed, 1.0 / 4096);
  EXPECT_TRUE(s.count[19] == 25 + 51 + 1 && s.count[20] == 25 + 1 && s.count[255] == 1);
  // not enterable: codes 0..5 once each, and 256 + 1 walls
  EXPECT_DOUBLE_EQ(s.enterable, double(kMapLevelBytes - 6 - 257) / double(kMapLevelBytes));
}

}  // namespace
