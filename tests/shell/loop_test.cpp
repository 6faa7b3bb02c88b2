// The loop's key and mouse bindings, the notice line, the README's keys that act
// while typing, where F12 pictures go, and a window that cannot be made again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "e2e/harness.h"
#include "shell/game_fixture.h"
#include "shell/loop.h"
#include "shell/userfiles.h"

namespace fs = std::filesystem;

namespace {

TEST(LoopBindings, SelectionKeysLookAtTheUnitAndStopAtTheTableEnds) {
  ScriptedGame s("0 tap RBRACKET\n2 tap LBRACKET\n4 tap RBRACKET\n");
  RunState& run = s.g.run;
  s.place(2, 1020, 3, 2);
  s.run(1);  // navigation then pulls the view back inside
  EXPECT_EQ(std::tuple(run.selected_unit, run.SX, run.SY, run.SZ),
            std::tuple(2, 1024 - 640 / 16, 3, 2));
  run.selected_unit = 0;
  s.run(2);
  EXPECT_EQ(run.selected_unit, 0);
  run.selected_unit = kUnitTableSize - 1;
  s.run(2);
  EXPECT_EQ(run.selected_unit, kUnitTableSize - 1);
  EXPECT_EQ(s.paused(), 3 * 60);
}

TEST(LoopBindings, SpeedKeysLastOneWins) {
  ScriptedGame s("0 key 1 down\n0 key 3 down\n1 key 3 up\n2 key 1 up\n2 tap 2\n");
  EXPECT_FLOAT_EQ(s.g.run.tick_divisor, 30.0f);
  for (float divisor : {60.0f, 10.0f, 30.0f}) {
    s.run(1);
    EXPECT_FLOAT_EQ(s.g.run.tick_divisor, divisor);
  }
}

TEST(LoopBindings, ResolutionAndZoomKeysRecreateTheWindowAndHeldMMovesIt) {
  const struct {
    const char* script;
    int passes;
    int32_t width, height, zoom, window_w, window_h, moves;
  } cases[] = {
      {"1 tap F5\n", 2, 320, 240, 2, 640, 480, 0},
      {"0 tap F5\n0 tap F6\n", 1, 640, 480, 1, 640, 480, 0},         // both in one pass: F6 last
      {"0 tap F3\n", 1, 640, 480, 3, 1920, 1440, 0},                 // the picture keeps its size
      {"1 key M down\n4 key M up\n", 6, 640, 480, 2, 1280, 960, 3},  // on every pass held
  };
  for (const auto& k : cases) {
    ScriptedGame s(k.script);
    s.run(k.passes);
    EXPECT_EQ(std::tuple(s.g.fb.width, s.g.fb.height, s.g.run.zoom, s.display.last_w,
                         s.display.last_h, s.display.moves),
              std::tuple(k.width, k.height, k.zoom, k.window_w, k.window_h, k.moves))
        << k.script;
    EXPECT_EQ(s.g.fb.pixels.size(), size_t(k.width) * size_t(k.height) * 4u) << k.script;
  }
}

TEST(LoopBindings, LeftClickSelectsTheFirstRecordOnTheCellOnlyOutsideTheMinimapAndBlockView) {
  // The view starts at (0, 0), where records never placed stand too unless
  // moved off; the minimap's square at (518, 338) is dead strictly inside.
  const struct {
    const char* script;
    int passes;
    bool move_all_off;
    int32_t want;
  } cases[] = {
      {"0 pointer 5 5\n0 click left\n", 1, false, 0},      // record 0, even unused
      {"0 pointer 100 100\n0 click left\n", 1, true, 1},   // an empty cell keeps the selection
      {"0 pointer 519 339\n0 click left\n", 1, true, 1},   // inside the square, hidden or not
      {"0 pointer 518 339\n0 click left\n", 1, true, 40},  // its border: 40 before 41
      {"0 tap F5\n2 pointer 5 5\n2 click left\n", 3, false, 1},  // the block view
  };
  for (const auto& k : cases) {
    ScriptedGame s(k.script);
    s.g.run.SX = s.g.run.SY = s.g.run.minimap_shown = 0;
    for (int32_t i = 0; k.move_all_off && i < kUnitTableSize; ++i) unit(s.g.units, i).x = 1;
    s.place(40, 518 / 16, 339 / 16, 1);
    s.place(41, 518 / 16, 339 / 16, 1);
    s.run(k.passes);
    EXPECT_EQ(s.g.run.selected_unit, k.want) << k.script;
  }
}

TEST(LoopBindings, MinimapToggleMovesItsOriginAndPauses) {
  ScriptedGame s("0 pointer 12 34\n0 tap N\n");
  s.run(1);
  EXPECT_EQ(std::tuple(s.g.run.minimap_shown, s.g.run.minimap_x, s.g.run.minimap_y),
            std::tuple(0, 12, 34));
  EXPECT_EQ(s.paused(), 350);
}

TEST(ViewNavigation, ArrowsAndLevelsClampAtBothResolutions) {
  const struct {
    int32_t width, height, sx, sy, sz;
    const char* keys;
    int32_t want_sx, want_sy, want_sz;
    int64_t paused;
  } cases[] = {
      // clang-format off
      {640, 480, 0, 0, 0, "LEFT DOWN SUBTRACT", 0, 0, 0, 380},
      {640, 480, 984, 994, 179, "RIGHT UP ADD", 984, 994, 179, 380},
      {320, 240, 1004, 1009, 5, "RIGHT UP", 1004, 1009, 5, 0},
      {320, 240, 2000, -7, 300, "", 1004, 0, 179, 0},
      {640, 480, 10, 10, 10, "UP DOWN SUBTRACT", 10, 10, 9, 380},
      {640, 480, 10, 10, 10, "RIGHT UP ADD", 11, 11, 11, 380},
      // clang-format on
  };
  for (const auto& k : cases) {
    std::string script;
    std::istringstream words(k.keys);
    for (std::string w; words >> w;) script += "0 key " + w + " down\n";
    ScriptedGame s(script);
    set_resolution(s.g.fb, k.width, k.height);
    RunState& run = s.g.run;
    run.SX = k.sx, run.SY = k.sy, run.SZ = k.sz;
    s.input->begin_pass(0);
    view_navigation(run, s.g.platform, s.g.fb, kWorldSide);
    EXPECT_EQ(std::tuple(run.SX, run.SY, run.SZ, s.paused()),
              std::tuple(k.want_sx, k.want_sy, k.want_sz, k.paused))
        << k.keys;
  }
}

// A zoom key that fails to re-create the window ends the run after that pass,
// instead of going on blind; a failure at start is checked end to end.
TEST(WindowFailure, EndsTheRunWhenTheWindowCannotBeMadeAgain) {
  ScriptedGame s("2 tap F1\n");
  s.display.fail_create = true;
  EXPECT_EQ(s.run(100), 3);
  EXPECT_TRUE(s.g.window_failed);
  EXPECT_EQ(s.display.last_message, "Window Creation Error.");
}

TEST(LoopBindings, MinimapJumpRepeatsOnEveryPassWhileHeldOnlyWhenShown) {
  // pointer twelve pixels right of and above the origin; Right arrow held, so each
  // pass also moves the view by one
  for (int32_t shown : {1, 0}) {
    ScriptedGame sg(
        "0 pointer 530 350\n0 button right down\n0 key RIGHT down\n"
        "3 button right up\n");
    RunState& r = sg.g.run;
    r.minimap_shown = shown;
    const int32_t sx = r.SX, sy = r.SY;
    for (int32_t pass = 1; pass <= 3; ++pass) {
      sg.run(1);  // shown: jumped again, then stepped; hidden: stepped only
      EXPECT_EQ(std::pair(r.SX, r.SY), shown ? std::pair(12 * 16 + 1, 12 * 16)
                                             : std::pair(std::min(sx + pass, kWorldSide - 40), sy))
          << shown << " " << pass;
    }
    sg.run(2);  // released: only the arrow acts
    EXPECT_EQ(r.SX, shown ? 12 * 16 + 3 : std::min(sx + 5, kWorldSide - 40));
  }
}

// The notice line is the player's only hint of what the buttons do, so it
// must speak of the view on screen, and fit it.
TEST(Banner, NoticeLineTellsWhatTheShownViewsButtonsDoAndFitsThePicture) {
  const struct {
    int32_t screensaver, width, height;
    std::vector<std::string> says, never;
  } cases[] = {
      {0, 640, 480, {"Right click orders, left click selects, Escape quits"}, {}},
      {0, 320, 240, {"walks", "looks", "Escape"}, {"order", "select", "click"}},
      {1, 640, 480, {"order", "select", "Escape"}, {"walk", "look"}},
      {1, 320, 240, {"Escape"}, {"order", "select", "walk", "look"}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << "screensaver " << k.screensaver << ", " << k.width);
    ScriptedGame s;
    set_resolution(s.g.fb, k.width, k.height);
    s.g.run.screensaver = k.screensaver;
    const std::string text = notice_line(s.g.run, s.g.fb);
    for (const std::string& w : k.says) EXPECT_NE(text.find(w), std::string::npos) << w;
    for (const std::string& w : k.never) EXPECT_EQ(text.find(w), std::string::npos) << w;
    EXPECT_TRUE(k.width != 640 || k.screensaver != 0 || text == k.says[0]) << text;

    // drawn on a picture wide enough for any line, its ink stays inside the view
    Framebuffer wide;
    set_resolution(wide, 1280, k.height);
    TextBuffer t;
    text_print(t, "%s", text.c_str());
    draw_small_text(wide, t, 12, 14, 255, 255, 0);
    int32_t right = -1;
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < wide.width; ++x)
        if (wide.pixels[size_t(y * wide.width + x) * 4]) right = std::max(right, x);
    EXPECT_GT(right, 12);
    EXPECT_LT(right, k.width - 4) << "the line runs off the picture";

    // and the banner draws exactly that line
    clear_pixels(s.g.fb);
    draw_banner_and_status(s.g);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < k.width; ++x)
        ASSERT_EQ(s.g.fb.pixels[size_t(y * k.width + x) * 4], wide.pixels[size_t(y * 1280 + x) * 4])
            << x << "," << y;
  }
}

// What a pass can change outside the command line.
auto outside_the_line(ScriptedGame& s) {
  const RunState& r = s.g.run;
  const UnitRecord& u = unit(s.g.units, 1);
  return std::tuple(r.SX, r.SY, r.SZ, r.minimap_shown, r.minimap_x, r.minimap_y, r.tick_divisor,
                    r.quit, r.selected_unit, r.screensaver, u.x, u.y, u.target_x, u.target_y,
                    u.order_flag, u.fx, u.fy, s.display.moves);
}

// With the line open, each typeable key tapped in a pass of its own, in the
// view of that width; the keys whose pass changed anything outside the line.
std::set<char> acting_keys(int32_t width) {
  // taps on even passes from 2: no movement tick (divisor 45) nor wander order falls there
  std::string script;
  const std::string keys = "abcdefghijklmnopqrstuvwxyz0123456789 ";
  for (size_t i = 0; i < keys.size(); ++i)
    script += std::to_string(2 + 2 * i) +
              (keys[i] == ' ' ? " tap SPACE\n" : std::string(" type ") + keys[i] + "\n");
  ScriptedGame s(script);
  if (width != 640) set_resolution(s.g.fb, width, width * 3 / 4);
  s.g.console.open = 1;
  std::set<char> acting;  // the speed keys never set 45
  s.g.run.tick_divisor = 45.0f;
  s.run(2);
  for (char key : keys) {
    const auto before = outside_the_line(s);
    s.run(1);
    if (outside_the_line(s) != before) acting.insert(key);
    s.g.run.tick_divisor = 45.0f;
    s.run(1);  // the release
  }
  return acting;
}

TEST(Readme, KeysItSaysAlsoActWhileTypingAreExactlyThoseThatDo) {
  const std::string readme = read_file(std::string(KV_SOURCE_DIR) + "/README.md");
  const size_t from = readme.find("Typing also reaches");
  ASSERT_NE(from, std::string::npos);
  const std::string paragraph = readme.substr(from, readme.find("\n\n", from) - from);
  std::set<char> listed;
  for (size_t i = 0; i + 2 < paragraph.size(); ++i)
    if (paragraph[i] == '`' && paragraph[i + 2] == '`') listed.insert(paragraph[i + 1]);

  std::set<char> acting = acting_keys(640);
  acting.merge(acting_keys(320));
  EXPECT_EQ(listed, acting);
}

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
