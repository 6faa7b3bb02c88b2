#pragma once
// A whole game in-process: no window, input from a script, no data files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "shell/game.h"
#include "shell/platform_null.h"
#include "shell/script.h"

struct ScriptedGame {
  NullDisplay display;
  std::unique_ptr<ScriptInput> input;
  std::unique_ptr<Game> game = std::make_unique<Game>();
  std::filesystem::path empty_data;

  explicit ScriptedGame(const std::string& script, uint32_t seed = 5) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(parse_script(script, &events, &error)) << error;
    input = std::make_unique<ScriptInput>(std::move(events));
    game->platform.input = input.get();
    game->platform.display = &display;
    char tmpl[] = "/tmp/kelvarot-data-XXXXXX";
    empty_data = mkdtemp(tmpl);
    StartOptions opt;
    opt.data_dir = empty_data.string();
    opt.seeded = true;
    opt.seed = seed;
    opt.report_missing = false;
    EXPECT_TRUE(start_game(*game, opt));
  }
  ~ScriptedGame() {
    shutdown_game(*game);
    std::filesystem::remove_all(empty_data);
  }
  // Runs passes until the quit flag or the limit; returns passes run.
  int run(int max_passes) {
    int n = 0;
    while (!game->run.quit && n < max_passes) {
      run_pass(*game);
      ++n;
    }
    return n;
  }
  RunState& run_state() { return game->run; }
  Game& g() { return *game; }
};
