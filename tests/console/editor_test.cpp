// The line editor: Tab, the key map and its order, the limit, pauses and drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "console/console_rig.h"

namespace {

// Pauses the player feels, in ms.
constexpr int64_t kTab = 400, kChar = 120, kEnter = 500, kToggle = 400;

void open_with(ConsoleRig& r, const char* line) {
  r.console.open = 1;
  std::snprintf(r.console.line, sizeof r.console.line, "%s", line);
  r.console.length = int32_t(std::strlen(line));
}

TEST(CommandLineTab, FlipsTheOpenFlagOncePerPassHeldWithAPause) {
  ConsoleRig r("0 tap TAB\n2 tap TAB\n4 key TAB down\n7 key TAB up\n");
  r.passes(1);
  EXPECT_EQ(r.console.open, 1);
  EXPECT_EQ(r.paused(), kTab);
  r.passes(2);
  EXPECT_EQ(r.console.open, 0);
  EXPECT_EQ(r.paused(), 2 * kTab);
  r.passes(2);  // held from pass 4: opens, then closes again the next pass
  EXPECT_EQ(r.console.open, 1);
  r.passes(1);
  EXPECT_EQ(r.console.open, 0);
  r.passes(1);
  EXPECT_EQ(r.console.open, 1);
  r.passes(3);
  EXPECT_EQ(r.console.open, 1);
  EXPECT_EQ(r.paused(), 5 * kTab);
}

TEST(CommandLineTab, AnyOtherOpenValueClosesAndDoesNotEdit) {
  ConsoleRig r("0 key A down\n");
  r.console.open = 7;
  r.passes(1);
  EXPECT_STREQ(r.console.line, "");  // the editor runs only for exactly 1
  r.use_script("1 tap TAB\n");
  r.console.open = 7;
  r.passes(1);
  EXPECT_EQ(r.console.open, 0);
}

TEST(CommandLineEditor, ClosedLineTakesNoKeysDrawsNothingAndRunsNothing) {
  ConsoleRig r("0 type abc\n10 tap ENTER\n");
  r.place_unit1(10, 10, 1);
  std::snprintf(r.text.s, sizeof r.text.s, "untouched");
  r.passes(12);
  EXPECT_STREQ(r.console.line, "");
  EXPECT_EQ(r.console.length, 0);
  EXPECT_STREQ(r.text.s, "untouched");
  EXPECT_EQ(r.paused(), 0);
  EXPECT_EQ(r.console.entered, 0);
}

TEST(CommandLineEditor, KeysEditTheLineWithAPauseForEachChange) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz01234";  // 31 characters
  const struct {
    std::string script;
    int passes;
    std::string line;
    int64_t paused;
  } cases[] = {
      // letters, digits and spaces append
      {"0 tap TAB\n2 type env4 block9 0\n", 28, "env4 block9 0", kTab + 13 * kChar},
      // Shift gives only the capital and leaves digits alone
      {"0 tap TAB\n2 type EnV\n8 key SHIFT down\n8 key 5 down\n9 key 5 up\n9 key SHIFT up\n", 10,
       "EnV5", kTab + 4 * kChar},
      // the thirty-first character is refused without a pause
      {"0 tap TAB\n2 type " + alphabet + "\n", 64, alphabet.substr(0, 30), kTab + 30 * kChar},
      // Backspace removes the last character; on an empty line it does nothing and does not wait
      {"0 tap TAB\n2 type ab\n6 key BACKSPACE down\n7 key BACKSPACE up\n", 8, "a",
       kTab + 3 * kChar},
      {"0 tap TAB\n2 type ab\n6 key BACKSPACE down\n9 key BACKSPACE up\n", 10, "",
       kTab + 4 * kChar},
      // keys held together all act, in the order Backspace, Space, letters a..z, digits
      {"0 tap TAB\n2 type xy\n6 key 1 down\n6 key B down\n6 key A down\n6 key SPACE down\n"
       "6 key BACKSPACE down\n",
       7, "x ab1", kTab + 7 * kChar},
      // a line of spaces runs nothing when entered
      {"0 tap TAB\n2 type    \n10 tap ENTER\n", 11, "   ", kTab + 3 * kChar + kEnter},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.script);
    ConsoleRig r(k.script);
    r.place_unit1(10, 10, 1);
    r.cell(10, 10, 1) = kTilePlain;
    r.passes(k.passes);
    EXPECT_EQ(std::string(r.console.line), k.line);
    EXPECT_EQ(r.console.length, int32_t(k.line.size()));
    EXPECT_EQ(r.console.line[k.line.size()], '\0');
    EXPECT_EQ(r.paused(), k.paused);
    EXPECT_EQ(r.cell(10, 10, 1), kTilePlain);
  }
}

TEST(CommandLineEditor, AnyLimitIsCappedToWhatTheBufferHolds) {
  ConsoleRig r("0 tap TAB\n1 key Z down\n");
  r.console.max_chars = 1000;
  r.passes(300);
  EXPECT_EQ(r.console.length, 255);
  EXPECT_EQ(std::string(r.console.line), std::string(255, 'z'));
  EXPECT_EQ(r.console.line[255], '\0');
  EXPECT_EQ(r.paused(), kTab + 255 * kChar);

  ConsoleRig small("0 tap TAB\n1 key Z down\n");
  small.console.max_chars = 3;
  small.passes(10);
  EXPECT_STREQ(small.console.line, "zzz");
}

TEST(CommandLineEditor, EnterActsAloneRunsTheLineAndKeepsIt) {
  ConsoleRig r("0 key ENTER down\n0 key C down\n0 key BACKSPACE down\n1 key ENTER up\n");
  r.place_unit1(10, 10, 1);
  open_with(r, "env4block");
  std::snprintf(r.text.s, sizeof r.text.s, "untouched");
  r.passes(1);
  EXPECT_STREQ(r.console.line, "env4block");
  EXPECT_EQ(r.console.entered, 0);
  EXPECT_EQ(r.cell(10, 10, 1), kTileBlock);
  EXPECT_EQ(r.paused(), kEnter);
  EXPECT_STREQ(r.text.s, "untouched");  // not drawn in the pass Enter is seen
}

TEST(CommandLineEditor, EnterHeldRunsTheLineAgainEveryPass) {
  ConsoleRig r("0 key ENTER down\n3 key ENTER up\n");
  open_with(r, "screensavertoggle");
  r.passes(1);
  EXPECT_EQ(r.run.screensaver, 1);
  r.passes(1);
  EXPECT_EQ(r.run.screensaver, 0);
  r.passes(1);
  EXPECT_EQ(r.run.screensaver, 1);
  r.passes(2);
  EXPECT_EQ(r.run.screensaver, 1);
  EXPECT_EQ(r.paused(), 3 * (kEnter + kToggle));
}

TEST(CommandLineEditor, CaretShowsInTheFirstTenOfEveryTwentyFrames) {
  ConsoleRig r;
  open_with(r, "ab");
  for (int32_t frame : {0, 9, 10, 19, 20, 29, 30, 401}) {
    r.run.frame = frame;
    clear_pixels(r.fb);
    r.passes(1);
    const bool caret = frame % 20 < 10;
    EXPECT_STREQ(r.text.s, caret ? "CMD:ab_" : "CMD:ab") << "frame " << frame;

    // the same text drawn by hand at the prompt's place, in white
    Framebuffer expected;
    set_resolution(expected, 640, 480);
    TextBuffer t;
    std::snprintf(t.s, sizeof t.s, "%s", caret ? "CMD:ab_" : "CMD:ab");
    draw_large_text(expected, t, 14, 73, 255, 255, 255);
    EXPECT_EQ(r.fb.pixels, expected.pixels) << "frame " << frame;
  }
}

TEST(CommandLineEditor, TheLineSurvivesClosingAndIsShownOnReopening) {
  ConsoleRig r("0 tap TAB\n2 type hi\n6 tap TAB\n8 tap TAB\n");
  r.passes(7);
  EXPECT_EQ(r.console.open, 0);
  std::snprintf(r.text.s, sizeof r.text.s, "untouched");
  r.passes(1);
  EXPECT_STREQ(r.text.s, "untouched");
  r.passes(1);
  EXPECT_EQ(r.console.open, 1);
  EXPECT_STREQ(r.console.line, "hi");
  EXPECT_STREQ(r.text.s, "CMD:hi_");
}

}  // namespace
