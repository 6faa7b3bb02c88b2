// The command line: the editor's keys, pauses and drawing; the entered line's
// words and numbers, and what each command does.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "shell/game_fixture.h"
#include "views/screensaver.h"

namespace {

using Where = std::tuple<int32_t, int32_t, int32_t>;

Where unit1_at(ScriptedGame& s) {
  const UnitRecord& u = unit(s.g.units, 1);
  return {u.x, u.y, u.level};
}

// A line that does nothing says why (on the notice line), with `says` in it; one that acts, "".
void run_saying(ScriptedGame& s, const std::string& line, const char* says) {
  s.g.console.said.clear();
  s.run_line(line);
  if (!*says) EXPECT_EQ(s.g.console.said, "") << line;
  else EXPECT_NE(s.g.console.said.find(says), std::string::npos) << line << s.g.console.said;
}

TEST(CommandLineWords, SplitAtDelimiterRunsIntoTheSlotsWithNoEmptyWords) {
  const struct {
    std::string line;
    int32_t count;
    std::vector<std::string> words;  // the first slots; the rest are empty
  } cases[] = {
      {"  env4teleport--5,,6\t7 -\n", 4, {"env4teleport", "5", "6", "7"}},
      {"corner1", 1, {"corner1"}},  // a shorter line clears the words of the one before
      {"   , - ", 0, {}},
      // more words than slots: the first twenty, all counted
      {"a b c d e f g h i j k l m n o p q r s t u v w x y z",
       26,
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j",
        "k", "l", "m", "n", "o", "p", "q", "r", "s", "t"}},
      {std::string(255, 'q'), 1, {std::string(255, 'q')}},  // as long as the buffer allows
  };
  ScriptedGame s;
  CommandLine& c = s.g.console;
  for (const auto& k : cases) {
    s.run_line(k.line);
    EXPECT_EQ(c.words, k.count) << k.line;
    std::vector<std::string> want = k.words, got;
    want.resize(kTokenSlots);
    for (int32_t i = 0; i < kTokenSlots; ++i) got.push_back(token(c, i));
    EXPECT_EQ(got, want) << k.line;
  }
}

// Each edit writes its cells and nothing else in the cells around unit 1, which hold plain
// ground so writes of 0 show. Past an edge of the grid the flat index of a cell lands on
// another row, another level or past the end: there nothing may change.
TEST(CommandLineCommands, EachWorldEditWritesItsCellsAndNothingElseEvenAtTheEdges) {
  const int32_t x = 100, y = 200, l = 1, last = kWorldSide - 1, top = kLevelCount - 1;
  const std::map<Where, uint8_t> block{{{x, y, l}, kTileBlock}}, none{};
  const char* kOut = "outside the world";
  const struct {
    Where unit1;
    const char* line;
    std::map<Where, uint8_t> changed;  // and, where it is plain ground, left alone
    const char* says = "";
  } cases[] = {
      // clang-format off
      {{x, y, l}, "corner1", {{{x, y, l}, 4}, {{x, y, l + 1}, 4}}}, {{x, y, l}, "env4block", block},
      {{x, y, l}, "env4grass", {{{x, y, l}, 2}}}, {{x, y, l}, "env4dirt", {{{x, y, l}, 3}}},
      {{x, y, l}, "env4emptyx1", {{{x + 1, y, l}, 0}}}, {{x, y, l}, "env4emptyy1", {{{x, y + 1, l}, 0}}},
      // words match ignoring case, delimiters and extra words; only a whole first word
      {{x, y, l}, "eNv4bLoCk", block}, {{x, y, l}, "env4block 1 2 3", block}, {{x, y, l}, "", none},
      {{x, y, l}, "-env4block,", block}, {{x, y, l}, "env4", none, "Not understood: \"env4\""},
      {{x, y, l}, "env4blocks", none, "Not understood: \"env4blocks\""},
      {{x, y, l}, "x corner1", none, "Not understood: \"x\""},
      {{last, 5, 1}, "env4emptyx1", {{{0, 6, 1}, kTilePlain}}, kOut},  // would land on the next row
      {{5, last, 1}, "env4emptyy1", {{{5, 0, 2}, kTilePlain}}, kOut},  // on the next level
      {{7, 7, top}, "corner1", none, kOut},                            // half past the top: neither
      {{last, last, top}, "env4emptyx1", none, kOut},                  // past the end
      {{2000, 5, 1}, "env4block", {{{2000 - kWorldSide, 6, 1}, kTilePlain}}, kOut},  // off the grid
      {{last, last, top - 1}, "corner1", {{{last, last, top - 1}, 4}, {{last, last, top}, 4}}},
      {{last - 1, 0, 0}, "env4emptyx1", {{{last, 0, 0}, 0}}},
      {{last - 1, 0, 0}, "env4emptyy1", {{{last - 1, 1, 0}, 0}}},
      {{0, 0, top}, "env4grass", {{{0, 0, top}, 2}}},
      // clang-format on
  };
  ScriptedGame s;
  s.g.run.SX = 7;
  auto cell = [&](Where at) { return std::apply([&](auto... c) { return s.cell(c...); }, at); };
  for (const auto& k : cases) {
    auto [ux, uy, ul] = k.unit1;
    std::map<Where, uint8_t> cells = k.changed;  // those listed and the 3 x 3 x 3 around unit 1
    for (int32_t d = 0; d < 27; ++d)
      if (cell_inside(s.g.world, ux + d % 3 - 1, uy + d / 3 % 3 - 1, ul + d / 9 - 1))
        cells.emplace(Where{ux + d % 3 - 1, uy + d / 3 % 3 - 1, ul + d / 9 - 1}, kTilePlain);
    for (const auto& [at, code] : cells)
      std::apply([&](auto... c) { s.set(c..., kTilePlain); }, at);
    s.place(1, ux, uy, ul);
    run_saying(s, k.line, k.says);
    for (const auto& [at, code] : cells)
      EXPECT_EQ(cell(at), code) << k.line << " by " << testing::PrintToString(k.unit1) << " at "
                                << testing::PrintToString(at);
    EXPECT_EQ(unit1_at(s), k.unit1) << k.line;
    EXPECT_EQ(std::tuple(s.g.run.SX, s.g.run.screensaver), std::tuple(7, 0)) << k.line;
    EXPECT_STREQ(s.g.console.line, k.line);  // running keeps the text
  }
  EXPECT_EQ(s.paused(), 0);
}

TEST(CommandLineTeleport, MovesUnitOneAndTheViewToTheClampedCellGivenThreeNumbers) {
  // In order; a line that must not act expects where the line before left them.
  // Numbers are the leading digits, saturating rather than overflowing.
  const struct {
    const char* line;
    Where to;
    const char* says = "";
  } steps[] = {
      {"env4teleport 500 600 7", {500, 600, 7}},  // a wall beside the target does not matter
      {"Env4Teleport,0012-34,,56", {12, 34, 56}},
      {"env4teleport 500", {12, 34, 56}, "takes X Y Z"},  // any other number of arguments: nothing
      {"env4teleport 500 600 7 8", {12, 34, 56}, "takes X Y Z"},
      {"env4teleport 0 8 3", {12, 34, 56}, "1,8 on level 3 is a wall"},  // the clamped target
      {"env4teleport 0 2000 999", {1, 1022, 178}},  // out of range and non-numeric: clamped
      {"env4teleport 5 5 0", {5, 5, 2}},
      {"env4teleport abc 9 3", {1, 9, 3}},
      {"env4teleport 12abc 7x 3", {12, 7, 3}},
      {"env4teleport 99999999999999999999 4294967297 2147483648", {1022, 1022, 178}},
      {"env4teleport 1022 1 178", {1022, 1, 178}},
  };
  ScriptedGame s;
  s.place(1, 10, 20, 1).target_x = 33;
  s.set(501, 600, 7, kTileWall), s.set(1, 8, 3, kTileWall);
  for (const auto& k : steps) {
    run_saying(s, k.line, k.says);
    EXPECT_EQ(unit1_at(s), k.to) << k.line;
    EXPECT_EQ(Where(s.g.run.SX, s.g.run.SY, s.g.run.SZ), k.to) << k.line;
  }
  EXPECT_EQ(unit(s.g.units, 1).target_x, 33);
  EXPECT_EQ(s.paused(), 0);
}

// Until its first noise the screensaver shows the secondary buffer, which from the block view
// holds the packed read-back: not a picture. Switched off, the buffer is kept for next time.
TEST(CommandLineScreensaver, SwitchingOnStartsFromBlackSwitchingOffKeepsTheBuffer) {
  for (auto [before, width] : {std::pair(0, 320), {0, 640}, {1, 320}}) {
    SCOPED_TRACE(::testing::Message() << "flag " << before << ", width " << width);
    ScriptedGame s;
    set_resolution(s.g.fb, width, width * 3 / 4);
    for (size_t i = 0; i < s.g.fb.secondary.size(); ++i)  // the block view's packed bytes
      s.g.fb.secondary[i] = i % 3 == 1 ? 0 : uint8_t(200 + i % 50);
    const std::vector<uint8_t> held = s.g.fb.secondary;
    s.g.run.screensaver = before, s.run_line("screensavertoggle");
    EXPECT_EQ(s.g.run.screensaver, 1 - before);
    if (before) {
      EXPECT_TRUE(s.g.fb.secondary == held);
      continue;
    }
    clear_pixels(s.g.fb);
    draw_screensaver_view(s.g.fb, 137, s.g.rng);  // not a renewal frame
    int64_t lit = 0;
    for (size_t i = 0; i < s.g.fb.pixels.size(); i += 4)
      lit += s.g.fb.pixels[i] | s.g.fb.pixels[i + 1] | s.g.fb.pixels[i + 2];
    EXPECT_EQ(lit, 0) << "the old buffer shows through";
  }
}

// Pauses the player feels, in ms.
constexpr int64_t kTab = 400, kChar = 120, kEnter = 500, kToggle = 400;

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
      {"0 tap TAB\n2 type env4 block9 0\n", 31, "env4 block9 0", kTab + 13 * kChar},
      // Shift gives only the capital and leaves digits alone
      {"0 tap TAB\n2 type EnV\n8 key SHIFT down\n8 key 5 down\n9 key 5 up\n9 key SHIFT up\n", 10,
       "EnV5", kTab + 4 * kChar},
      // the thirty-first character is refused without a pause
      {"0 tap TAB\n2 type " + alphabet + "\n", 71, alphabet.substr(0, 30), kTab + 30 * kChar},
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
    s.place(1, 10, 10, 1), s.set(10, 10, 1, kTilePlain);
    s.console_passes(k.passes - 1);
    clear_pixels(s.g.fb);
    s.console_passes(1);
    EXPECT_EQ(std::string(s.g.console.line), k.line);
    // drawn in white at the prompt's place, the caret in the first ten of every twenty frames
    TextBuffer shown;
    text_print(shown, "CMD:%s%s", k.line.c_str(), (k.passes - 1) % 20 < 10 ? "_" : "");
    Framebuffer expected;
    set_resolution(expected, 640, 480);
    draw_large_text(expected, shown, 14, 73, 255, 255, 255);
    EXPECT_TRUE(std::string(s.g.text.s) == shown.s && s.g.fb.pixels == expected.pixels);
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
  s.g.console.open = 1;
  s.g.console.length = std::snprintf(s.g.console.line, kLineBufferSize, "screensavertoggle");
  s.g.run.screensaver = 5;  // anything but 0 counts as on
  std::snprintf(s.g.text.s, sizeof s.g.text.s, "untouched");
  for (int32_t on : {0, 1, 0, 0, 0}) {
    s.console_passes(1);
    EXPECT_EQ(s.g.run.screensaver, on) << "after pass " << s.g.run.frame - 1;
    EXPECT_TRUE(s.g.run.frame > 3 || std::string(s.g.text.s) == "untouched");
  }
  EXPECT_STREQ(s.g.console.line, "screensavertoggle");
  EXPECT_EQ(s.paused(), 3 * (kEnter + kToggle));
}

// A closed line takes no keys and is kept, not drawn, not run, and shown on
// reopening. Held, Tab flips the prompt on every pass, with a pause each time.
TEST(CommandLineEditor, TabClosesAndReopensTheLineKeptAsItWas) {
  ScriptedGame s(
      "0 tap TAB\n2 type env4block\n20 tap TAB\n22 type abc\n26 tap ENTER\n"
      "28 tap TAB\n30 key TAB down\n33 key TAB up\n");
  s.place(1, 10, 10, 1), s.set(10, 10, 1, kTilePlain);
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

// Queued typing: what the window system typed, each character once and in order, no pause;
// an Enter runs the line and what follows it waits for the next pass.
TEST(CommandLineQueued, TypedTextEditsInOrderEnterRunsAndTheRestWaits) {
  const struct {
    std::string script;  // "text" events (bytes) for passes 0 and 1
    std::string line;    // after both passes
    int32_t teleported;  // unit 1's new column, 0 when it did not move
  } cases[] = {
      {"0 text 97 98 8 99\n1 text 8 8 8 100", "d", 0},  // Backspace past the start is no fault
      {"0 text 45 44 33 126 9 200", "-,!~", 0},         // printable ASCII only
      {"0 type A\n1 type b", "Ab", 0},
      {"0 type x\n1 tap BACKSPACE\n1 type y", "y", 0},  // scripts
      // Enter mid-pass: the line runs; what follows is typed in the next pass
      {"0 text 101 110 118 52 116 101 108 101 112 111 114 116 32 53 32 54 32 55 13 120", "x", 5},
  };
  for (const auto& k : cases) {
    ScriptedGame s(k.script);
    s.g.console.queued = true, s.g.console.open = 1;
    s.place(1, 100, 200, 2);
    s.console_passes(1);
    if (k.teleported) {
      EXPECT_EQ(std::get<0>(unit1_at(s)), k.teleported) << k.script;
      s.g.console.length = 0, s.g.console.line[0] = '\0';  // as Backspace would
    }
    s.console_passes(1);
    EXPECT_STREQ(s.g.console.line, k.line.c_str()) << k.script;
    EXPECT_EQ(s.paused(), k.teleported ? 500 : 0) << k.script;
  }
}
