// The line editor: Tab, the key map and its order, the limit, Enter, pauses and drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/game_fixture.h"

namespace {

// Pauses the player feels, in ms.
constexpr int64_t kTab = 400, kChar = 120, kEnter = 500, kToggle = 400;

void open_with(ScriptedGame& s, const char* line) {
  s.g.console.open = 1;
  std::snprintf(s.g.console.line, sizeof s.g.console.line, "%s", line);
  s.g.console.length = int32_t(std::strlen(line));
}

TEST(CommandLineEditor, KeysEditTheLineUpToItsLimitWithAPauseForEachChange) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz01234";  // 31 characters
  const struct {
    std::string script;
    int passes;
    std::string line;
    int64_t paused;
    int32_t limit = kLineLimit;
  } cases[] = {
      // letters, digits and spaces append
      {"0 tap TAB\n2 type env4 block9 0\n", 28, "env4 block9 0", kTab + 13 * kChar},
      // Shift gives only the capital and leaves digits alone
      {"0 tap TAB\n2 type EnV\n8 key SHIFT down\n8 key 5 down\n9 key 5 up\n9 key SHIFT up\n", 10,
       "EnV5", kTab + 4 * kChar},
      // the thirty-first character is refused without a pause
      {"0 tap TAB\n2 type " + alphabet + "\n", 64, alphabet.substr(0, 30), kTab + 30 * kChar},
      // Backspace removes the last character; on an empty line it does nothing and does not wait
      {"0 tap TAB\n2 type ab\n6 key BACKSPACE down\n9 key BACKSPACE up\n", 10, "",
       kTab + 4 * kChar},
      // keys held together all act, in the order Backspace, Space, letters a..z, digits
      {"0 tap TAB\n2 type xy\n6 key 1 down\n6 key B down\n6 key A down\n6 key SPACE down\n"
       "6 key BACKSPACE down\n",
       7, "x ab1", kTab + 7 * kChar},
      // any limit is capped to what the buffer holds
      {"0 tap TAB\n1 key Z down\n", 300, std::string(255, 'z'), kTab + 255 * kChar, 1000},
      {"0 tap TAB\n1 key Z down\n", 300, "zzz", kTab + 3 * kChar, 3},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.script);
    ScriptedGame s(k.script);
    s.g.console.max_chars = k.limit;
    s.place(1, 10, 10, 1);
    s.cell(10, 10, 1) = kTilePlain;
    s.console_passes(k.passes);
    EXPECT_EQ(std::string(s.g.console.line), k.line);
    EXPECT_EQ(s.g.console.length, int32_t(k.line.size()));
    EXPECT_EQ(s.paused(), k.paused);
    EXPECT_EQ(s.cell(10, 10, 1), kTilePlain);
  }
}

// Other keys held with Enter do nothing, and nothing is drawn while it is down.
TEST(CommandLineEditor, EnterActsAloneRunsTheLineKeepsItAndRunsItAgainWhileHeld) {
  ScriptedGame s(
      "0 key ENTER down\n0 key C down\n0 key BACKSPACE down\n1 key C up\n"
      "1 key BACKSPACE up\n3 key ENTER up\n");
  open_with(s, "screensavertoggle");
  s.g.run.screensaver = 5;  // anything but 0 counts as on
  std::snprintf(s.g.text.s, sizeof s.g.text.s, "untouched");
  for (int32_t on : {0, 1, 0, 0, 0}) {
    s.console_passes(1);
    EXPECT_EQ(s.g.run.screensaver, on) << "after pass " << s.g.run.frame - 1;
    if (s.g.run.frame <= 3) {
      EXPECT_STREQ(s.g.text.s, "untouched");
    }
  }
  EXPECT_STREQ(s.g.console.line, "screensavertoggle");
  EXPECT_EQ(s.paused(), 3 * (kEnter + kToggle));
}

TEST(CommandLineEditor, CaretShowsInTheFirstTenOfEveryTwentyFrames) {
  ScriptedGame s;
  open_with(s, "ab");
  for (int32_t frame : {0, 9, 10, 19, 20, 29, 30, 401}) {
    s.g.run.frame = frame;
    clear_pixels(s.g.fb);
    s.console_passes(1);
    const char* shown = frame % 20 < 10 ? "CMD:ab_" : "CMD:ab";
    EXPECT_STREQ(s.g.text.s, shown) << "frame " << frame;
    // the same text drawn by hand at the prompt's place, in white
    Framebuffer expected;
    set_resolution(expected, 640, 480);
    TextBuffer t;
    std::snprintf(t.s, sizeof t.s, "%s", shown);
    draw_large_text(expected, t, 14, 73, 255, 255, 255);
    EXPECT_EQ(s.g.fb.pixels, expected.pixels) << "frame " << frame;
  }
}

// A closed line takes no keys and is kept, not drawn, not run, and shown on
// reopening. Held, Tab flips the prompt on every pass, with a pause each time.
TEST(CommandLineEditor, TabClosesAndReopensTheLineKeptAsItWas) {
  ScriptedGame s(
      "0 tap TAB\n2 type env4block\n20 tap TAB\n22 type abc\n26 tap ENTER\n"
      "28 tap TAB\n30 key TAB down\n33 key TAB up\n");
  s.place(1, 10, 10, 1);
  s.cell(10, 10, 1) = kTilePlain;
  s.console_passes(21);
  EXPECT_EQ(s.g.console.open, 0);
  std::snprintf(s.g.text.s, sizeof s.g.text.s, "untouched");
  s.console_passes(7);
  EXPECT_STREQ(s.g.text.s, "untouched");
  EXPECT_EQ(s.cell(10, 10, 1), kTilePlain);
  s.console_passes(1);
  EXPECT_EQ(s.g.console.open, 1);
  EXPECT_STREQ(s.g.text.s, "CMD:env4block_");
  for (int32_t open : {1, 0, 1, 0, 0}) {  // after passes 29 to 33
    s.console_passes(1);
    EXPECT_EQ(s.g.console.open, open) << "after pass " << s.g.run.frame - 1;
  }
  EXPECT_EQ(s.paused(), 6 * kTab + 9 * kChar);
}

}  // namespace
