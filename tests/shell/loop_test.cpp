// The loop's key and mouse bindings, the banner, the README's keys that act while typing,
// and where F12 pictures go.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "shell/game_fixture.h"
#include "shell/screenshot.h"
#include "shell/status.h"

namespace fs = std::filesystem;

namespace {

// What the bindings can change, by name.
std::map<std::string, int64_t> observe(ScriptedGame& s, int passes) {
  const RunState& r = s.g.run;
  return {{"passes", passes},
          {"sel", r.selected_unit},
          {"SX", r.SX},
          {"SY", r.SY},
          {"SZ", r.SZ},
          {"divisor", int64_t(r.tick_divisor)},
          {"width", s.g.fb.width},
          {"height", s.g.fb.height},
          {"pixels", int64_t(s.g.fb.pixels.size())},
          {"zoom", r.zoom},
          {"window_w", s.display.last_w},
          {"window_h", s.display.last_h},
          {"moves", s.display.moves},
          {"minimap", r.minimap_shown},
          {"minimap_x", r.minimap_x},
          {"minimap_y", r.minimap_y},
          {"paused", s.paused()},
          {"failed", s.g.window_failed && !s.display.last_message.empty()}};
}

using Prep = void (*)(ScriptedGame&);
void at_origin(ScriptedGame& s) { s.g.run.SX = s.g.run.SY = s.g.run.minimap_shown = 0; }
// Two records on the cell under (518, 339), the minimap square's corner, every other away.
void two_on_a_cell(ScriptedGame& s) {
  at_origin(s);
  for (int32_t i = 0; i < kUnitTableSize; ++i) unit(s.g.units, i).x = 1;
  s.place(40, 518 / 16, 339 / 16, 1);
  s.place(41, 518 / 16, 339 / 16, 1);
}
template <int32_t W, int32_t X, int32_t Y, int32_t Z>
void view_at(ScriptedGame& s) {
  if (W != 640) set_resolution(s.g.fb, W, W * 3 / 4);
  s.g.run.SX = X, s.g.run.SY = Y, s.g.run.SZ = Z;
}

TEST(LoopBindings, EachKeyAndButtonDoesWhatTheHelpSays) {
  const char* const jump =
      "0 pointer 530 350\n0 button right down\n0 key RIGHT down\n3 button right up\n";
  const char* const speeds = "0 key 1 down\n0 key 3 down\n1 key 3 up\n2 key 1 up\n2 tap 2\n";
  const struct {
    std::string script;
    Prep setup;
    int passes;
    const char* want;  // "name=value" of what the case is about
  } cases[] = {
      // clang-format off
      // [ and ] look at the unit, the view then pulled inside; they stop at the table's ends
      {"0 tap RBRACKET", [](ScriptedGame& s) { s.place(2, 1020, 3, 2); }, 1,
       "sel=2 SX=984 SY=3 SZ=2 paused=60"},
      {"0 tap LBRACKET", [](ScriptedGame& s) { s.g.run.selected_unit = 0; }, 1, "sel=0 paused=60"},
      {"0 tap RBRACKET", [](ScriptedGame& s) { s.g.run.selected_unit = 2999; }, 1, "sel=2999"},
      // the speed keys: the last one pressed in a pass wins
      {speeds, nullptr, 0, "divisor=30"}, {speeds, nullptr, 1, "divisor=60"},
      {speeds, nullptr, 2, "divisor=10"}, {speeds, nullptr, 3, "divisor=30"},
      // F5 and F6 change the picture and re-create the window (F6 last); F1-F4 only the window
      {"1 tap F5", nullptr, 2, "width=320 height=240 pixels=307200 zoom=2 window_w=640 window_h=480"},
      {"0 tap F5\n0 tap F6", nullptr, 1, "width=640 height=480 pixels=1228800 zoom=1 window_w=640"},
      {"0 tap F3", nullptr, 1, "width=640 zoom=3 window_w=1920 window_h=1440 moves=0"},
      {"1 key M down\n4 key M up", nullptr, 6, "moves=3 window_w=1280"},  // every pass held
      // a window that cannot be made again ends the run after that pass, and says why
      {"2 tap F1", [](ScriptedGame& s) { s.display.fail_create = true; }, 100, "passes=3 failed=1"},
      // the left button selects the first record on the cell, never inside the minimap's
      // square (hidden or not), only in the overworld; an empty cell keeps the selection
      {"0 pointer 5 5\n0 click left", at_origin, 1, "sel=0"},  // record 0 too
      {"0 pointer 100 100\n0 click left", two_on_a_cell, 1, "sel=1"},
      {"0 pointer 519 339\n0 click left", two_on_a_cell, 1, "sel=1"},
      {"0 pointer 518 339\n0 click left", two_on_a_cell, 1, "sel=40"},
      {"0 tap F5\n2 pointer 5 5\n2 click left", at_origin, 3, "sel=1"},
      // N shows or hides the minimap and moves it to the pointer
      {"0 pointer 12 34\n0 tap N", nullptr, 1, "minimap=0 minimap_x=12 minimap_y=34 paused=350"},
      // the right button on a shown minimap jumps on every pass held; the arrow steps after
      {jump, view_at<640, 100, 100, 1>, 1, "SX=193 SY=192"},
      {jump, view_at<640, 100, 100, 1>, 3, "SX=193 SY=192"},
      {jump, view_at<640, 100, 100, 1>, 5, "SX=195 SY=192"},
      {jump, [](ScriptedGame& s) { view_at<640, 100, 100, 1>(s), s.g.run.minimap_shown = 0; }, 3,
       "SX=103 SY=100"},
      // arrows and the keypad's + and - move the view, clamped inside the world at each size
      {"0 key LEFT down\n0 key DOWN down\n0 key SUBTRACT down", view_at<640, 0, 0, 0>, 1,
       "SX=0 SY=0 SZ=0 paused=380"},
      {"0 key RIGHT down\n0 key UP down\n0 key ADD down", view_at<640, 984, 994, 179>, 1,
       "SX=984 SY=994 SZ=179 paused=380"},
      {"0 key RIGHT down\n0 key UP down", view_at<320, 1004, 1009, 5>, 1, "SX=1004 SY=1009 SZ=5"},
      {"", view_at<320, 2000, -7, 300>, 1, "SX=1004 SY=0 SZ=179 paused=0"},
      {"0 key UP down\n0 key DOWN down\n0 key SUBTRACT down", view_at<640, 10, 10, 10>, 1,
       "SX=10 SY=10 SZ=9"},
      {"0 key RIGHT down\n0 key UP down\n0 key ADD down", view_at<640, 10, 10, 10>, 1,
       "SX=11 SY=11 SZ=11"},
      // clang-format on
  };
  for (const auto& k : cases) {
    ScriptedGame s(k.script + "\n");
    if (k.setup) k.setup(s);
    const auto seen = observe(s, s.run(k.passes));
    std::istringstream want(k.want);
    for (std::string item; want >> item;) {
      const std::string name = item.substr(0, item.find('='));
      EXPECT_EQ(seen.at(name), std::stoll(item.substr(name.size() + 1)))
          << name << " after " << k.passes << " passes of\n"
          << k.script;
    }
  }
}

// The notice line is the player's only hint of what the buttons do, so it must speak of the
// view on screen, and fit it.
TEST(Banner, NoticeLineTellsWhatTheShownViewsButtonsDoAndFitsThePicture) {
  const struct {
    int32_t screensaver, width;
    std::vector<std::string> says, never;
  } cases[] = {
      {0, 640, {"Right click orders, left click selects, Escape quits"}, {}},
      {0, 320, {"walks", "looks", "Escape"}, {"order", "select", "click"}},
      {1, 640, {"order", "select", "Escape"}, {"walk", "look"}},
      {1, 320, {"Escape"}, {"order", "select", "walk", "look"}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << "screensaver " << k.screensaver << ", " << k.width);
    ScriptedGame s;
    set_resolution(s.g.fb, k.width, k.width * 3 / 4);
    s.g.run.screensaver = k.screensaver;
    const std::string text = notice_line(s.g.run, s.g.fb);
    for (const std::string& w : k.says) EXPECT_NE(text.find(w), std::string::npos) << w;
    for (const std::string& w : k.never) EXPECT_EQ(text.find(w), std::string::npos) << w;
    EXPECT_TRUE(k.width != 640 || k.screensaver != 0 || text == k.says[0]) << text;

    // drawn on a picture wide enough for any line, its ink stays inside the view
    Framebuffer wide;
    set_resolution(wide, 1280, s.g.fb.height);
    TextBuffer t;
    text_print(t, "%s", text.c_str());
    draw_small_text(wide, t, 12, 14, 255, 255, 0);
    int32_t right = -1;
    for (int32_t i = 0; i < 20 * wide.width; ++i)
      if (wide.pixels[size_t(i) * 4]) right = std::max(right, i % wide.width);
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

// With the line open, each typeable key tapped in a pass of its own, in the view of that
// width; the keys whose pass changed anything outside the line.
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
  std::ifstream in(std::string(KV_SOURCE_DIR) + "/README.md");
  const std::string readme{std::istreambuf_iterator<char>(in), {}};
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

struct EnvGuard {  // sets a variable (nullptr: unsets it), and puts back what it was
  std::string name;
  std::optional<std::string> old;
  EnvGuard(const char* n, const char* value) : name(n) {
    if (const char* o = std::getenv(n)) old = o;
    value ? setenv(n, value, 1) : unsetenv(n);
  }
  ~EnvGuard() { old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str()); }
};

fs::path scratch(const char* what) {
  const fs::path p = fs::temp_directory_path() / (what + std::to_string(getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}

TEST(Screenshots, FolderFollowsTheUserDirectories) {
  const fs::path home = scratch("kv-home-");
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
  EnvGuard h_env("HOME", h.c_str()), c_env("XDG_CONFIG_HOME", "");
  for (const auto& k : cases) {
    fs::remove_all(home);
    fs::create_directories(home / ".config");
    if (k.pictures_in_home) fs::create_directories(home / "Pictures");
    if (!k.user_dirs.empty()) std::ofstream(home / ".config/user-dirs.dirs") << k.user_dirs;
    EnvGuard p("XDG_PICTURES_DIR", k.pictures), d("XDG_DATA_HOME", k.data_home),
        no_home("HOME", k.home_set ? h.c_str() : nullptr);
    EXPECT_EQ(screenshot_folder(), k.want) << k.pictures << " " << k.user_dirs;
  }
  fs::remove_all(home);
}

// F12 writes a new file on every press, never while held, into a folder made on demand;
// where it cannot, or in a replay, it writes nothing and says so.
TEST(Screenshots, F12WritesANewFileOnEveryPress) {
  const fs::path top = scratch("kv-shots-");
  const std::string dir = (top / "a/b").string();
  const struct {
    const char *pictures, *home;
    bool replay;
    int written;  // files in dir
    const char* says;
    int times;
  } cases[] = {
      // held over passes 1-3, then five presses within a second or two: the names still differ
      {dir.c_str(), "/", false, 6, "screenshot saved to ", 6},
      {"/proc/kelvarot-cannot-be-here", "/", false, 0, "could not write a screenshot into /proc/",
       6},
      {"", nullptr, false, 0, "no screenshot: HOME is not set", 6},  // nor the current folder
      {dir.c_str(), "/", true, 0, "writes no screenshot (use --screenshot)", 1},
  };
  for (const auto& k : cases) {
    fs::remove_all(top);
    fs::create_directories(top / "cwd");
    EnvGuard p("XDG_PICTURES_DIR", k.pictures), h("HOME", k.home);
    ScriptedGame s(
        "1 key F12 down\n4 key F12 up\n6 tap F12\n8 tap F12\n10 tap F12\n"
        "12 tap F12\n14 tap F12\n");
    if (k.replay) s.session.opt.script = "in.txt";
    const fs::path here = fs::current_path();
    fs::current_path(top / "cwd");
    testing::internal::CaptureStderr();
    s.run(16);
    const std::string said = testing::internal::GetCapturedStderr();
    fs::current_path(here);
    int times = 0, written = 0;
    for (size_t at = 0; (at = said.find(k.says, at)) != std::string::npos; ++at) ++times;
    EXPECT_EQ(times, k.times) << said;
    EXPECT_TRUE(fs::is_empty(top / "cwd"));
    std::error_code none;
    for (const auto& e : fs::directory_iterator(dir, none)) {
      EXPECT_GT(fs::file_size(e.path()), 100u);
      ++written;
    }
    EXPECT_EQ(written, k.written) << k.pictures;
  }
  fs::remove_all(top);
}

}  // namespace
