#include "world/mapfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "e2e/harness.h"
#include "world/world.h"

namespace {

constexpr size_t kLevelBytes = 1024 * 1024;
constexpr size_t kMapBytes = 3 * kLevelBytes;

// Byte k of a test map; never 0, so a filled cell is told from an empty one.
uint8_t map_byte(size_t k) { return uint8_t(k % 251 + 1); }

std::string make_map(size_t n) {
  std::string s(n, '\0');
  for (size_t k = 0; k < n; ++k) s[k] = char(map_byte(k));
  return s;
}

struct MapFile : ::testing::Test {
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
  }
  // First grid index below `to` not holding what a file of that many bytes put there (0 past it).
  size_t first_mismatch(size_t to, size_t file_bytes) const {
    for (size_t k = 0; k < to; ++k)
      if (w.grid[k] != (k < file_bytes ? map_byte(k) : 0)) return k;
    return to;
  }
  World w;
  ScratchDir dir;
  const std::string path = map_file_path(dir.path.string(), kMapNumber);
};

TEST_F(MapFile, FillsAsFarAsTheFileGoesUpToThreeLevelsAndOnlyReadsIt) {
  EXPECT_EQ(path, dir / "map/8.overworld");
  EXPECT_EQ(map_file_path("data", -3), "data/map/-3.overworld");
  std::filesystem::create_directories(dir / "map");
  // full, one level, odd, empty, longer than three levels
  for (size_t n : {kMapBytes, kLevelBytes, size_t(1001), size_t(0), kMapBytes + 5000}) {
    SCOPED_TRACE(n);
    create_world_grid(w);
    write_file(path, make_map(n));
    ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(std::min(n, kMapBytes)));
    const size_t upto = kMapBytes + kLevelBytes;  // a level past the file's reach stays empty
    EXPECT_EQ(first_mismatch(upto, std::min(n, kMapBytes)), upto);
    EXPECT_EQ(std::filesystem::file_size(path), n);
  }
  // Byte k is cell (k % 1024, k / 1024 % 1024) of level k / 2^20.
  EXPECT_EQ(cell_at(w, 5, 1, 1), map_byte(kLevelBytes + 1024 + 5));
  EXPECT_EQ(cell_at(w, 1023, 1023, 2), map_byte(kMapBytes - 1));
}

TEST_F(MapFile, MissingFileIsNotCreated) {
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);  // no map folder
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
  std::filesystem::create_directory(dir / "map");
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "map"));
  EXPECT_EQ(first_mismatch(kMapBytes, 0), kMapBytes);
  // A folder under the map's name cannot be read as a map.
  std::filesystem::create_directory(path);
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);
}

TEST(MapFileBounds, NeverWritesPastTheGrid) {
  World w;
  set_world_side(w, 4);  // 16 cells a level, 2880 in all: less than the file
  ScratchDir dir;
  write_file(dir / "big.overworld", make_map(5000));
  EXPECT_EQ(load_overworld_map(w, dir / "big.overworld", 3), -1);  // no grid yet
  create_world_grid(w);
  ASSERT_EQ(world_grid_bytes(w), 2880u);
  EXPECT_EQ(load_overworld_map(w, dir / "big.overworld", 1000), 2880);
  EXPECT_EQ(w.grid[2879], map_byte(2879));
  EXPECT_EQ(load_overworld_map(w, dir / "big.overworld", 0), 0);
}

}  // namespace
