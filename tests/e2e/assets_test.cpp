#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

// Every file and folder under dir, for comparing before and after a run.
std::vector<std::string> tree(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    out.push_back(fs::relative(e.path(), dir).string());
  std::sort(out.begin(), out.end());
  return out;
}

bool generator_exists() {
  const char* src = std::getenv("KV_SOURCE_DIR");
  return fs::exists(std::string(src ? src : "..") + "/tools/assetgen/CMakeLists.txt");
}

TEST(GameData, EmptyDataFolderRunsAndCreatesNothing) {
  ScratchDir dir;
  const fs::path data = dir.path / "data";
  fs::create_directory(data);
  const GameRun r = run_game({"--headless", "--frames", "3", "--data", data.string()}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(r.has_dump);
  EXPECT_EQ(r.dump["frame"].i(), 3);
  EXPECT_EQ(r.dump["bitmaps_loaded"].i(), 0);
  EXPECT_EQ(r.dump["map_loaded"].i(), 0);
  EXPECT_EQ(r.dump["paused_ms"].i(), 0);  // no map opened, so no pause after it
  EXPECT_NE(r.err.find("217 of 217 pictures failed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("bmp_cross/cross4.bmp"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("map/8.overworld is missing"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(data));
}

TEST(GameData, ExistingEmptyFoldersGetNoFiles) {
  // With the folders in place, a create-on-open would leave empty files behind.
  ScratchDir dir;
  const fs::path data = dir.path / "data";
  for (const char* sub : {"bmp_cross", "bmp_unit", "bmp_land", "bmp_dungeon", "bmp_structure",
                          "bmp_item", "bmp_scr", "bmp_cube", "map"})
    fs::create_directories(data / sub);
  const std::vector<std::string> before = tree(data);
  const GameRun r = run_game({"--headless", "--frames", "2", "--data", data.string()}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["bitmaps_loaded"].i(), 0);
  EXPECT_EQ(tree(data), before);
}

TEST(GameData, ShortMapFillsTheGridFromItsStart) {
  ScratchDir dir;
  const fs::path data = dir.path / "data";
  fs::create_directories(data / "map");
  // Up to and including x 0, y 1 of level 1; level 2 never arrives.
  std::string map(1049601, char(10));
  map[1049600] = char(61);
  map[0] = char(14);
  const std::string path = (data / "map/8.overworld").string();
  write_file(path, map);
  // Population works in columns 1..1022, so column 0 keeps what the map said.
  const GameRun r = run_game({"--headless", "--frames", "3", "--data", data.string(), "--probe",
                              "0,0,0", "--probe", "0,1,1", "--probe", "0,5,2"},
                             dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["map_loaded"].i(), 1049601);
  EXPECT_EQ(r.dump["paused_ms"].i(), 1000);
  EXPECT_NE(r.err.find("is short (1049601 of 3145728 bytes)"), std::string::npos) << r.err;
  const Json& p = r.dump["probes"];
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0]["code"].i(), 14);
  EXPECT_EQ(p[1]["code"].i(), 61);
  EXPECT_EQ(p[2]["code"].i(), 0);
  EXPECT_EQ(read_file(path), map);  // read, never written
}

TEST(GameData, GeneratedDataLoadsWhole) {
  if (!generator_exists()) GTEST_SKIP() << "no asset generator in this tree yet";
  ScratchDir dir;
  const GameRun r =
      run_game({"--headless", "--frames", "3", "--data", build_dir(), "--seed", "5"}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["bitmaps_loaded"].i(), 217);
  EXPECT_EQ(r.dump["map_loaded"].i(), 3145728);
  EXPECT_EQ(r.err.find("failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("map file"), std::string::npos) << r.err;
}

}  // namespace
