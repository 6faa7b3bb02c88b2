// Where F12 pictures go, and that each press adds a new file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "shell/game_fixture.h"
#include "shell/userfiles.h"

namespace fs = std::filesystem;

namespace {

struct EnvGuard {  // sets a variable, and puts back what it was
  std::string name;
  std::optional<std::string> old;
  EnvGuard(const char* n, const std::string& value) : name(n) {
    if (const char* o = std::getenv(n)) old = o;
    setenv(n, value.c_str(), 1);
  }
  ~EnvGuard() { old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str()); }
};

TEST(Screenshots, FolderFollowsTheUserDirectories) {
  const fs::path home = fs::temp_directory_path() / ("kv-home-" + std::to_string(getpid()));
  const struct {
    const char *pictures, *data_home;
    bool pictures_in_home;
    std::string want;
  } cases[] = {
      {"/somewhere/pics", "/data/home", true, "/somewhere/pics"},
      {"", "/data/home", false, "/data/home/kelvarot/screenshots"},  // empty counts as unset
      {"", "", false, (home / ".local/share/kelvarot/screenshots").string()},
      {"", "", true, (home / "Pictures").string()},
  };
  EnvGuard h("HOME", home.string());
  for (const auto& k : cases) {
    fs::remove_all(home);
    fs::create_directories(k.pictures_in_home ? home / "Pictures" : home);
    EnvGuard p("XDG_PICTURES_DIR", k.pictures), d("XDG_DATA_HOME", k.data_home);
    EXPECT_EQ(screenshot_folder(), k.want) << k.pictures << " " << k.data_home;
  }
  fs::remove_all(home);
}

TEST(Screenshots, F12WritesANewFileOnEveryPressIntoAFolderMadeOnDemand) {
  const fs::path top = fs::temp_directory_path() / ("kv-shots-" + std::to_string(getpid()));
  const fs::path dir = top / "a/b";
  EnvGuard p("XDG_PICTURES_DIR", dir.string());
  ScriptedGame s("1 key F12 down\n4 key F12 up\n6 tap F12\n");  // held, then pressed again
  s.run(3);
  auto count = [&] { return std::distance(fs::directory_iterator(dir), {}); };
  ASSERT_TRUE(fs::is_directory(dir));
  EXPECT_EQ(count(), 1);
  for (int n = 0; n < 3; ++n) EXPECT_NE(write_new_screenshot(dir.string(), s.g), "");
  s.run(5);
  EXPECT_EQ(count(), 5);  // all within a second or two: the names must still differ
  for (const auto& e : fs::directory_iterator(dir)) EXPECT_GT(fs::file_size(e.path()), 100u);
  EXPECT_EQ(write_new_screenshot("/proc/kelvarot-cannot-be-here", s.g), "");
  fs::remove_all(top);
}

}  // namespace
