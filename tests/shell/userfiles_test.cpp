#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "shell/game_fixture.h"
#include "shell/userfiles.h"

namespace fs = std::filesystem;

namespace {

struct EnvGuard {
  std::string name;
  std::string old;
  bool had;
  EnvGuard(const char* n, const std::string& value) : name(n) {
    const char* o = std::getenv(n);
    had = o != nullptr;
    if (had) old = o;
    setenv(n, value.c_str(), 1);
  }
  ~EnvGuard() {
    if (had)
      setenv(name.c_str(), old.c_str(), 1);
    else
      unsetenv(name.c_str());
  }
};

TEST(Screenshots, FolderFollowsTheUserDirectories) {
  const fs::path home = fs::temp_directory_path() / ("kv-home-" + std::to_string(getpid()));
  fs::create_directories(home);
  EnvGuard h("HOME", home.string());
  {
    EnvGuard p("XDG_PICTURES_DIR", "/somewhere/pics");
    EXPECT_EQ(screenshot_folder(), "/somewhere/pics");
  }
  EnvGuard p("XDG_PICTURES_DIR", "");
  {
    EnvGuard d("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(screenshot_folder(), "/data/home/kelvarot/screenshots");
  }
  EnvGuard d("XDG_DATA_HOME", "");
  EXPECT_EQ(screenshot_folder(), home.string() + "/.local/share/kelvarot/screenshots");
  fs::create_directories(home / "Pictures");
  EXPECT_EQ(screenshot_folder(), (home / "Pictures").string());
  fs::remove_all(home);
}

TEST(Screenshots, F12WritesANewFileOnEveryPressAndNeverOverwrites) {
  const fs::path dir = fs::temp_directory_path() / ("kv-shots-" + std::to_string(getpid())) / "a/b";
  EnvGuard p("XDG_PICTURES_DIR", dir.string());
  // held F12 gives one picture; a second press another
  ScriptedGame sg("1 key F12 down\n4 key F12 up\n6 tap F12\n");
  sg.run(3);
  ASSERT_TRUE(fs::is_directory(dir));  // made on demand
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  // a file that already has the next name stays as it was
  std::ofstream(dir / "marker.png") << "mine";
  for (int n = 0; n < 3; ++n) {
    const std::string path = write_new_screenshot(dir.string(), sg.g());
    ASSERT_FALSE(path.empty());
    files.push_back(path);
  }
  sg.run(5);
  size_t count = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    ++count;
    if (e.path().filename() != "marker.png") {
      EXPECT_GT(fs::file_size(e.path()), 100u);
    }
  }
  EXPECT_EQ(count, 6u);  // marker + 1 + 3 + the second press
  std::ifstream marker(dir / "marker.png");
  std::string text;
  marker >> text;
  EXPECT_EQ(text, "mine");
  std::sort(files.begin(), files.end());
  EXPECT_EQ(std::unique(files.begin(), files.end()), files.end());
  fs::remove_all(dir.parent_path().parent_path());
}

TEST(Screenshots, AnUnwritableFolderFailsQuietly) {
  ScriptedGame sg("");
  EXPECT_EQ(write_new_screenshot("/proc/kelvarot-cannot-be-here", sg.g()), "");
}

}  // namespace
