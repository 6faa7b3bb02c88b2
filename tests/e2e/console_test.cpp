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

  void tap(const char* key) {
    script += std::to_string(pass) + " tap " + key + "\n";
    pass += 2;
  }
  // one character every two passes, then a pass to spare
  void type(const std::string& text) {
    script += std::to_string(pass) + " type " + text + "\n";
    pass += 2 * int(text.size()) + 2;
  }
  // Backspace held long enough to empty a line of n characters
  void clear(int n) {
    script += std::to_string(pass) + " key BACKSPACE down\n";
    pass += n + 2;
    script += std::to_string(pass) + " key BACKSPACE up\n";
    pass += 2;
  }
  void enter_line(const std::string& text, bool then_clear) {
    type(text);
    tap("ENTER");
    if (then_clear) clear(int(text.size()));
  }
};

const Json& unit_record(const Json& dump, int index) {
  const Json& units = dump["units"];
  for (size_t i = 0; i < units.size(); ++i)
    if (units[i]["index"].i() == index) return units[i];
  throw std::runtime_error("unit missing from the dump");
}

int probe_code(const Json& dump, int x, int y, int z) {
  const Json& probes = dump["probes"];
  for (size_t i = 0; i < probes.size(); ++i)
    if (probes[i]["x"].i() == x && probes[i]["y"].i() == y && probes[i]["z"].i() == z)
      return int(probes[i]["code"].i());
  throw std::runtime_error("probe missing from the dump");
}

TEST(ConsoleEndToEnd, TypedCommandsEditCellsBesideUnitOneAndTeleportIt) {
  Typist t;
  t.tap("TAB");
  t.enter_line("env4teleport 500 600 7", true);
  t.enter_line("env4block", true);
  const int after_block = t.pass;
  t.enter_line("env4teleport 499 600 7", true);
  t.enter_line("env4emptyx1", true);
  t.enter_line("env4dirt", false);
  const std::vector<std::string> probes = {"--probe", "500,600,7", "--probe", "499,600,7"};

  auto run_to = [&](int passes) {
    ScratchDir dir;
    GameRun run = run_script(t.script, passes, dir, probes);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.has_dump);
    return run;
  };
  // stopped right after "env4block": the block stands under unit 1
  const GameRun mid = run_to(after_block);
  ASSERT_TRUE(mid.has_dump);
  EXPECT_EQ(probe_code(mid.dump, 500, 600, 7), 1);
  EXPECT_EQ(mid.dump["console"]["line"].text, "");

  const GameRun run = run_to(t.pass + 2);
  ASSERT_TRUE(run.has_dump);
  const Json& d = run.dump;
  const Json& u1 = unit_record(d, 1);
  EXPECT_EQ(std::tuple(u1["x"].i(), u1["y"].i(), u1["level"].i()), std::tuple(499, 600, 7));
  EXPECT_EQ(std::tuple(d["SX"].i(), d["SY"].i(), d["SZ"].i()), std::tuple(499, 600, 7));
  EXPECT_EQ(probe_code(d, 500, 600, 7), 0);  // blocked, then emptied from next door
  EXPECT_EQ(probe_code(d, 499, 600, 7), 3);
  EXPECT_EQ(d["console"]["open"].i(), 1);
  EXPECT_EQ(d["console"]["line"].text, "env4dirt");
}

}  // namespace
