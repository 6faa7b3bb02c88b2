// The README's list of keys that act on the game while the command line is
// open, checked against what each typed key does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "e2e/harness.h"
#include "shell/game_fixture.h"

namespace {

// What a pass can change outside the command line.
auto outside_the_line(ScriptedGame& s) {
  const RunState& r = s.g.run;
  const UnitRecord& u = unit(s.g.units, 1);
  return std::tuple(r.SX, r.SY, r.SZ, r.minimap_shown, r.minimap_x, r.minimap_y, r.tick_divisor,
                    r.quit, r.selected_unit, r.screensaver, u.x, u.y, u.target_x, u.target_y,
                    u.order_flag, u.fx, u.fy, s.display.moves);
}

constexpr const char* kTypeable = "abcdefghijklmnopqrstuvwxyz0123456789 ";

// With the line open, each typeable key tapped in a pass of its own, in the
// view of that width; the keys whose pass changed anything outside the line.
std::set<char> acting_keys(int32_t width) {
  // taps on even passes from 2: no movement tick (divisor 45) nor wander order falls there
  std::string script;
  const std::string keys = kTypeable;
  for (size_t i = 0; i < keys.size(); ++i)
    script += std::to_string(2 + 2 * i) +
              (keys[i] == ' ' ? " tap SPACE\n" : std::string(" type ") + keys[i] + "\n");
  ScriptedGame s(script);
  if (width != 640) set_resolution(s.g.fb, width, width * 3 / 4);
  s.g.console.open = 1;
  std::set<char> acting;
  s.g.run.tick_divisor = 45.0f;  // no speed key sets this one
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
  const char* source = std::getenv("KV_SOURCE_DIR");
  const std::string readme = read_file(std::string(source ? source : "..") + "/README.md");
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

}  // namespace
