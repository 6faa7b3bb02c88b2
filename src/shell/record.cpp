#include "shell/record.h"

#include <algorithm>

#include "render/framebuffer.h"

namespace {

// Every key and button the game polls.
bool recorded_key(int32_t vk) {
  return vk == 1 || vk == 2 || vk == 4 || vk == 8 || vk == 9 || vk == 13 || vk == 16 ||
         vk == 27 || vk == 32 || (vk >= 37 && vk <= 40) || (vk >= 48 && vk <= 57) ||
         (vk >= 65 && vk <= 90) || vk == 107 || vk == 109 || (vk >= 112 && vk <= 123) ||
         vk == 219 || vk == 221;
}

}  // namespace

std::string script_key_name(int32_t vk) {
  switch (vk) {
    case 1: return "button left";
    case 2: return "button right";
    case 4: return "button middle";
    case 8: return "key BACKSPACE";
    case 9: return "key TAB";
    case 13: return "key ENTER";
    case 16: return "key SHIFT";
    case 27: return "key ESCAPE";
    case 32: return "key SPACE";
    case 37: return "key LEFT";
    case 38: return "key UP";
    case 39: return "key RIGHT";
    case 40: return "key DOWN";
    case 107: return "key ADD";
    case 109: return "key SUBTRACT";
    case 219: return "key LBRACKET";
    case 221: return "key RBRACKET";
    default: break;
  }
  if ((vk >= 48 && vk <= 57) || (vk >= 65 && vk <= 90)) return "key " + std::string(1, char(vk));
  if (vk >= 112 && vk <= 123) return "key F" + std::to_string(vk - 111);
  return "key " + std::to_string(vk);
}

RecordingInput::RecordingInput(InputSource& live, const Framebuffer& fb, FILE* out)
    : live_(live), fb_(fb), out_(out) {
  std::fprintf(out_, "# kelvarot input, recorded pass by pass; replay with --script\n");
}

RecordingInput::~RecordingInput() { std::fflush(out_); }

void RecordingInput::begin_pass(int32_t frame) {
  live_.begin_pass(frame);
  for (int32_t vk = 0; vk < 256; ++vk) {
    if (!recorded_key(vk)) continue;
    const bool d = live_.key_down(vk);
    if (d == down_[vk]) continue;
    down_[vk] = d;
    std::fprintf(out_, "%d %s %s\n", frame, script_key_name(vk).c_str(), d ? "down" : "up");
  }
  int32_t x = 0, y = 0;
  live_.pointer(fb_.width, fb_.height, &x, &y);
  if (first_ || x != px_ || y != py_) {
    px_ = x;
    py_ = y;
    std::fprintf(out_, "%d pointer %d %d\n", frame, x, y);
  }
  first_ = false;
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
