#include "world/mapfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "e2e/harness.h"
#include "world/world.h"

namespace {

constexpr size_t kLevelBytes = 1024 * 1024, kMapBytes = 3 * kLevelBytes;

// Byte k of a test map; never 0, so a filled cell is told from an empty one.
uint8_t map_byte(size_t k) { return uint8_t(k % 251 + 1); }

std::string make_map(size_t n) {
  std::string s(n, '\0');
  for (size_t k = 0; k < n; ++k) s[k] = char(map_byte(k));
  return s;
}

TEST(MapFile, FillsAsFarAsTheFileGoesNeverPastTheGridAndIsNeverCreated) {
  World w;
  set_world_side(w, kWorldSide);
  ScratchDir dir;
  const std::string path = map_file_path(dir.path.string(), kMapNumber);
  EXPECT_EQ(path, dir / "map/8.overworld");
  std::filesystem::create_directories(dir / "map");
  for (size_t n : {size_t(1001), size_t(0), kMapBytes + 5000}) {
    create_world_grid(w);
    write_file(path, make_map(n));
    const size_t filled = std::min(n, kMapBytes);
    ASSERT_EQ(load_overworld_map(w, path, 3), int64_t(filled));
    // Up to the end of a level past the file's reach, which stays empty.
    size_t k = 0;
    while (k < kMapBytes + kLevelBytes && w.grid[k] == (k < filled ? map_byte(k) : 0)) ++k;
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
  EXPECT_EQ(small.grid[2879], map_byte(2879));
  EXPECT_EQ(load_overworld_map(small, path, 0), 0);
  // A missing file is not created, and a folder under the map's name is no map.
  std::filesystem::remove(path);
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "map"));
  std::filesystem::create_directory(path);
  EXPECT_EQ(load_overworld_map(w, path, 3), -1);
}

}  // namespace
