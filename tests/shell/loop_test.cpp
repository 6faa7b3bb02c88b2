// The loop's keys and buttons, the banner, the README's keys acting while typing, F12's files.
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

#include "shell/game_fixture.h"
#include "shell/notice.h"
#include "shell/status.h"

namespace fs = std::filesystem;

namespace {

// What a pass can change, by name.
std::map<std::string, int64_t> observe(ScriptedGame& s, int passes) {
  const RunState& r = s.g.run;
  const NullDisplay& d = s.display;
  const UnitRecord& u = unit(s.g.units, 1);
  // clang-format off
  return {{"passes", passes}, {"sel", r.selected_unit}, {"SX", r.SX}, {"SY", r.SY}, {"SZ", r.SZ},
          {"divisor", int64_t(r.tick_divisor)}, {"width", s.g.fb.width},
          {"height", s.g.fb.height}, {"pixels", int64_t(s.g.fb.pixels.size())}, {"zoom", r.zoom},
          {"window_w", d.last_w}, {"window_h", d.last_h}, {"moves", d.moves},
          {"minimap", r.minimap_shown}, {"minimap_x", r.minimap_x}, {"minimap_y", r.minimap_y},
          {"paused", s.paused()}, {"failed", s.g.window_failed && !d.last_message.empty()},
          {"quit", r.quit}, {"screensaver", r.screensaver}, {"u1", u.x << 16 | u.y},
          {"u1_target", u.target_x << 16 | u.target_y}, {"u1_order", u.order_flag},
          {"u1_fx", int64_t(u.fx * 65536)}, {"u1_fy", int64_t(u.fy * 65536)}};
  // clang-format on
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
      // left selects the cell's first record, not in the minimap's square (hidden or not) nor
      // outside the overworld; an empty cell keeps the selection
      {"0 pointer 5 5\n0 click left", at_origin, 1, "sel=0"},  // record 0 too
      {"0 pointer 100 100\n0 click left", two_on_a_cell, 1, "sel=1"},
      {"0 pointer 519 339\n0 click left", two_on_a_cell, 1, "sel=1"},
      {"0 pointer 518 339\n0 click left", two_on_a_cell, 1, "sel=40"},
      {"0 tap F5\n2 pointer 5 5\n2 click left", at_origin, 3, "sel=1"},
      // right orders the selected unit to the cell, only in the overworld
      {"0 pointer 100 40\n0 click right", at_origin, 1, "u1_order=1 u1_target=393218"},
      {"0 tap F5\n2 pointer 100 40\n2 click right", at_origin, 3, "u1_order=0"},
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

// A run without --frames goes on for ever: past 2^31 passes it still counts and ticks.
TEST(LoopCounters, PassesPastTwoToTheThirtyFirstKeepCountingAndTicking) {
  for (const float divisor : {10.0f, 30.0f}) {
    ScriptedGame s;
    s.g.run.frame = INT32_MAX - 25, s.g.run.tick_divisor = divisor;
    s.run(60);
    EXPECT_EQ(std::tuple(s.g.run.frame, s.g.ticks.count),
              std::tuple(INT32_MAX + 35ll, 60 / divisor));
  }
}

// The notice line, the only hint of what the buttons do, speaks of the view shown and fits it.
TEST(Banner, NoticeLineTellsWhatTheShownViewsButtonsDoAndFitsThePicture) {
  const struct {
    int32_t screensaver, width;
    std::vector<std::string> says, never;
  } cases[] = {
      {0, 640, {"Right click orders, left click selects, F10 keys, Escape quits"}, {}},
      {0, 320, {"walks", "looks", "Esc"}, {"order", "select", "click"}},
      {1, 640, {"order", "select", "Escape"}, {"walk", "look"}},
      {1, 320, {"Esc"}, {"order", "select", "walk", "look"}},
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

    // the banner draws that line; its ink, drawn where the picture cannot cut it, fits the view
    Framebuffer wide;
    set_resolution(wide, 1280, s.g.fb.height);
    TextBuffer t;
    text_print(t, "%s", text.c_str());
    draw_small_text(wide, t, 12, 14, 255, 255, 0);
    clear_pixels(s.g.fb);
    draw_banner_and_status(s.g);
    int32_t right = -1;
    for (int32_t i = 0; i < 20 * wide.width; ++i) {
      const int32_t x = i % wide.width, y = i / wide.width;
      if (wide.pixels[size_t(i) * 4]) right = std::max(right, x);
      ASSERT_TRUE(x >= k.width ||
                  s.g.fb.pixels[size_t(y * k.width + x) * 4] == wide.pixels[size_t(i) * 4])
          << x << "," << y;
    }
    EXPECT_GT(right, 12);
    EXPECT_LT(right, k.width - 4) << "the line runs off the picture";
  }
}

// The typeable keys whose own pass, the line open, changes anything but the line and pauses.
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
    auto before = observe(s, 0), after = (s.run(1), observe(s, 0));
    before.erase("paused"), after.erase("paused");
    if (after != before) acting.insert(key);
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

// F12 writes a new file per press into the user's pictures folder, made on demand; with no
// home, where it cannot write, or in a replay, nothing, saying so.
TEST(Screenshots, F12WritesANewFileOnEveryPressIntoTheUsersPicturesFolder) {
  const fs::path top = fs::temp_directory_path() / ("kv-shots-" + std::to_string(getpid()));
  const std::string h = (top / "home").string(), pics = (top / "pics").string(),
                    data = (top / "data").string();
  const struct {
    std::string pictures, data_home;
    bool pictures_in_home;
    std::string user_dirs;  // ~/.config/user-dirs.dirs; empty: none
    std::string want;       // where the pictures go; empty: nowhere
    const char* says = "screenshot saved to ";
    bool home_set = true, replay = false;
    std::string home_as = "";  // HOME when not the usual one
  } cases[] = {
      {pics, data, true, "XDG_PICTURES_DIR=\"/x\"\n", pics},
      {"", data, false, "", data + "/kelvarot/screenshots"},  // empty is unset
      {"", "", false, "", h + "/.local/share/kelvarot/screenshots"},
      {"", "", true, "", h + "/Pictures"},
      {"", "", true, "# made by xdg-user-dirs\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", h + "/Bilder"},
      {"", "", false, "XDG_DESKTOP_DIR=\"$HOME/D\"\n  XDG_PICTURES_DIR=\"" + pics + "/\"\n", pics},
      {"", "", true, "XDG_PICTURES_DIR=\"$HOME/\"\n", h + "/Pictures"},  // disabled
      {"", "", true, "XDG_PICTURES_DIR=\"relative\"\n", h + "/Pictures"},
      {"relative", data, false, "", data + "/kelvarot/screenshots"},
      // no home: nowhere, least of all the current folder
      {"", data, false, "", "", "no screenshot: HOME is not set, nor XDG_PICTURES_DIR", false},
      {pics, "", false, "", pics, "saved to", false},
      {"/proc/kelvarot-cannot-be-here", "", false, "", "", "could not write a screenshot into"},
      {pics, "", false, "", "", "writes no screenshot (use --screenshot)", true, true},  // once
      {"", "", false, "XDG_PICTURES_DIR=\"$HOME/My \\\"Shots\\\"\" # ok\n", h + "/My \"Shots\""},
      {"", "", true, "XDG_PICTURES_DIR=\"$HOME\"\n", h + "/Pictures", "saved", true, false,
       h + "/"},
      {"", "", false, "XDG_PICTURES_DIR=\"$HOME/a/" + std::string(300, 'b') + "\"\n", "",
       "into"},  // no a/
      {"", "", false, "", "", "/homex' is not there", true, false, h + "x"},
  };
  EnvGuard config("XDG_CONFIG_HOME", "");
  for (const auto& k : cases) {
    fs::remove_all(top);
    fs::create_directories(top / "cwd");
    fs::create_directories(h + "/.config");
    if (k.pictures_in_home) fs::create_directories(h + "/Pictures");
    if (!k.user_dirs.empty()) std::ofstream(h + "/.config/user-dirs.dirs") << k.user_dirs;
    EnvGuard p("XDG_PICTURES_DIR", k.pictures.c_str()), d("XDG_DATA_HOME", k.data_home.c_str()),
        home("HOME", k.home_set ? (k.home_as.empty() ? h : k.home_as).c_str() : nullptr);
    const auto entries = [&] { return std::distance(fs::recursive_directory_iterator(top), {}); };
    const auto before = entries();
    // held over passes 1-3, then five presses within a second or two: the names still differ
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
    EXPECT_EQ(times, k.replay ? 1 : 6) << said;
    EXPECT_TRUE(fs::is_empty(top / "cwd"));
    std::error_code none;
    for (const auto& e : fs::directory_iterator(k.want.empty() ? pics : k.want, none)) {
      EXPECT_GT(fs::file_size(e.path()), 100u);
      ++written;
    }
    EXPECT_EQ(written, k.want.empty() ? 0 : 6) << said;
    EXPECT_TRUE(!k.want.empty() || entries() == before) << said;  // no folder made for nothing
  }
  fs::remove_all(top);
}

}  // namespace

// A notice holds the line for its passes, then the hints are back; F10's help is drawn over
// the picture while shown and changes nothing else.
TEST(Notice, ShowsForItsPassesAndTheHelpChangesOnlyThePicture) {
  ScriptedGame plain, help("3 key F10 down\n25 key F10 up\n40 key F10 down\n41 key F10 up");
  show_notice(plain.g, "saved");
  plain.run(kNoticePasses - 1);
  EXPECT_STREQ(notice_text(plain.g), "saved");
  plain.run(1);
  EXPECT_STREQ(notice_text(plain.g), notice_line(plain.g.run, plain.g.fb));
  ScriptedGame fresh;              // as plain, with no notice
  for (int pass : {10, 30, 50}) {  // shown while held, still shown, hidden
    help.run(pass - help.g.run.frame);
    fresh.run(pass - fresh.g.run.frame);
    EXPECT_EQ(help.g.screen.help_shown, pass < 50) << pass;
    EXPECT_EQ(help.g.fb.pixels != fresh.g.fb.pixels, pass < 50) << pass;
    for (int i = 0; i < 3; ++i) EXPECT_STREQ(help.g.status[i], fresh.g.status[i]) << pass;
  }
}
