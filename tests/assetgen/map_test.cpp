// The world map: format, determinism, and the world each level must be.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include <unistd.h>

#include "assetgen/output.h"
#include "assetgen/worldgen.h"

namespace {
constexpr int32_t S = 1024;

bool enterable(uint8_t c) { return c > 5 && c != 61; }
bool water(uint8_t c) { return c == 14 || c == 15; }
bool peak(uint8_t c) { return c == 19 || c == 20; }
bool settlement(uint8_t c) { return c == 22 || c == 194 || (c >= 180 && c <= 184); }

// The codes the overworld view has a picture for.
std::vector<uint8_t> drawn_codes() {
  std::vector<uint8_t> v{60,  61,  68,  70,  100, 108, 109, 111, 112, 113, 116, 128, 161,
                         162, 196, 197, 198, 211, 212, 218, 219};
  for (auto [lo, hi] : {std::pair{10, 24}, std::pair{76, 91}, std::pair{180, 184}, std::pair{188, 194}})
    for (int c = lo; c <= hi; ++c) v.push_back(uint8_t(c));
  return v;
}

// Blocks of 16 x 16 cells with more than 50 cells of 19 or 20, as the game's coarse map counts them.
double obstructed_share(const WorldMap& m, int32_t z) {
  int32_t blocked = 0;
  for (int32_t by = 0; by < 64; ++by)
    for (int32_t bx = 0; bx < 64; ++bx) {
      int32_t n = 0;
      for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) n += peak(map_cell(m, bx * 16 + x, by * 16 + y, z));
      blocked += n >= 51;
    }
  return blocked / 4096.0;
}

double share(const WorldMap& m, int32_t z, bool (*test)(uint8_t)) {
  int64_t n = 0;
  for (int32_t y = 0; y < S; ++y)
    for (int32_t x = 0; x < S; ++x) n += test(map_cell(m, x, y, z));
  return double(n) / double(S * S);
}

// Fills the 4-connected cells of level z from (x, y) that lie in the box and
// pass the test, marking them in seen (one byte per box cell); visit sees each.
template <class Test, class Visit>
void flood(const WorldMap& m, int32_t z, int32_t x, int32_t y, const CellRect& box,
           std::vector<uint8_t>& seen, Test test, Visit visit) {
  auto mark = [&](int32_t cx, int32_t cy) -> bool {
    if (cx < box.x || cy < box.y || cx >= box.x + box.w || cy >= box.y + box.h) return false;
    uint8_t& s = seen[size_t(cy - box.y) * size_t(box.w) + size_t(cx - box.x)];
    if (s || !test(map_cell(m, cx, cy, z))) return false;
    s = 1;
    return true;
  };
  std::vector<std::pair<int32_t, int32_t>> stack;
  if (mark(x, y)) stack.push_back({x, y});
  while (!stack.empty()) {
    const auto [cx, cy] = stack.back();
    stack.pop_back();
    visit(cx, cy);
    for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}})
      if (mark(cx + dx, cy + dy)) stack.push_back({cx + dx, cy + dy});
  }
}
const CellRect kWhole{0, 0, S, S};

// Sizes of the 4-connected regions of cells passing the test, largest first.
std::vector<int32_t> regions(const WorldMap& m, int32_t z, bool (*test)(uint8_t)) {
  std::vector<uint8_t> seen(size_t(S) * S, 0);
  std::vector<int32_t> sizes;
  for (int32_t s = 0; s < S * S; ++s) {
    int32_t size = 0;
    flood(m, z, s % S, s / S, kWhole, seen, test, [&](int32_t, int32_t) { ++size; });
    if (size) sizes.push_back(size);
  }
  std::sort(sizes.rbegin(), sizes.rend());
  return sizes;
}

// Property checks, run on the default world and on another seed's.
void check_borders(const WorldMap& map) {
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t i = 0; i < S; ++i)
      for (auto [x, y] : {std::pair{i, 0}, std::pair{i, S - 1}, std::pair{0, i}, std::pair{S - 1, i}}) {
        const uint8_t c = map_cell(map, x, y, z);
        ASSERT_TRUE(water(c) || c == 61) << "level " << z << " cell " << x << "," << y << " holds " << int(c);
      }
}

void check_drawn_codes(const WorldMap& map) {
  bool present[256] = {};
  for (uint8_t c : map.cells) present[c] = true;
  for (uint8_t c : drawn_codes()) EXPECT_TRUE(present[c]) << "code " << int(c) << " appears nowhere";
}

void check_surface(const WorldMap& m) {
  const LevelStats s = level_stats(m.cells.data() + kMapLevelBytes);
  const double land = 1.0 - double(s.count[14] + s.count[15]) / (S * S);
  EXPECT_GT(land, 0.30);
  EXPECT_LT(land, 0.70);
  EXPECT_GT(s.count[15], 0);
  EXPECT_GT(s.count[14], 0);
  const std::vector<int32_t> masses = regions(m, 1, [](uint8_t c) { return !water(c); });
  ASSERT_GE(masses.size(), 2u) << "no islands";
  EXPECT_GT(masses[0], S * S / 10) << "no continent";
  // plains are the commonest land, and every kind of country is there
  for (int c : {11, 12, 13, 16, 17, 18, 19, 20, 21, 22, 23, 24}) {
    EXPECT_GT(s.count[10], s.count[c]) << "code " << c;
    EXPECT_GT(s.count[c], 0) << "code " << c;
  }
  for (int c : {191, 192, 193, 194}) EXPECT_GT(s.count[c], 0) << "code " << c;
}

void check_ranges(const WorldMap& map) {
  const double blocked = obstructed_share(map, 1);
  EXPECT_GE(blocked, 0.05);
  EXPECT_LE(blocked, 0.25);
  EXPECT_NEAR(level_stats(map.cells.data() + kMapLevelBytes).obstructed, blocked, 1e-9);
}

void check_roads(const WorldMap& m) {
  // flood over road, houses and wells from each well; count villages (wells with
  // at least three houses round them) reached
  std::vector<uint8_t> seen(size_t(S) * S, 0);
  int32_t best = 0;
  for (int32_t s = 0; s < S * S; ++s) {
    if (map_cell(m, s % S, s / S, 1) != 194) continue;
    int32_t wells = 0;
    flood(m, 1, s % S, s / S, kWhole, seen, settlement, [&](int32_t x, int32_t y) {
      if (map_cell(m, x, y, 1) != 194) return;
      int32_t houses = 0;
      for (int32_t dy = -3; dy <= 3; ++dy)
        for (int32_t dx = -3; dx <= 3; ++dx) {
          const uint8_t c = map_cell(m, x + dx, y + dy, 1);
          houses += c >= 180 && c <= 184;
        }
      wells += houses >= 3;
    });
    best = std::max(best, wells);
  }
  EXPECT_GE(best, 12);
}

void check_dungeons(const WorldMap& m) {
  ASSERT_GE(m.dungeons.size(), 12u);
  for (const CellRect& r : m.dungeons) {
    // the outer wall is whole but for doors; every enterable cell inside is
    // reached from the first door in the wall
    int32_t inside = 0, reached = 0, floors = 0, fittings = 0, door_x = -1, door_y = -1;
    for (int32_t y = r.y; y < r.y + r.h; ++y)
      for (int32_t x = r.x; x < r.x + r.w; ++x) {
        const uint8_t c = map_cell(m, x, y, 1);
        inside += enterable(c);
        floors += c == 60 || c == 68;
        fittings += c >= 76 && c != 161 && c != 162;
        if (x != r.x && y != r.y && x != r.x + r.w - 1 && y != r.y + r.h - 1) continue;
        ASSERT_TRUE(c == 61 || c == 70) << "gap in the wall at " << x << "," << y;
        if (c == 70 && door_x < 0) door_x = x, door_y = y;
      }
    ASSERT_GE(door_x, 0) << "no door";
    std::vector<uint8_t> seen(size_t(r.w) * size_t(r.h), 0);
    flood(m, 1, door_x, door_y, r, seen, enterable, [&](int32_t, int32_t) { ++reached; });
    EXPECT_GT(floors, 30);
    EXPECT_GE(fittings, 4);
    EXPECT_EQ(reached, inside) << "a dungeon at " << r.x << "," << r.y << " has cells cut off from its door";
  }
}

void check_rock_under_dungeons(const WorldMap& m) {
  for (const CellRect& r : m.dungeons)
    for (int32_t y = r.y; y < r.y + r.h; ++y)
      for (int32_t x = r.x; x < r.x + r.w; ++x) ASSERT_EQ(map_cell(m, x, y, 2), 61) << x << "," << y;
  // and under every dungeon cell found on the surface, whoever recorded it
  for (int32_t y = 0; y < S; ++y)
    for (int32_t x = 0; x < S; ++x) {
      const uint8_t c = map_cell(m, x, y, 1);
      if (c == 60 || c == 61 || c == 68 || c == 70) {
        ASSERT_EQ(map_cell(m, x, y, 2), 61) << x << "," << y;
      }
    }
}

void check_underworld(const WorldMap& m) {
  EXPECT_GE(share(m, 2, enterable), 0.30);
  // rock under most of the surface's land
  int64_t land = 0, rock = 0;
  for (int32_t y = 0; y < S; ++y)
    for (int32_t x = 0; x < S; ++x)
      if (!water(map_cell(m, x, y, 1))) {
        ++land;
        rock += map_cell(m, x, y, 2) == 61;
      }
  EXPECT_GT(double(rock) / double(land), 0.5);
  const LevelStats s = level_stats(m.cells.data() + 2 * kMapLevelBytes);
  for (int c : {60, 68, 14}) EXPECT_GT(s.count[c], 1000) << "code " << c;
  int64_t fittings = 0;
  for (int c : {78, 79, 90, 100, 128, 161, 162, 211, 212, 218, 219}) fittings += s.count[c];
  EXPECT_GT(fittings, 500);
  // the caves form networks, not just pockets
  const std::vector<int32_t> caves = regions(m, 2, enterable);
  EXPECT_GT(caves[0], S * S / 50);
}

void check_heights(const WorldMap& m) {
  EXPECT_GE(share(m, 0, enterable), 0.50);
  const LevelStats s = level_stats(m.cells.data());
  for (int c : {10, 17, 18, 13, 23, 14, 19, 20}) EXPECT_GT(s.count[c], 1000) << "code " << c;
  EXPECT_GT(s.count[61], 50);
  EXPECT_LT(s.count[61], S * S / 100);
}

void check_statistics(const WorldMap& m) {
  for (int32_t z = 0; z < 3; ++z) {
    const LevelStats s = level_stats(m.cells.data() + size_t(z) * kMapLevelBytes);
    int64_t total = 0;
    for (int64_t n : s.count) total += n;
    EXPECT_EQ(total, S * S);
    EXPECT_NEAR(s.enterable, share(m, z, enterable), 1e-9);
    EXPECT_NEAR(s.obstructed, obstructed_share(m, z), 1e-9);
  }
  const std::string report = stats_report(m);
  EXPECT_NE(report.find("level 0"), std::string::npos);
  EXPECT_NE(report.find("level 2"), std::string::npos);
  EXPECT_NE(report.find("code  22"), std::string::npos);
}

}  // namespace

// The default world, generated once per test program run.
class DefaultWorld : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { map_ = std::make_unique<WorldMap>(generate_map(kDefaultMapSeed)); }
  static void TearDownTestSuite() { map_.reset(); }
  static std::unique_ptr<WorldMap> map_;
};
std::unique_ptr<WorldMap> DefaultWorld::map_;

TEST_F(DefaultWorld, HoldsThreeLevelsAndIsTheSameOnEveryRun) {
  ASSERT_EQ(map_->cells.size(), 3145728u);
  EXPECT_TRUE(generate_map(kDefaultMapSeed).cells == map_->cells);
}
TEST_F(DefaultWorld, OutermostRowsAndColumnsAreWaterOrRock) { check_borders(*map_); }
TEST_F(DefaultWorld, EveryCodeTheOverworldDrawsIsPlaced) { check_drawn_codes(*map_); }
TEST_F(DefaultWorld, SurfaceIsContinentsAndIslandsOfVariedLand) { check_surface(*map_); }
TEST_F(DefaultWorld, MountainRangesObstructAFairShareOfCoarseBlocks) { check_ranges(*map_); }
TEST_F(DefaultWorld, RoadsJoinAtLeastTwelveVillages) { check_roads(*map_); }
TEST_F(DefaultWorld, DungeonsAreWalledRoomsReachableFromTheirDoor) { check_dungeons(*map_); }
TEST_F(DefaultWorld, RockLiesUnderEveryDungeon) { check_rock_under_dungeons(*map_); }
TEST_F(DefaultWorld, UnderworldIsRockCutByCaves) { check_underworld(*map_); }
TEST_F(DefaultWorld, HeightsAreHighGroundWithAFewRuins) { check_heights(*map_); }
TEST_F(DefaultWorld, StatisticsMatchTheCells) { check_statistics(*map_); }

TEST(OtherSeed, GivesAnotherWorldWithTheSameProperties) {
  const WorldMap m = generate_map(9);
  EXPECT_FALSE(m.cells == generate_map(kDefaultMapSeed).cells);
  SCOPED_TRACE("seed 9");
  check_borders(m);
  check_drawn_codes(m);
  check_surface(m);
  check_ranges(m);
  check_roads(m);
  check_dungeons(m);
  check_rock_under_dungeons(m);
  check_underworld(m);
  check_heights(m);
  check_statistics(m);
}

TEST(WorldMapFile, IsTheRawLevelsUnderMap8) {
  WorldMap m;
  m.cells.assign(kMapBytes, 0);
  m.cells[1049600] = 61;  // x 0, y 1, level 1
  m.cells[kMapBytes - 1] = 14;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("assetgen-map-" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(write_map(dir.string(), m, error)) << error;
  const std::filesystem::path file = dir / "map" / "8.overworld";
  ASSERT_EQ(std::filesystem::file_size(file), 3145728u);
  std::FILE* f = std::fopen(file.string().c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::vector<uint8_t> back(kMapBytes);
  EXPECT_EQ(std::fread(back.data(), 1, back.size(), f), back.size());
  std::fclose(f);
  EXPECT_TRUE(back == m.cells);
  std::filesystem::remove_all(dir);
}
