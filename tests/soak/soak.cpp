// Soak: many headless passes of the whole game with random input — keys,
// buttons, the pointer anywhere, random command lines with garbage and
// extreme teleports — checking after every pass that unit 1 and the view
// stay inside the world. Run it under the sanitizer build for leaks and UB.
//   soak [--frames N] [--seed S] [--data DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "shell/game.h"
#include "support/null_display.h"
#include "world/rng.h"

namespace {

// Keys a player can press. Escape and F12 are left out: one ends the run,
// the other writes files.
const int32_t kKeys[] = {8,   9,   13,  16,  32,  37,  38,  39,  40,  48,  49,  50,  51,  52,
                         53,  54,  55,  56,  57,  65,  66,  67,  68,  69,  70,  71,  72,  73,
                         74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,
                         88,  89,  90,  107, 109, 112, 113, 114, 115, 116, 117, 219, 221};

const char* const kLines[] = {
    "env4teleport 500 600 7", "env4teleport 99999999999999999999 0 7",
    "env4teleport 0 0 0",     "env4teleport 1022 1022 178",
    "env4teleport 5 5",       "env4teleport 1 2 3 4",
    "env4teleport x y z",     "env4block",
    "env4grass",              "env4dirt",
    "env4emptyx1",            "env4emptyy1",
    "corner1",                "screensavertoggle",
    "qz 12 zz 9",             "ENV4BLOCK",
    "   ",                    "env4teleport 1023 1023 179",
};

class RandomInput : public InputSource {
 public:
  RandomInput(uint32_t seed, const CommandLine& console) : console_(console) {
    rng_seed(rng_, seed);
  }

  void begin_pass(int32_t frame) override {
    // everything that was tapped last pass goes up
    for (int32_t vk : released_) down_[vk] = false;
    released_.clear();
    if (typing_.empty() && roll(150)) queue_line(frame);
    if (!typing_.empty()) {
      if (frame % 2 == 0) {  // one character every two passes
        const int32_t vk = typing_.front();
        typing_.erase(typing_.begin());
        tap(vk);
      }
      return;
    }
    if (roll(700)) tap(116);  // F5: the block view
    if (roll(900)) tap(117);  // F6: back
    for (int n = 0; n < 2; ++n)
      if (roll(6)) {
        const int32_t vk = kKeys[pick(int32_t(std::size(kKeys)))];
        // F1..F6 re-create the window: only briefly and rarely
        if (vk >= 112 && vk <= 117 && !roll(20)) continue;
        down_[vk] = !down_[vk];
        if (vk >= 112 && vk <= 117 && down_[vk]) released_.push_back(vk);
      }
    if (roll(10)) down_[1] = !down_[1];
    if (roll(10)) down_[2] = !down_[2];
    if (roll(30)) down_[4] = !down_[4];
    if (roll(3)) {
      x_ = pick(1400) - 300;
      y_ = pick(1100) - 300;
    }
  }
  bool key_down(int32_t vk) override { return vk >= 0 && vk < 256 && down_[vk]; }
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override {
    *x = x_ < 0 ? 0 : x_ >= width ? width - 1 : x_;
    *y = y_ < 0 ? 0 : y_ >= height ? height - 1 : y_;
  }

 private:
  bool roll(int32_t one_in) { return rng_next(rng_) % one_in == 0; }
  int32_t pick(int32_t n) { return rng_next(rng_) % n; }
  void tap(int32_t vk) {
    down_[vk] = true;
    released_.push_back(vk);
  }
  void queue_line(int32_t) {
    for (bool& d : down_) d = false;
    if (console_.open != 1) typing_.push_back(9);  // Tab opens the prompt
    if (!roll(4))  // usually clear the old line first; sometimes type onto it
      for (int i = 0; i < 31; ++i) typing_.push_back(8);
    const char* line = kLines[pick(int32_t(std::size(kLines)))];
    for (const char* c = line; *c; ++c) {
      if (*c >= 'a' && *c <= 'z') typing_.push_back(*c - 'a' + 'A');
      else if (*c >= 'A' && *c <= 'Z') typing_.push_back(*c);  // shift not held: lower case
      else if (*c >= '0' && *c <= '9') typing_.push_back(*c);
      else typing_.push_back(32);
    }
    typing_.push_back(13);
  }

  const CommandLine& console_;
  Rng rng_;
  bool down_[256] = {};
  std::vector<int32_t> released_;
  std::vector<int32_t> typing_;
  int32_t x_ = 320, y_ = 240;
};

}  // namespace

int main(int argc, char** argv) {
  int64_t frames = 3000;
  uint32_t seed = 1;
  std::string data = std::getenv("KV_BUILD_DIR") ? std::getenv("KV_BUILD_DIR") : ".";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--frames")) frames = std::atoll(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--seed")) seed = uint32_t(std::strtoul(argv[i + 1], nullptr, 10));
    else if (!std::strcmp(argv[i], "--data")) data = argv[i + 1];
  }
  NullDisplay display;
  auto game = std::make_unique<Game>();
  Game& g = *game;
  RandomInput input(seed, g.console);
  g.platform = Platform{&input, &display};
  StartOptions opt;
  opt.data_dir = data;
  opt.seeded = true;
  opt.seed = seed;
  if (!start_game(g, opt)) {
    std::fprintf(stderr, "soak: start-up failed\n");
    return 1;
  }
  int64_t screensaver_passes = 0, block_passes = 0, teleports = 0;
  int32_t last_x = unit(g.units, 1).x, last_y = unit(g.units, 1).y;
  for (int64_t f = 0; f < frames; ++f) {
    run_pass(g);
    g.run.quit = 0;  // nothing random may end the soak early
    const UnitRecord& u1 = unit(g.units, 1);
    if (u1.x >= kWorldSide || u1.y >= kWorldSide || u1.level >= kLevelCount) {
      std::fprintf(stderr, "soak: unit 1 left the grid at pass %lld: (%d, %d, %d)\n",
                   static_cast<long long>(f), u1.x, u1.y, u1.level);
      return 1;
    }
    if (g.run.SX < 0 || g.run.SY < 0 || g.run.SZ < 0 || g.run.SZ >= kLevelCount) {
      std::fprintf(stderr, "soak: the view left the world at pass %lld\n",
                   static_cast<long long>(f));
      return 1;
    }
    if (std::abs(u1.x - last_x) > 1 || std::abs(u1.y - last_y) > 1) ++teleports;
    last_x = u1.x;
    last_y = u1.y;
    screensaver_passes += g.run.screensaver == 1;
    block_passes += g.fb.width == 320;
  }
  std::printf("soak: %lld passes, seed %u: %lld in the screensaver, %lld in the block view, "
              "%lld jumps of unit 1, %lld ms of pauses; unit 1 ends at (%d, %d, %d)\n",
              static_cast<long long>(frames), seed, static_cast<long long>(screensaver_passes),
              static_cast<long long>(block_passes), static_cast<long long>(teleports),
              static_cast<long long>(display.paused_ms()), unit(g.units, 1).x,
              unit(g.units, 1).y, unit(g.units, 1).level);
  shutdown_game(g);
  return 0;
}
