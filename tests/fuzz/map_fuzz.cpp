// The map loader on arbitrary maps, then 300 passes of the game on them. The input, repeated,
// fills the three levels of a scratch map (any period draws stripes, blocks or diagonals),
// drawn with the build's generated pictures when there; a fixed tour orders and speeds units,
// walks the block view, scrolls, changes level and uses the command line.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "shell/loop.h"
#include "shell/script.h"
#include "support/null_display.h"
#include "world/mapfile.h"

namespace {

namespace fs = std::filesystem;
constexpr int kPasses = 300;

const char kTour[] = R"(0 tap 1
2 pointer 100 100
3 click right
20 tap RBRACKET
40 tap N
60 tap F5
64 button left down
110 button left up
120 tap F6
130 key RIGHT down
140 key RIGHT up
150 tap ADD
180 tap TAB
182 type env4teleport 1023 0 178
250 tap ENTER
253 click left
)";

struct Scratch {
  fs::path dir;
  std::vector<ScriptEvent> tour;
  Scratch() {
    char made[] = "/tmp/kv_map_fuzz.XXXXXX";
    check(mkdtemp(made) != nullptr, "no scratch folder");
    dir = made;
    fs::create_directories(dir / "map");
    const char* from = std::getenv("KV_FUZZ_DATA");
    const fs::path data = from ? from : KV_BUILD_DIR;
    std::error_code ec;
    if (fs::is_directory(data, ec))
      for (const fs::directory_entry& e : fs::directory_iterator(data, ec))
        if (e.path().filename().string().rfind("bmp_", 0) == 0)
          fs::create_directory_symlink(e.path(), dir / e.path().filename(), ec);
    std::string error;
    check(parse_script(kTour, &tour, &error), "the tour does not parse");
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  if (size == 0) return 0;
  const size_t full = size_t(kWorldSide) * kWorldSide * 3;
  std::vector<char> map(full);
  for (size_t i = 0; i < full; ++i) map[i] = char(data[i % size]);
  {
    std::ofstream out(map_file_path(scratch.dir.string(), kMapNumber), std::ios::binary);
    out.write(map.data(), std::streamsize(map.size()));
    check(bool(out), "cannot write the map");
  }

  NullDisplay display;
  ScriptInput input(scratch.tour);
  auto game = std::make_unique<Game>();
  Game& g = *game;
  Session session;
  g.platform = Platform{&input, &display};
  check(start_game(g, StartOptions{scratch.dir.string(), 7, false, ""}), "start-up failed");
  check(g.loaded.map_loaded == int64_t(full), "the map did not load whole");
  for (int pass = 0; pass < kPasses; ++pass) {
    run_pass(g, session);
    g.run.quit = 0;
    for (int32_t i = 1; i < kUnitTableSize; ++i) {
      const UnitRecord& u = unit(g.units, i);
      if ((u.in_use != 1 && i != 1) || i == kPlanningRecord) continue;
      check(u.x < kWorldSide && u.y < kWorldSide && u.level < kLevelCount, "a unit left the world");
    }
    check(g.run.SX >= 0 && g.run.SY >= 0 && g.run.SZ >= 0 && g.run.SZ < kLevelCount,
          "the view left the world");
  }
  shutdown_game(g);
  return 0;
}
