// Soak: headless passes of the game under random keys, buttons, pointer and command lines
// (garbage, extreme teleports); unit 1 and the view must stay in the world. Sanitize it too.
//   soak [--frames N] [--seed S] [--data DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/keys.h"
#include "shell/keys.h"
#include "shell/loop.h"
#include "support/null_display.h"
#include "world/rng.h"

namespace {

// clang-format off
const char* const kLines[] = {
    "env4teleport 500 600 7", "env4teleport 99999999999999999999 0 7", "env4teleport 0 0 0",
    "env4teleport 1022 1022 178", "env4teleport 5 5", "env4teleport 1 2 3 4", "env4teleport x y z",
    "env4block", "env4grass", "env4dirt", "env4emptyx1", "env4emptyy1", "corner1",
    "screensavertoggle", "qz 12 zz 9", "ENV4BLOCK", "   ", "env4teleport 1023 1023 179"};
// clang-format on

class RandomInput : public InputSource {
 public:
  RandomInput(uint32_t seed, const CommandLine& console) : console_(console) {
    rng_seed(rng_, seed);
    // The keys that act, but Escape, which ends the run, and F12, which writes files.
    for (int32_t vk = 8; vk < 256; ++vk)
      if (key_row(vk) && vk != kVkEscape && (vk <= vk_f(6) || vk > kVkF12)) keys_.push_back(vk);
  }

  void begin_pass(int32_t frame) override {
    for (int32_t vk : released_) down_[vk] = false;  // what was tapped last pass goes up
    released_.clear();
    if (typing_.empty() && roll(150)) queue_line();
    if (!typing_.empty()) {
      if (frame % 2 == 0) tap(typing_.front()), typing_.erase(typing_.begin());
      return;
    }
    if (roll(700)) tap(vk_f(5));  // the block view
    if (roll(900)) tap(vk_f(6));  // back
    for (int n = 0; n < 2; ++n) {
      if (!roll(6)) continue;
      const int32_t vk = keys_[size_t(pick(int32_t(keys_.size())))];
      const bool window_key = vk >= vk_f(1) && vk <= vk_f(6);  // these re-create the window
      if (window_key && !roll(20)) continue;                   // so only briefly and rarely
      if ((down_[vk] = !down_[vk]) && window_key) released_.push_back(vk);
    }
    for (auto [button, one_in] : {std::pair{kVkLButton, 10}, {kVkRButton, 10}, {kVkMButton, 30}})
      if (roll(one_in)) down_[button] = !down_[button];
    if (roll(3)) x_ = pick(1400) - 300, y_ = pick(1100) - 300;
  }
  bool key_down(int32_t vk) override { return vk >= 0 && vk < 256 && down_[vk]; }
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override {
    *x = x_ < 0 ? 0 : x_ >= width ? width - 1 : x_;
    *y = y_ < 0 ? 0 : y_ >= height ? height - 1 : y_;
  }

 private:
  bool roll(int32_t one_in) { return rng_next(rng_) % one_in == 0; }
  int32_t pick(int32_t n) { return rng_next(rng_) % n; }
  void tap(int32_t vk) { down_[vk] = true, released_.push_back(vk); }
  // Tab if the prompt is closed, usually Backspaces to clear the old line, the
  // line (letters without Shift: lower case), Enter.
  void queue_line() {
    for (bool& d : down_) d = false;
    if (console_.open != 1) typing_.push_back(kVkTab);
    if (!roll(4)) typing_.insert(typing_.end(), 31, kVkBack);
    for (const char* c = kLines[pick(int32_t(std::size(kLines)))]; *c; ++c)
      typing_.push_back(*c == ' ' ? int32_t(kVkSpace) : *c >= 'a' ? *c - 'a' + 'A' : *c);
    typing_.push_back(kVkReturn);
  }

  const CommandLine& console_;
  Rng rng_;
  std::vector<int32_t> keys_, released_, typing_;
  bool down_[256] = {};
  int32_t x_ = 320, y_ = 240;
};

}  // namespace

int main(int argc, char** argv) {
  long long frames = 3000;  // long long: printed with %lld
  uint32_t seed = 1;
  std::string data = std::getenv("KV_BUILD_DIR") ? std::getenv("KV_BUILD_DIR") : ".";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--frames")) frames = std::atoll(argv[i + 1]);
    if (!std::strcmp(argv[i], "--seed")) seed = uint32_t(std::strtoul(argv[i + 1], nullptr, 10));
    if (!std::strcmp(argv[i], "--data")) data = argv[i + 1];
  }
  NullDisplay display;
  auto game = std::make_unique<Game>();
  Game& g = *game;
  Session session;
  RandomInput input(seed, g.console);
  g.platform = Platform{&input, &display};
  if (!start_game(g, StartOptions{data, seed, true, ""})) {
    std::fprintf(stderr, "soak: start-up failed\n");
    return 1;
  }
  long long screensaver = 0, block_view = 0;  // passes in each: what the soak reached
  for (long long f = 0; f < frames; ++f) {
    run_pass(g, session);
    screensaver += g.run.screensaver == 1;
    block_view += g.fb.width == 320;
    g.run.quit = 0;  // nothing random may end the soak early
    const UnitRecord& u1 = unit(g.units, 1);
    if (u1.x >= kWorldSide || u1.y >= kWorldSide || u1.level >= kLevelCount || g.run.SX < 0 ||
        g.run.SY < 0 || g.run.SZ < 0 || g.run.SZ >= kLevelCount) {
      std::fprintf(stderr, "soak: pass %lld left unit 1 at (%d, %d, %d), the view (%d, %d, %d)\n",
                   f, u1.x, u1.y, u1.level, g.run.SX, g.run.SY, g.run.SZ);
      return 1;
    }
  }
  std::printf("soak: %lld passes, seed %u: %lld in the screensaver, %lld in the block view\n",
              frames, seed, screensaver, block_view);
  if (screensaver == 0 || block_view == 0) {  // a soak that never got there tried neither
    std::fprintf(stderr, "soak: the random input never reached the %s\n",
                 screensaver ? "block view" : "screensaver");
    return 1;
  }
  shutdown_game(g);
  return 0;
}
