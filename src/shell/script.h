#pragma once
// Input scripts: one event per line, replayed pass by pass.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform.h"

struct ScriptEvent {
  enum Kind : uint8_t { kKeyDown, kKeyUp, kPointer, kText };
  int32_t pass = 0;
  Kind kind = kKeyDown;
  int32_t a = 0;      // virtual-key number, pointer x, or a typed byte
  int32_t b = 0;      // pointer y; for text, 1 when a key gave it
  int32_t order = 0;  // releases made by tap/type/click first, then the file's order
};

// The replay holds every event in memory (20 bytes each); a script that makes
// more is refused rather than grown into gigabytes by long `type` lines.
constexpr size_t kMaxScriptEvents = size_t(1) << 22;

constexpr size_t kMaxScriptBytes = size_t(16) << 20;

// A script from a regular file or a pipe (`--script <(...)`), at most kMaxScriptBytes.
// False with one line in *error.
bool read_script_file(const std::string& path, std::string* text, std::string* error);

// Parses the whole text; on failure returns false with "line N: why" in *error.
bool parse_script(const std::string& text, std::vector<ScriptEvent>* events, std::string* error,
                  size_t max_events = kMaxScriptEvents);

// Replays parsed events: those of pass F take effect before pass F polls.
class ScriptInput : public InputSource {
 public:
  explicit ScriptInput(std::vector<ScriptEvent> events);
  void begin_pass(int32_t frame) override;
  bool key_down(int32_t vk) override;
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override;
  std::string typed_text() override { return typed_; }

 private:
  std::vector<ScriptEvent> events_;
  std::string typed_;  // this pass's text events
  size_t next_ = 0;
  bool down_[256] = {};
  int32_t px_ = 0, py_ = 0;
};
