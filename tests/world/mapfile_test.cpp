#include "world/mapfile.h"

#include <gtest/gtest.h>

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

TEST_F(MapFile, FullFileFillsLevelsZeroToTwo) {
  std::string bytes = make_map(kMapBytes);
  bytes[1049600] = char(61);
  const std::string path = write_map(bytes);
  ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(kMapBytes));
  EXPECT_EQ(cell_at(w, 0, 1, 1), 61);  // a wall at x 0, y 1 on level 1
  EXPECT_EQ(first_mismatch(0, 1049600, kMapBytes), 1049600u);
  // Level 3 is not part of the map.
  EXPECT_EQ(first_mismatch(1049601, kMapBytes + kLevelBytes, kMapBytes), kMapBytes + kLevelBytes);
  // The file is only read.
  EXPECT_EQ(std::filesystem::file_size(path), kMapBytes);
}

TEST_F(MapFile, ShortFileFillsAsFarAsItGoes) {
  const std::string path = write_map(make_map(kLevelBytes));
  ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(kLevelBytes));
  EXPECT_EQ(first_mismatch(0, kMapBytes, kLevelBytes), kMapBytes);  // levels 1 and 2 stay empty

  const std::string odd = write_map(make_map(1001));
  release_world_grid(w);
  create_world_grid(w);
  ASSERT_EQ(load_overworld_map(w, odd, 3), 1001);
  EXPECT_EQ(first_mismatch(0, 4096, 1001), 4096u);

  const std::string empty = write_map("");
  EXPECT_EQ(load_overworld_map(w, empty, 3), 0);
}

TEST_F(MapFile, LongFileGivesOnlyItsFirstThreeLevels) {
  const std::string path = write_map(make_map(kMapBytes + 5000));
  ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(kMapBytes));
  EXPECT_EQ(first_mismatch(kMapBytes - 4096, kMapBytes + 8192, kMapBytes), kMapBytes + 8192);
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
