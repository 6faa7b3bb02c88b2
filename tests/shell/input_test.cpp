// Input: scripts (key names, parse errors, what each pass sees) and the pointer's maths.
#include <gtest/gtest.h>

#include <SDL2/SDL_scancode.h>

#include <map>
#include <tuple>

#include "core/keys.h"
#include "core/pointer.h"
#include "shell/game_fixture.h"
#include "shell/keys.h"

namespace {

// Script key numbers, what a recording writes reading back, and the keys standing for each.
TEST(KeyTable, NamesNumbersAndTheKeysThatStandForThem) {
  const std::pair<const char*, int32_t> names[] = {
      {"0", 48},   {"219", 219}, {"-0", 0}, {"F13", -1},  {"256", -1}, {"-1", -1},
      {"25x", -1}, {" 25", -1},  {"a", -1}, {"CTRL", -1}, {"left", -1}};
  for (auto [name, vk] : names) EXPECT_EQ(script_key_number(name), vk) << name;
  // each key reads back from a recording's words; no physical key stands for two game keys
  std::map<int32_t, int32_t> owner;
  for (int32_t vk = 0; vk < 256; ++vk) {
    const KeyRow* row = key_row(vk);
    if (!row) continue;
    const std::string words = script_key_words(vk), word = words.substr(words.find(' ') + 1);
    EXPECT_EQ((row->button ? script_button_number : script_key_number)(word), vk) << words;
    for (int32_t code : {row->scancode, row->alt_scancode, row->keypad_scancode})
      EXPECT_TRUE(row->button || code == 0 || owner.emplace(code, vk).second)
          << code << " is " << owner[code] << " and " << vk;
  }
  // (key, scancode, NumLock, down): either Enter is 13; without NumLock keypad 4 8 6 2 are arrows
  const std::tuple<int32_t, SDL_Scancode, bool, bool> cases[] = {
      // clang-format off
      {kVkReturn, SDL_SCANCODE_RETURN, true, true}, {kVkReturn, SDL_SCANCODE_KP_ENTER, true, true},
      {kVkReturn, SDL_SCANCODE_KP_ENTER, false, true}, {kVkLeft, SDL_SCANCODE_KP_4, false, true},
      {kVkUp, SDL_SCANCODE_KP_8, false, true}, {kVkRight, SDL_SCANCODE_KP_6, false, true},
      {kVkDown, SDL_SCANCODE_KP_2, false, true}, {kVkLeft, SDL_SCANCODE_KP_4, true, false},
      {kVkDown, SDL_SCANCODE_KP_2, true, false}, {kVkLeft, SDL_SCANCODE_KP_6, false, false},
      {kVkAdd, SDL_SCANCODE_KP_8, false, false}, {kVkShift, SDL_SCANCODE_RSHIFT, true, true},
      {vk_digit(4), SDL_SCANCODE_KP_4, true, false},
      // clang-format on
  };
  for (auto [vk, held, numlock, down] : cases) {
    uint8_t state[SDL_NUM_SCANCODES] = {};
    state[held] = 1;
    EXPECT_EQ(key_held(*key_row(vk), state, numlock), down)
        << vk << " with scancode " << held << (numlock ? ", NumLock on" : ", NumLock off");
  }
}

// A script's error, or the keys down in each pass to the one after the last event, split by
// '|' ('^' is Shift, 'L' 'R' 'M' the buttons).
std::string replayed(const std::string& script, size_t max_events) {
  std::vector<ScriptEvent> ev;
  std::string err;
  if (!parse_script(script, &ev, &err, max_events)) return err;
  ScriptInput in(ev);
  std::string seen;
  for (int32_t pass = 0; pass <= (ev.empty() ? 0 : ev.back().pass + 1); ++pass) {
    in.begin_pass(pass);
    if (pass) seen += '|';
    for (int32_t vk = 0; vk < 256; ++vk)
      if (in.key_down(vk)) seen += vk == kVkShift ? '^' : vk < 8 ? " LR M"[vk] : char(vk);
  }
  return seen;
}

// Holds last until released, taps one pass, typing to its last non-blank, capitals with Shift.
TEST(Scripts, EachPassSeesTheKeysTheScriptHoldsOrTheErrorNamesTheLine) {
  const std::string longest = "0 type " + std::string(4089, 'a');  // 4096 characters
  const struct {
    std::string script, want;  // an error: "line N: " and a part of the problem
    size_t max_events = kMaxScriptEvents;
  } cases[] = {
      // clang-format off
      {"1 key A down\n4 key A up\n", "|A|A|A||"}, {"3 click left\n", "|||L||"},
      {"# a comment\n\n   \n2 tap A # trailing\r\n", "||A||"},
      {"0 tap A\n1 key A down\n", "A|A|A"},  // a hold right after a tap wins
      {"0 button right down\n2 button middle down\n3 button right up\n", "R|R|RM|M|M"},
      {"0 type e4 Z   # to the east\n", "E||4|| ||^Z||"}, {"0 type a b\t \r\n", "A|| ||B||"},
      {"0 type ab#c\n", "A||B||"}, {"0 type  a\n", " ||A||"}, {"0 type    # nothing\n", ""},
      {"0 tap A\nx tap A\n", "line 2: 'x' is not a pass number"}, {"-1 tap A", "line 1: pass"},
      {"1x tap A", "line 1: '1x' is not a pass number"}, {"1073740800 tap A", "line 1: pass"},
      {"0 tap FOO", "line 1: unknown key 'FOO'"}, {"0 key A sideways", "line 1: sideways"},
      {"0 tap A B", "line 1: argument"}, {"0 button up down", "line 1: unknown button"},
      {"0 pointer 1", "line 1: pointer"}, {"\n# fine\n0 pointer a b", "line 3: pointer"},
      {"0 jump", "line 1: unknown event 'jump'"}, {"0 type a-b", "line 1: cannot type '-'"},
      {"5", "line 1: missing event"},
      {"0 tap A\n" + longest + "a\n", "line 2: longer than 4096 characters: '0 type aaaa"},
      {"0 tap A\n" + longest + "\n1 jump\x1b]0;x\x07", "line 3: unknown event 'jump\\x1b]0;x\\x07'"},
      {"0 " + std::string(3000, 'z'), "line 1: unknown event '" + std::string(80, 'z') + "...'"},
      // Five taps make ten events: the sixth line is one too many, as is three typed capitals.
      {"0 tap A\n1 tap A\n2 tap A\n3 tap A\n4 tap A\n5 tap A\n", "line 6: more than 10 events", 10},
      {"# a comment\n0 type ABC\n", "line 2: more than 10 events", 10},
      // clang-format on
  };
  for (const auto& k : cases) {
    const std::string seen = replayed(k.script, k.max_events);
    const size_t colon = k.want.rfind("line ", 0) == 0 ? k.want.find(": ") + 2 : 0;
    EXPECT_TRUE(colon > 0 || seen == k.want) << k.script << ": " << seen;
    EXPECT_EQ(seen.substr(0, colon), k.want.substr(0, colon)) << k.script << ": " << seen;
    EXPECT_NE(seen.find(k.want.substr(colon)), std::string::npos) << k.script << ": " << seen;
  }
  std::vector<ScriptEvent> ev;  // the pointer, clamped to the picture
  std::string err;
  ASSERT_TRUE(parse_script("0 pointer 700 -5\n1 pointer 100 200\n", &ev, &err));
  ScriptInput in(ev);
  int32_t x = 0, y = 0;
  in.begin_pass(0);
  in.pointer(640, 480, &x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(639, 0));
  in.begin_pass(1);
  in.pointer(320, 150, &x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(100, 149));
}

// Screen position (axis, at, window, extent) to picture pixel: origin bottom-left, zoomed.
TEST(PointerMaths, ScalesByTheZoomCountsYUpAndClampsToTheEdges) {
  const ScreenRect one{100, 50, 740, 530}, two{0, 0, 1280, 960}, away{100, 100, 740, 580},
      flat{50, 50, 50, 50};
  const std::tuple<char, int32_t, ScreenRect, int32_t, int32_t> cases[] = {
      // clang-format off
      {'x', 420, one, 640, 320}, {'x', 739, one, 640, 639}, {'y', 529, one, 480, 1},
      {'y', 50, one, 480, 479}, {'x', 3, two, 640, 1}, {'y', 958, two, 480, 1},
      // outside the window: the nearest edge; a zero-sized window gives 0
      {'x', 20, away, 640, 0}, {'x', 2000, away, 640, 639}, {'y', 10, away, 480, 479},
      {'y', 900, away, 480, 0}, {'x', 60, flat, 640, 0}, {'y', 40, flat, 480, 0},
      // clang-format on
  };
  for (auto [axis, screen, rect, extent, want] : cases) {
    const int32_t got = axis == 'x' ? pointer_x_from_screen(screen, rect, extent)
                                    : pointer_y_from_screen(screen, rect, extent);
    EXPECT_EQ(got, want) << axis << " " << screen << " in " << rect.left << "," << rect.top << "-"
                         << rect.right << "," << rect.bottom;
  }
}

}  // namespace
