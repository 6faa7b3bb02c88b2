// The command line with its commands, unit 1 anywhere in the 16-bit range.
// Input: unit 1's column, row and level (three little-endian 16-bit numbers),
// a mode byte, then the text. Even modes put the text in the line and run it;
// odd modes hold one key per pass (the byte is the virtual key) with the
// prompt open. Bits 1-2 of the mode pick the editor's limit.
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "shell/game.h"
#include "support/null_display.h"

namespace {

// A cell by its flat index, written the way the game writes cells.
void set_flat(World& w, int64_t i, uint8_t code) {
  set_cell(w, int32_t(i % w.side), int32_t(i % w.stride / w.side), int32_t(i / w.stride), code);
}

class OneKeyPerPass : public InputSource {
 public:
  int32_t vk = -1;
  void begin_pass(int32_t) override {}
  bool key_down(int32_t k) override { return k == vk; }
  void pointer(int32_t, int32_t, int32_t* x, int32_t* y) override { *x = *y = 0; }
};

struct Rig {
  NullDisplay display;
  OneKeyPerPass keys;
  std::unique_ptr<Game> game = std::make_unique<Game>();
  Rig() {
    game->platform = Platform{&keys, &display};
    check(start_game(*game, StartOptions{"/nonexistent-kelvarot-data", 5, false, ""}),
          "start-up failed");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  Game& g = *rig.game;
  if (size < 7) return 0;
  const int32_t x = data[0] | data[1] << 8, y = data[2] | data[3] << 8, z = data[4] | data[5] << 8;
  const uint8_t mode = data[6];
  data += 7, size -= 7;

  UnitRecord& u = unit(g.units, 1);
  u.x = uint16_t(x), u.y = uint16_t(y), u.level = uint16_t(z);
  g.run = RunState{};
  CommandLine& c = g.console;
  c.open = mode & 1, c.length = 0, c.entered = 0, c.line[0] = '\0';
  const int32_t limits[] = {kLineLimit, kLineLimitCap, 100000, -5};
  c.max_chars = limits[(mode >> 1) & 3];

  // The flat index of unit 1's cell and of each neighbour a command writes;
  // where that neighbour is off the grid, the byte the index lands on (if it
  // is inside the grid at all) carries a marker that must survive.
  World& w = g.world;
  const int64_t at = int64_t(z) * w.stride + int64_t(y) * w.side + x;
  const int64_t steps[4][4] = {{0, 0, 0, 0}, {1, 1, 0, 0}, {w.side, 0, 1, 0}, {w.stride, 0, 0, 1}};
  const int64_t grid = int64_t(world_grid_bytes(w));
  constexpr uint8_t kMarker = 0xA5;
  auto inside = [&](const int64_t* s) {
    return cell_inside(w, x + int32_t(s[1]), y + int32_t(s[2]), z + int32_t(s[3]));
  };
  for (const auto& s : steps)
    if (at + s[0] < grid && !inside(s)) set_flat(w, at + s[0], kMarker);

  if (mode & 1) {
    for (size_t i = 0; i < size && i < 400; ++i, ++g.run.frame) {
      rig.keys.vk = data[i];
      command_line_step(c, g.platform, g.run, g.fb, w, g.units, g.text);
    }
    rig.keys.vk = -1;
  } else {
    const size_t n = std::min<size_t>(size, kLineBufferSize - 1);
    std::memcpy(c.line, data, n);
    c.line[n] = '\0';
    c.length = int32_t(std::strlen(c.line));
    run_entered_line(c, g.platform, g.run, w, g.units, g.fb);
  }

  check(c.length >= 0 && c.length <= kLineLimitCap && c.line[c.length] == '\0' &&
            std::strlen(c.line) == size_t(c.length),
        "line length and text disagree");
  // Every cell the commands may have written goes back to empty for the next input.
  for (const auto& s : steps) {
    if (at + s[0] >= grid) continue;
    check(inside(s) || grid_cells(w)[at + s[0]] == kMarker,
          "an edit off the grid landed on another cell");
    set_flat(w, at + s[0], 0);
  }
  if (u.x != x || u.y != y || u.level != z) {  // teleported: inside, a cell in from the edges
    check(u.x >= 1 && u.x <= w.side - 2 && u.y >= 1 && u.y <= w.side - 2 && u.level >= 2 &&
              u.level <= kLevelCount - 2,
          "teleported outside the clamp");
    check(g.run.SX == u.x && g.run.SY == u.y && g.run.SZ == u.level, "view not on unit 1");
  }
  return 0;
}
