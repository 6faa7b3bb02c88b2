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
  // fb: the pointer is recorded in its current size's pixels. Owns out from here on; the
  // header names the seed, so that a replay needs nothing but the files. header_more:
  // further header lines (the save it started from, the settings in force). name: for messages.
  RecordingInput(InputSource& live, const Framebuffer& fb, FILE* out, uint32_t seed,
                 const std::string& name, const std::string& header_more = "");
  ~RecordingInput() override;
  void begin_pass(int32_t frame) override;
  bool key_down(int32_t vk) override;
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override;
  std::string typed_text() override { return typed_; }
  // Notes how many passes the session ran and closes the file. False when any write failed.
  bool finish(int32_t frames);

 private:
  void check(bool written);
  InputSource& live_;
  const Framebuffer& fb_;
  FILE* out_;
  std::string name_;
  long passes_at_ = -1;  // file offset of the pass count, filled in at the end
  bool ok_ = true;
  bool down_[256] = {};
  int32_t px_ = -1, py_ = -1;
  bool first_ = true;
  std::string typed_;
};

// What a recording's header says; old recordings and hand-written scripts say nothing.
struct RecordingHeader {
  bool has_seed = false;
  uint32_t seed = 0;
  int32_t passes = 0;      // 0: not known
  bool recording = false;  // the text begins as a recording does
  std::string error;       // set when a header field cannot be read: it names the field
  std::string save;        // the save the session was loaded from; empty for a new game
};
RecordingHeader read_recording_header(const std::string& script);
