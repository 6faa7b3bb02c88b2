// The command line inside the whole frame loop, typed through a script pass after pass.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/game.h"
#include "shell/platform_null.h"
#include "shell/script.h"

namespace {

struct LoopRig {
  std::filesystem::path data;
  NullDisplay display;
  std::unique_ptr<ScriptInput> input;
  std::unique_ptr<Game> game = std::make_unique<Game>();

  explicit LoopRig(const std::string& script) {
    char tmpl[] = "/tmp/kelvarot-console-XXXXXX";
    data = mkdtemp(tmpl);  // no pictures, no map
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(parse_script(script, &events, &error)) << error;
    input = std::make_unique<ScriptInput>(std::move(events));
    game->platform.input = input.get();
    game->platform.display = &display;
    StartOptions opt;
    opt.data_dir = data.string();
    opt.seeded = true;
    opt.seed = 7;
    opt.report_missing = false;
    EXPECT_TRUE(start_game(*game, opt));
  }
  ~LoopRig() {
    shutdown_game(*game);
    std::filesystem::remove_all(data);
  }

  void passes(int n) {
    for (int i = 0; i < n; ++i) run_pass(*game);
  }

  void place_unit1(int32_t x, int32_t y, int32_t level) {
    UnitRecord& u = unit(game->units, 1);
    u.x = uint16_t(x);
    u.y = uint16_t(y);
    u.level = uint16_t(level);
  }
  uint8_t cell(int32_t x, int32_t y, int32_t z) const { return cell_at(game->world, x, y, z); }
};

TEST(CommandLineInTheLoop, AWordTypedInCapitalsRunsLikeSmallLetters) {
  LoopRig r("0 tap TAB\n2 type ENV4BLOCK\n22 tap ENTER\n");
  r.place_unit1(300, 300, 1);
  r.passes(22);
  EXPECT_EQ(r.game->console.open, 1);
  EXPECT_STREQ(r.game->console.line, "ENV4BLOCK");
  EXPECT_NE(r.cell(300, 300, 1), kTileBlock);
  r.passes(1);
  EXPECT_EQ(r.cell(300, 300, 1), kTileBlock);
  EXPECT_STREQ(r.game->console.line, "ENV4BLOCK");
}

}  // namespace
