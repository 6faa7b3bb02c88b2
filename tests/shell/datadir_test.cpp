// The data folder is found from the program's folder in every install layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "shell/datadir.h"

namespace fs = std::filesystem;

TEST(DataDir, FirstLayoutHoldingDataWinsAndNoneNamesEveryFolder) {
  const fs::path root = fs::temp_directory_path() / ("kv-datadir-" + std::to_string(getpid()));
  struct Case {
    const char* exe;       // the program's folder under root
    const char* from_bin;  // the configured layout
    const char* data;      // where bmp_land/ is made ("" none)
    const char* found;     // expected, under root
    int looked_in_count;   // folders named when nothing is found
  } cases[] = {
      {"build", "../share/kelvarot", "build", "build", 0},
      {"usr/bin", "../share/kelvarot", "usr/share/kelvarot", "usr/share/kelvarot", 0},
      {"usr/games", "../share/kelvarot", "usr/share/games/kelvarot", "usr/share/games/kelvarot", 0},
      {"opt/k/bin", "../lib/k/data", "opt/k/lib/k/data", "opt/k/lib/k/data", 0},
      // beside the program beats an installed copy
      {"usr/bin", "../share/kelvarot", "usr/bin", "usr/bin", 0},
      {"usr/bin", "../share/kelvarot", "", "usr/bin", 3},
      {"opt/k/bin", "../lib/k/data", "", "opt/k/bin", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.exe) + " " + c.from_bin + " data in '" + c.data + "'");
    fs::remove_all(root);
    fs::create_directories(root / c.exe);
    if (*c.data) fs::create_directories(root / c.data / "bmp_land");
    std::string looked_in;
    const std::string found =
        find_data_dir(data_dir_candidates((root / c.exe).string() + "/", c.from_bin), &looked_in);
    EXPECT_EQ(fs::path(found), root / c.found);
    int named = looked_in.empty() ? 0 : 1;
    for (char ch : looked_in) named += ch == ',';
    EXPECT_EQ(named, c.looked_in_count) << looked_in;
  }
  fs::remove_all(root);
}
