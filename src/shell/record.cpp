#include "shell/record.h"

#include <algorithm>

#include "render/framebuffer.h"
#include "shell/keys.h"

RecordingInput::RecordingInput(InputSource& live, const Framebuffer& fb, FILE* out)
    : live_(live), fb_(fb), out_(out) {
  std::fprintf(out_, "# kelvarot input, recorded pass by pass; replay with --script\n");
}

RecordingInput::~RecordingInput() { std::fflush(out_); }

void RecordingInput::begin_pass(int32_t frame) {
  live_.begin_pass(frame);
  for (int32_t vk = 0; vk < 256; ++vk) {
    if (!key_row(vk)) continue;  // only what the game polls
    const bool d = live_.key_down(vk);
    if (d == down_[vk]) continue;
    down_[vk] = d;
    std::fprintf(out_, "%d %s %s\n", frame, script_key_words(vk).c_str(), d ? "down" : "up");
  }
  int32_t x = 0, y = 0;
  live_.pointer(fb_.width, fb_.height, &x, &y);
  if (first_ || x != px_ || y != py_) {
    px_ = x;
    py_ = y;
    std::fprintf(out_, "%d pointer %d %d\n", frame, x, y);
  }
  first_ = false;
  std::fflush(out_);  // pass by pass, so a crash or a watcher sees what was done
}

bool RecordingInput::key_down(int32_t vk) { return vk >= 0 && vk < 256 && down_[vk]; }

void RecordingInput::pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) {
  *x = std::clamp(px_, 0, width > 0 ? width - 1 : 0);
  *y = std::clamp(py_, 0, height > 0 ? height - 1 : 0);
}

void RecordingInput::finish(int32_t frames) {
  std::fprintf(out_, "# the session ended after %d passes (replay with --frames %d)\n", frames,
               frames);
  std::fflush(out_);
}
