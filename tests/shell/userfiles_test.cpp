// Where F12 pictures go, and that each press adds a new file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
  const std::string h = home.string();
  const struct {
    const char *pictures, *data_home;
    bool pictures_in_home;
    std::string user_dirs;  // ~/.config/user-dirs.dirs; empty: none
    bool home_set;
    std::string want;
  } cases[] = {
      {"/somewhere/pics", "/data/home", true, "XDG_PICTURES_DIR=\"/x\"\n", true, "/somewhere/pics"},
      {"", "/data/home", false, "", true, "/data/home/kelvarot/screenshots"},  // empty is unset
      {"", "", false, "", true, h + "/.local/share/kelvarot/screenshots"},
      {"", "", true, "", true, h + "/Pictures"},
      {"", "", true, "# made by xdg-user-dirs\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", true,
       h + "/Bilder"},
      {"", "", false, "XDG_DESKTOP_DIR=\"$HOME/D\"\n  XDG_PICTURES_DIR=\"/srv/pics/\"\n", true,
       "/srv/pics"},
      {"", "", true, "XDG_PICTURES_DIR=\"$HOME/\"\n", true, h + "/Pictures"},  // disabled
      {"", "", true, "XDG_PICTURES_DIR=\"relative\"\n", true, h + "/Pictures"},
      {"relative", "/data/home", false, "", true, "/data/home/kelvarot/screenshots"},
      {"", "/data/home", false, "", false, ""},  // no home: nowhere, not the current folder
      {"/somewhere/pics", "", false, "", false, "/somewhere/pics"},
  };
  EnvGuard h_env("HOME", h), c_env("XDG_CONFIG_HOME", "");
  for (const auto& k : cases) {
    fs::remove_all(home);
    fs::create_directories(home / ".config");
    if (k.pictures_in_home) fs::create_directories(home / "Pictures");
    if (!k.user_dirs.empty()) std::ofstream(home / ".config/user-dirs.dirs") << k.user_dirs;
    EnvGuard p("XDG_PICTURES_DIR", k.pictures), d("XDG_DATA_HOME", k.data_home);
    if (!k.home_set) unsetenv("HOME");
    EXPECT_EQ(screenshot_folder(), k.want) << k.pictures << " " << k.user_dirs;
    setenv("HOME", h.c_str(), 1);
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

  // with no home folder F12 writes nothing, least of all into the current folder
  const fs::path here = fs::current_path();
  fs::create_directories(top / "cwd");
  fs::current_path(top / "cwd");
  EnvGuard no_pictures("XDG_PICTURES_DIR", ""), home("HOME", "");
  unsetenv("HOME");
  ScriptedGame homeless("0 tap F12\n");
  homeless.run(2);
  fs::current_path(here);
  EXPECT_TRUE(fs::is_empty(top / "cwd"));
  fs::remove_all(top);
}

}  // namespace
