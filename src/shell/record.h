#pragma once
// --record: samples the real input once per pass, answers the pass from
// that sample, and writes what changed as an input script that --script replays.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/platform.h"

struct Framebuffer;

class RecordingInput : public InputSource {
 public:
  // fb: the pointer is recorded in its current size's pixels.
  RecordingInput(InputSource& live, const Framebuffer& fb, FILE* out);
  ~RecordingInput() override;
  void begin_pass(int32_t frame) override;
  bool key_down(int32_t vk) override;
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override;
  // Notes how the session ended, for the reader.
  void finish(int32_t frames);

 private:
  InputSource& live_;
  const Framebuffer& fb_;
  FILE* out_;
  bool down_[256] = {};
  int32_t px_ = -1, py_ = -1;
  bool first_ = true;
};
