#pragma once
// A whole game in-process: no window, no data files, input from a script.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "shell/loop.h"
#include "shell/script.h"
#include "support/null_display.h"

struct ScriptedGame {
  NullDisplay display;
  std::unique_ptr<ScriptInput> input;
  std::unique_ptr<Game> game = std::make_unique<Game>();
  Game& g = *game;
  Session session;

  // Seeded; the data folder does not exist, so nothing loads and nothing pauses.
  explicit ScriptedGame(const std::string& script = "") {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(parse_script(script, &events, &error)) << error;
    input = std::make_unique<ScriptInput>(std::move(events));
    g.platform = Platform{input.get(), &display};
    EXPECT_TRUE(start_game(g, StartOptions{"/nonexistent-kelvarot-data", 5, false, ""}));
  }
  ~ScriptedGame() { shutdown_game(g); }

  // Whole passes until the quit flag or the limit; returns the passes run.
  int run(int limit) {
    int n = 0;
    for (; !g.run.quit && n < limit; ++n) run_pass(g, session);
    return n;
  }
  // The command-line step alone, counting frames like the loop.
  void console_passes(int n) {
    for (int i = 0; i < n; ++i, ++g.run.frame) {
      input->begin_pass(g.run.frame);
      command_line_step(g.console, g.platform, g.run, g.fb, g.world, g.units, g.text);
    }
  }
  // Puts a line in place as if it had been typed, and runs it.
  void run_line(const std::string& line) {
    std::snprintf(g.console.line, sizeof g.console.line, "%s", line.c_str());
    g.console.length = int32_t(line.size());
    run_entered_line(g.console, g.platform, g.run, g.world, g.units, g.fb);
  }
  uint8_t cell(int32_t x, int32_t y, int32_t z) const { return cell_at(g.world, x, y, z); }
  void set(int32_t x, int32_t y, int32_t z, uint8_t code) { set_cell(g.world, x, y, z, code); }
  UnitRecord& place(int32_t index, int32_t x, int32_t y, int32_t level) {
    UnitRecord& u = unit(g.units, index);
    u.in_use = 1, u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(level);
    return u;
  }
  int64_t paused() const { return display.paused_ms(); }
};
