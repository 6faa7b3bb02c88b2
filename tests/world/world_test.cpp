#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/harness.h"
#include "world/bitmap.h"
#include "world/catalogue.h"
#include "world/items.h"
#include "world/mapfile.h"
#include "world/population.h"
#include "world/rng.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

TEST(World, OffTheGridReadsEmptyUnlistedCodesCostThreeAndTheObjectTableNeverOverflows) {
  World w;
  set_world_side(w, 4), create_world_grid(w), create_object_table(w);
  for (int32_t z = 0; z < kLevelCount; ++z)  // so a wrapped index reads a wall
    for (int32_t c = 0; c < w.stride; ++c) set_cell(w, c % 4, c / 4, z, 61);
  EXPECT_EQ(cell_at(w, 3, 3, kLevelCount - 1), 61);
  for (auto [x, y, z] :
       {std::tuple{-1, 1, 1}, {4, 1, 1}, {1, -1, 1}, {1, 4, 1}, {1, 1, -1}, {1, 1, kLevelCount}})
    EXPECT_EQ(cell_at(w, x, y, z), 0) << x << "," << y << "," << z;
  for (int code : {5, 7, 59, 255}) EXPECT_FLOAT_EQ(kTerrainCost[size_t(code)], 3.0f) << code;
  for (int i = 0; i < 2000; ++i) add_object(w, 1, 1, 0, 188);
  EXPECT_EQ(w.object_count, kObjectCapacity);
  EXPECT_EQ(w.objects[0].flag, 0);  // record 0 is never filled
}

// A row's picture slot and the catalogue agree on the picture's name.
TEST(TileTable, EachPictureIsTheCataloguePictureOfTheTilesName) {
  int pictures = 0;
  for (const TileInfo& t : kTileTable) {
    const int32_t slot = tile_picture_slot(t.code, 1);
    if (slot == kNoPicture) continue;
    ++pictures;
    const CatalogueEntry* e = catalogue_entry(slot);
    ASSERT_NE(e, nullptr) << "code " << int(t.code) << ": slot " << slot << " is never loaded";
    EXPECT_STREQ(e->file, t.name) << "code " << int(t.code) << ": slot " << slot;
  }
  EXPECT_GT(pictures, 60);
}

// The C library's generator is the oracle, drawn one by one or in runs of any length.
TEST(Rng, MatchesTheCLibraryGeneratorOneByOneAndInRuns) {
  for (unsigned seed : {0u, 1u, 96u, 1733000000u, 4294967295u}) {
    std::srand(seed);
    Rng g;
    rng_seed(g, seed);
    for (int round = 0; round < 8; ++round)
      for (int32_t n : {0, 1, 33, 255, 256, 257, 600}) {
        std::vector<int32_t> run(size_t(n) + 1);
        rng_fill(g, run.data(), n);
        run[size_t(n)] = rng_next(g);
        for (int32_t v : run) ASSERT_EQ(v, std::rand()) << seed << ", a run of " << n;
      }
  }
}

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
  put32(b, 2, uint32_t(b.size())), put32(b, 10, offset), put32(b, 14, info_size);
  put32(b, 18, w), put32(b, 22, uint32_t(height));
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

// A fresh, empty world of the game's size per test (the grid is lazily zeroed).
struct FullWorld : ::testing::Test {
  World w;
  void SetUp() override {
    set_world_side(w, kWorldSide), create_world_grid(w), create_object_table(w);
  }
  uint8_t at(int32_t x, int32_t y, int32_t z) const { return cell_at(w, x, y, z); }
};

constexpr size_t kLevelBytes = 1024 * 1024, kMapBytes = 3 * kLevelBytes;

// Byte k of a test map; never 0, so a filled cell is told from an empty one.
uint8_t map_byte(size_t k) { return uint8_t(k % 251 + 1); }

TEST_F(FullWorld, MapFileFillsAsFarAsItGoesNeverPastTheGridAndIsNeverCreated) {
  ScratchDir dir;
  const std::string path = map_file_path(dir.path.string(), kMapNumber);
  EXPECT_EQ(path, dir / "map/8.overworld");
  std::filesystem::create_directories(dir / "map");
  for (size_t n : {size_t(1001), size_t(0), kMapBytes + 5000}) {
    create_world_grid(w);
    std::string map(n, '\0');
    for (size_t k = 0; k < n; ++k) map[k] = char(map_byte(k));
    write_file(path, map);
    const size_t filled = std::min(n, kMapBytes);
    ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(filled));
    // Up to the end of a level past the file's reach, which stays empty.
    size_t k = 0;
    while (k < kMapBytes + kLevelBytes && grid_cells(w)[k] == (k < filled ? map_byte(k) : 0)) ++k;
    EXPECT_EQ(k, kMapBytes + kLevelBytes) << n;
  }
  // Byte k is cell (k % 1024, k / 1024 % 1024) of level k / 2^20.
  EXPECT_EQ(cell_at(w, 5, 1, 1), map_byte(kLevelBytes + 1024 + 5));
  EXPECT_EQ(cell_at(w, 1023, 1023, 2), map_byte(kMapBytes - 1));
  // A small grid (16 cells a level, 2880 in all) takes no more than it holds, whatever the
  // level count; without a grid nothing is read.
  World small;
  set_world_side(small, 4);
  EXPECT_EQ(load_overworld_map(small, path, 3), -1);
  create_world_grid(small);
  EXPECT_EQ(load_overworld_map(small, path, 1000), 2880);
  EXPECT_EQ(grid_cells(small)[2879], map_byte(2879));
  EXPECT_EQ(load_overworld_map(small, path, 0), 0);
  // A missing file is not created, and a folder under the name is neither a map nor a
  // picture; a picture file is read as it is.
  BitmapStore store;
  create_bitmap_store(store);
  std::filesystem::remove(path);
  for (bool folder : {false, true}) {
    EXPECT_TRUE(load_overworld_map(w, path, 3) == -1 && !load_bitmap(store, path.c_str(), 3));
    EXPECT_EQ(std::filesystem::is_directory(path), folder);
    std::filesystem::create_directory(path);
  }
  EXPECT_TRUE(std::filesystem::is_empty(path) && !load_bitmap(store, nullptr, 3) &&
              !store.slots[3].pixels);
  const Bytes bmp = make_bmp();
  write_file(dir / "p.bmp", std::string(bmp.begin(), bmp.end()));
  EXPECT_TRUE(load_bitmap(store, (dir / "p.bmp").c_str(), 3) &&
              held(store, 3) == "16x16x3 picture");
}

// Against a plain count over random ground where a block holds about fifty mountain cells,
// so every count near the limit comes up.
TEST_F(FullWorld, CoarseBlockTurnsObstructedAboveFiftyMountainCells) {
  const uint8_t kOthers[] = {0, 1, 11, 14, 15, 18, 21, 61, 188, 255};
  Rng rng;
  rng_seed(rng, 7);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < kWorldSide * kWorldSide; ++i) {
      const int32_t v = rng_next(rng) % 2560;  // a mountain one time in five
      set_cell(w, i % kWorldSide, i / kWorldSide, z,
               v < 505 ? uint8_t(19 + v % 2) : kOthers[v % 10]);
    }
  build_coarse_map(w);
  int64_t obstructed = 0;
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t b = 0; b < 64 * 64; ++b) {
      int32_t mountains = 0;
      for (int32_t c = 0; c < 256; ++c) {
        const uint8_t code = at(b % 64 * 16 + c % 16, b / 64 * 16 + c / 16, z);
        mountains += code == 19 || code == 20;
      }
      obstructed += mountains > 50;
      ASSERT_EQ(cell_at(w, b % 64, b / 64, kCoarseLevelBase + z), mountains > 50 ? 19 : 10)
          << "block " << b << " on " << z << " holds " << mountains;
    }
  EXPECT_TRUE(obstructed > 3000 && obstructed < 9000) << obstructed;  // both sides well tried
  // each level has its own coarse level, filling only its 64 x 64 corner
  for (int32_t z = 9; z <= 13; ++z)
    EXPECT_TRUE(at(64, 0, z) + at(0, 64, z) + at(1023, 1023, z) + (z % 4 == 1) * at(0, 0, z) == 0);
}

TEST_F(FullWorld, ScatterFillsRecordsOneTo768UnderItsOwnSeedAndTheLaterObjectWins) {
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t c = 0; c < w.stride; ++c)
      set_cell(w, c % kWorldSide, c / kWorldSide, z, uint8_t(61 - 20 * z));
  Rng rng, replay;
  rng_seed(rng, 12345);  // whatever the generator held, the scatter seeds it with 96
  scatter_objects(w, rng);
  EXPECT_EQ(w.object_count, 769);
  rng_seed(replay, 96);
  auto draw = [&](int32_t n) { return rng_next(replay) % n; };
  const int kKindCodes[] = {188, 189, 190, 196, 197, 198};  // object kinds 1..6
  for (int32_t i = 1; i <= 768; ++i) {
    const PlacedObject& o = w.objects[i];
    SCOPED_TRACE(i);
    // draw order: x, then y, then kind; x and y in 1..1022
    const int32_t x = draw(1022) + 1, y = draw(1022) + 1, code = kKindCodes[draw(6)];
    EXPECT_TRUE(o.flag == 1 && o.value == 0 && o.level == (i - 1) / 256 && o.x == x && o.y == y &&
                o.code == code);
    int32_t last = i;
    for (int32_t j = i + 1; j <= 768; ++j)
      if (w.objects[j].x == o.x && w.objects[j].y == o.y && w.objects[j].level == o.level) last = j;
    ASSERT_EQ(at(o.x, o.y, o.level), w.objects[last].code);
  }
  EXPECT_EQ(rng_next(rng), rng_next(replay));  // and leaves the generator there
}

// Member by member, since padding bytes carry nothing.
bool same(const ItemType& a, const ItemType& b) {
  auto eq = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return eq(a.small_a, b.small_a) && a.picture_slot == b.picture_slot && a.type_id == b.type_id &&
         a.small_b == b.small_b && eq(a.values_a, b.values_a) && eq(a.small_c, b.small_c) &&
         eq(a.class_flags, b.class_flags) && a.equipment == b.equipment && a.small_d == b.small_d &&
         a.weapon == b.weapon && a.rating == b.rating && a.grade == b.grade &&
         a.rating_value == b.rating_value && eq(a.small_e, b.small_e) && a.factor == b.factor &&
         eq(a.small_f, b.small_f) && a.value_g == b.value_g && a.worth == b.worth &&
         eq(a.values_h, b.values_h);
}

// Rules, not rows: each type sits at its own id with an item's picture and members in range;
// only the 29 weapons are held in a hand, rated 1 to 14; a set of armour is 14 pieces worn in
// turn sharing picture, factor and worth; a copy keeps its source, its rating as rating value.
TEST(ItemTypes, EveryTypeKeepsTheRulesOfItsKindAndCopiesKeepTheirSources) {
  ItemTable t;
  create_item_table(t), fill_item_types(t);
  auto copy_of = [](ItemType c) { return c.rating_value = c.rating, c; };
  const std::pair<int32_t, int32_t> copies[] = {
      {10000, 6110}, {9000, 6110}, {9001, 6111}, {9002, 6200}, {9003, 6316}};
  for (auto [id, source] : copies)
    EXPECT_TRUE(same(item_type(t, id), copy_of(item_type(t, source)))) << id;
  EXPECT_LT(t.items.size(), 160u) << "only the ids written are held";
  int32_t defined = 0, weapons = 0, pieces = 0;
  for (int32_t id = 0; id < 9000; ++id) {  // the copies lie past every defined type
    const ItemType it = item_type(t, id);
    ItemType rest = it;  // what is left once the members a type may set are cleared
    rest.picture_slot = rest.equipment = rest.weapon = rest.rating = rest.grade = rest.worth = 0;
    rest.type_id = 0, rest.factor = 0, std::memset(rest.class_flags, 0, 5);
    if (same(it, ItemType{})) continue;
    SCOPED_TRACE(id);
    const CatalogueEntry* picture = catalogue_entry(it.picture_slot);
    const bool weapon = it.equipment == 1 || it.equipment == 2, piece = it.equipment >= 10;
    const ItemType first = item_type(t, id - (it.equipment - 10) * piece);  // of the set
    EXPECT_TRUE(
        same(rest, ItemType{}) && it.type_id == id && picture &&
        std::string(picture->file).starts_with("item_") && it.grade <= 3 && it.worth >= 30 &&
        it.worth <= 60000 && (it.factor == 0 || (it.factor >= 0.1f && it.factor <= 4.0f)) &&
        it.weapon == weapon && (weapon ? it.rating >= 1 && it.rating <= 14 : it.rating % 200 == 0));
    for (uint8_t flag : it.class_flags) EXPECT_TRUE(piece ? flag == 1 : flag <= 1);
    EXPECT_TRUE(!piece ||
                (it.equipment <= 23 && it.rating == 0 && it.grade == 0 && first.equipment == 10 &&
                 item_type(t, first.type_id + 13).equipment == 23 &&
                 it.picture_slot == first.picture_slot && it.factor == first.factor &&
                 it.worth == first.worth));
    defined += 1, weapons += weapon, pieces += piece;
  }
  // 31 held items and eight sets of armour besides id 0, which is all zero
  EXPECT_TRUE(defined == 31 + 112 && weapons == 29 && pieces == 112)
      << defined << " " << weapons << " " << pieces;
  // Copies from or to ids outside the table are ignored; the last id is inside.
  for (int32_t id : {-1, kItemTypeCount, INT_MIN, INT_MAX})
    copy_item_type(t, id, 6320), copy_item_type(t, 5, id);
  EXPECT_TRUE(same(item_type(t, 5), ItemType{}) &&
              same(item_type(t, kItemTypeCount - 1), ItemType{}));
  copy_item_type(t, kItemTypeCount - 1, 6320);
  EXPECT_TRUE(same(item_type(t, kItemTypeCount - 1), copy_of(item_type(t, 6320))));
  release_item_table(t);
  copy_item_type(t, 1, 2);  // no table: nothing to do
  fill_item_types(t);
}

struct BitmapLoad : ::testing::Test {
  void SetUp() override { create_bitmap_store(store); }
  void TearDown() override { release_bitmap_store(store); }
  // A known 2 x 3 picture, to see whether a failed load touched the slot.
  void preload(int32_t slot) { ASSERT_TRUE(load(store, slot, make_bmp(2, 3))); }
  BitmapStore store;
};

TEST_F(BitmapLoad, GoodFilesLoadAsTheirPictureBottomRowFirstBadOnesLeaveTheSlot) {
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

}  // namespace
