// The save reader on arbitrary bytes. A refusal is one printable line; a save it accepts (the
// seeds are saves of the game on the build's map) replaces a running game's state, and the
// game plays on a few passes with everything in the world.
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "shell/loop.h"
#include "shell/save.h"
#include "shell/script.h"
#include "support/null_display.h"

namespace {

struct Running {
  NullDisplay display;
  ScriptInput input{{}};
  std::unique_ptr<Game> game = std::make_unique<Game>();
  Session session;
  Running() {
    const char* from = std::getenv("KV_FUZZ_DATA");
    game->platform = Platform{&input, &display};
    check(start_game(*game, StartOptions{from ? from : KV_BUILD_DIR, 7, false, ""}),
          "start-up failed");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Running run;
  Game& g = *run.game;
  SaveData save;
  std::string error;
  if (!parse_save(std::string(reinterpret_cast<const char*>(data), size), &save, &error)) {
    check(printable_line(error, 300), "a refusal is not one short line");
    return 0;
  }
  if (!apply_save(g, run.session, save, "fuzz", &error)) return 0;
  for (int pass = 0; pass < 3 && g.run.frame < INT32_MAX - 1; ++pass) {
    run_pass(g, run.session);
    g.run.quit = 0;
    const UnitRecord& u1 = unit(g.units, 1);
    check(u1.in_use != 1 || (u1.x < kWorldSide && u1.y < kWorldSide && u1.level < kLevelCount),
          "unit 1 left the world");
    check(g.run.SZ >= 0 && g.run.SZ < kLevelCount, "the view left the world");
  }
  return 0;
}
