// The command line end to end: commands typed into the headless game, read back from its dump.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "e2e/harness.h"

namespace {

// Builds an input script one step after another, keeping count of the passes.
struct Typist {
  std::string script;
  int pass = 0;

  void add(const std::string& event, int passes) {
    script += std::to_string(pass) + " " + event + "\n";
    pass += passes;
  }
  // One character every two passes and a pass to spare; Enter; then, if asked,
  // Backspace held long enough to empty the line.
  void enter_line(const std::string& text, bool then_clear) {
    add("type " + text, 2 * int(text.size()) + 2);
    add("tap ENTER", 2);
    if (!then_clear) return;
    add("key BACKSPACE down", int(text.size()) + 2);
    add("key BACKSPACE up", 2);
  }
};

TEST(ConsoleEndToEnd, TypedCommandsTeleportUnitOneAndEditTheCellsItStandsOn) {
  Typist t;
  t.add("tap TAB", 2);
  t.enter_line("env4teleport 500 600 7", true);
  t.enter_line("env4block", true);
  t.enter_line("env4teleport 499 600 7", true);
  t.enter_line("env4dirt", false);
  ScratchDir dir;
  const GameRun r =
      run_script(t.script, t.pass + 2, dir, {"--probe", "500,600,7", "--probe", "499,600,7"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& d = r.dump;
  const Json& u1 = unit_in(d, 1);
  EXPECT_EQ(std::tuple(u1["x"].i(), u1["y"].i(), u1["level"].i()), std::tuple(499, 600, 7));
  EXPECT_EQ(std::tuple(d["SX"].i(), d["SY"].i(), d["SZ"].i()), std::tuple(499, 600, 7));
  EXPECT_EQ(std::tuple(probe_code(d, 500, 600, 7), probe_code(d, 499, 600, 7)), std::tuple(1, 3));
  EXPECT_EQ(std::tuple(d["console"]["open"].i(), d["console"]["line"].text),
            std::tuple(1, "env4dirt"));
}

}  // namespace
