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

class MapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    set_world_side(w, kWorldSide);
    create_world_grid(w);
  }
  void TearDown() override { release_world_grid(w); }

  std::string write_map(const std::string& bytes) {
    std::filesystem::create_directories(dir.path / "map");
    const std::string path = map_file_path(dir.path.string(), kMapNumber);
    write_file(path, bytes);
    return path;
  }
  // First index in [from, to) whose byte is not what the map put there (or 0 past its end).
  size_t first_mismatch(size_t from, size_t to, size_t file_bytes) const {
    for (size_t k = from; k < to; ++k)
      if (w.grid[k] != (k < file_bytes ? map_byte(k) : 0)) return k;
    return to;
  }

  World w;
  ScratchDir dir;
};

TEST(MapFilePath, NumberedFileInTheMapFolder) {
  EXPECT_EQ(map_file_path("/opt/kv", 8), "/opt/kv/map/8.overworld");
  EXPECT_EQ(map_file_path("data", -3), "data/map/-3.overworld");
}

TEST_F(MapFile, FillsAsFarAsTheFileGoesUpToThreeLevelsAndOnlyReadsIt) {
  // full, one level, odd, empty, longer than three levels
  for (size_t n : {kMapBytes, kLevelBytes, size_t(1001), size_t(0), kMapBytes + 5000}) {
    SCOPED_TRACE(n);
    release_world_grid(w);
    create_world_grid(w);
    const std::string path = write_map(make_map(n));
    const size_t got = std::min(n, kMapBytes);
    ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(got));
    EXPECT_EQ(first_mismatch(0, kMapBytes + kLevelBytes, got), kMapBytes + kLevelBytes);
    EXPECT_EQ(std::filesystem::file_size(path), n);
  }
  // Byte k is cell (k % 1024, k / 1024 % 1024) of level k / 2^20.
  EXPECT_EQ(cell_at(w, 5, 1, 1), map_byte(kLevelBytes + 1024 + 5));
  EXPECT_EQ(cell_at(w, 1023, 1023, 2), map_byte(kMapBytes - 1));
}

TEST_F(MapFile, MissingFileIsNotCreated) {
  const std::string in_missing_folder = map_file_path(dir.path.string(), kMapNumber);
  EXPECT_EQ(load_overworld_map(w, in_missing_folder, 3), -1);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));

  std::filesystem::create_directory(dir.path / "map");
  EXPECT_EQ(load_overworld_map(w, in_missing_folder, 3), -1);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path / "map"));
  EXPECT_EQ(first_mismatch(0, kMapBytes, 0), kMapBytes);

  // A folder under the map's name cannot be read as a map.
  std::filesystem::create_directory(in_missing_folder);
  EXPECT_EQ(load_overworld_map(w, in_missing_folder, 3), -1);
}

TEST(MapFileBounds, NeverWritesPastTheGrid) {
  // A small world so the whole grid is smaller than the file.
  World w;
  set_world_side(w, 4);  // 16 cells a level, 2880 in all
  ScratchDir dir;
  const std::string path = dir / "big.overworld";
  write_file(path, make_map(5000));
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);  // no grid yet
  create_world_grid(w);
  ASSERT_EQ(world_grid_bytes(w), 2880u);
  EXPECT_EQ(load_overworld_map(w, path, 1000), 2880);
  EXPECT_EQ(w.grid[2879], map_byte(2879));
  EXPECT_EQ(load_overworld_map(w, path, 0), 0);
}

}  // namespace
