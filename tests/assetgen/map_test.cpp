// The world map: format, determinism, the world each level must be, and its statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "assetgen/output.h"
#include "assetgen/worldgen.h"
#include "e2e/harness.h"
#include "world/mapfile.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {
constexpr int32_t S = 1024;

bool water(uint8_t c) { return c == 14 || c == 15; }
bool land(uint8_t c) { return !water(c); }
bool house(uint8_t c) { return c >= 180 && c <= 184; }
bool settlement(uint8_t c) { return c == 22 || c == 194 || house(c); }

// The 4-connected regions of the cells of level z inside the box that pass the
// test: label[i] names box cell i's region (0: none), size[r] counts region r.
struct Regions {
  std::vector<int32_t> label, size{0};
};
Regions regions(const WorldMap& m, int32_t z, bool (*test)(uint8_t), CellRect box = {0, 0, S, S}) {
  Regions r;
  r.label.assign(size_t(box.w) * size_t(box.h), 0);
  std::vector<int32_t> todo;
  // Adds box cell (x, y) to region id when it is free and passes the test.
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

LevelStats stats(const WorldMap& m, int32_t z) {
  return level_stats(m.cells.data() + size_t(z) * kMapLevelBytes);
}

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

void check_surface(const WorldMap& m) {
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
}

void check_roads(const WorldMap& m) {
  // villages (wells with at least three houses round them) per network of road,
  // houses and wells
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
    // the outer wall is whole but for doors; every enterable cell inside is
    // reached from a door in the wall
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

void check_underworld(const WorldMap& m) {
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
}

void check_heights(const WorldMap& m) {
  const LevelStats s = stats(m, 0);
  EXPECT_GE(s.enterable, 0.50);
  for (int c : {10, 17, 18, 13, 23, 14, 19, 20}) EXPECT_GT(s.count[c], 1000) << "code " << c;
  EXPECT_TRUE(s.count[61] > 50 && s.count[61] < S * S / 100) << s.count[61];
}

}  // namespace

TEST(WorldMap, EachSeedGivesItsOwnWorldWithEveryProperty) {
  const WorldMap first = generate_map(kDefaultMapSeed);
  ASSERT_EQ(first.cells.size(), kMapBytes);
  EXPECT_TRUE(generate_map(kDefaultMapSeed).cells == first.cells) << "not the same on every run";
  const WorldMap other = generate_map(9);
  EXPECT_FALSE(other.cells == first.cells);
  const struct {
    const char* name;
    void (*check)(const WorldMap&);
  } checks[] = {{"borders and codes", check_borders_and_drawn_codes},
                {"surface", check_surface},
                {"roads", check_roads},
                {"dungeons", check_dungeons},
                {"underworld", check_underworld},
                {"heights", check_heights}};
  for (const WorldMap* m : {&first, &other})
    for (const auto& c : checks) {
      SCOPED_TRACE(::testing::Message() << (m == &first ? "default seed, " : "seed 9, ") << c.name);
      c.check(*m);
    }
  // the --stats report names each level and gives its cells per code
  const std::string report = stats_report(first), walls = std::to_string(stats(first, 2).count[61]);
  for (const std::string& part : {std::string("level 0"), std::string("level 2"), walls})
    EXPECT_NE(report.find(part), std::string::npos) << part;
}

// The report of `assetgen --stats`, level 1's share of water read off its lines.
TEST(WorldMap, StatsReportShowsASurfaceOfMostlyLand) {
  const char* build = std::getenv("KV_BUILD_DIR");
  const std::string command = std::string(build ? build : ".") + "/assetgen --stats";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  int level = -1, codes_seen = 0;
  double water = 0;
  for (char line[256]; std::fgets(line, sizeof line, pipe);) {
    int code = 0;
    long long cells = 0;
    double percent = 0;
    if (std::sscanf(line, "level %d", &level) == 1) continue;
    if (level != 1 || std::sscanf(line, " code %d %lld cells %lf%%", &code, &cells, &percent) != 3)
      continue;
    ++codes_seen;
    if (code == 14 || code == 15) water += percent;
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  EXPECT_GT(codes_seen, 20) << "no code lines for level 1";
  EXPECT_TRUE(water >= 10.0 && water <= 30.0) << water << "% of level 1 is water";
}

// Where the game reads it, the levels one after the other as they are held.
TEST(WorldMapFile, IsTheRawLevelsWhereTheGameReadsTheMap) {
  WorldMap m;
  m.cells.resize(kMapBytes);
  std::iota(m.cells.begin(), m.cells.end(), uint8_t(0));
  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(write_map(dir.path.string(), m, error)) << error;
  EXPECT_TRUE(read_file(map_file_path(dir.path.string(), kMapNumber)) ==
              std::string(m.cells.begin(), m.cells.end()));
}

TEST(LevelStats, BlocksObstructFromTheirFiftyFirstPeakAndCodesUpToFiveAndWallsBar) {
  std::vector<uint8_t> level(kMapLevelBytes, 10);
  // block (0, 0): 50 cells of 19 and 20; block (5, 7): 51; block (63, 63): walls,
  // which never obstruct; the last row: every code once
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
