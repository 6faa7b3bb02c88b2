// The data folder is found from the program's folder in every install layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "shell/datadir.h"

namespace fs = std::filesystem;

TEST(DataDir, FirstLayoutHoldingDataWinsAndNoneNamesEveryFolder) {
  const fs::path root = fs::temp_directory_path() / ("kv-datadir-" + std::to_string(getpid()));
  // the program's folder, the configured layout, where bmp_land/ is made ("" none), the folder
  // found (all under root), and how many folders are named when none holds data
  const std::tuple<const char*, const char*, const char*, const char*, int> cases[] = {
      {"build", "../share/kelvarot", "build", "build", 0},
      {"usr/bin", "../share/kelvarot", "usr/share/kelvarot", "usr/share/kelvarot", 0},
      {"usr/games", "../share/kelvarot", "usr/share/games/kelvarot", "usr/share/games/kelvarot", 0},
      {"opt/k/bin", "../lib/k/data", "opt/k/lib/k/data", "opt/k/lib/k/data", 0},
      // beside the program beats an installed copy
      {"usr/bin", "../share/kelvarot", "usr/bin", "usr/bin", 0},
      {"usr/bin", "../share/kelvarot", "", "usr/bin", 3},
      {"opt/k/bin", "../lib/k/data", "", "opt/k/bin", 4},
  };
  for (auto [exe, from_bin, data, want, looked_in_count] : cases) {
    SCOPED_TRACE(std::string(exe) + " " + from_bin + " data in '" + data + "'");
    fs::remove_all(root);
    fs::create_directories(root / exe);
    if (*data) fs::create_directories(root / data / "bmp_land");
    std::string looked_in;
    const std::string found =
        find_data_dir(data_dir_candidates((root / exe).string() + "/", from_bin), &looked_in);
    EXPECT_EQ(fs::path(found), root / want);
    int named = looked_in.empty() ? 0 : 1;
    for (char ch : looked_in) named += ch == ',';
    EXPECT_EQ(named, looked_in_count) << looked_in;
  }
  fs::remove_all(root);
}
