#pragma once
// A display with no window and no GL, for tests and benchmarks: pauses are
// counted, messages recorded.
#include <string>

#include "core/platform.h"

class NullDisplay : public Display {
 public:
  bool fail_create = false;  // make window creation fail
  int32_t creates = 0;
  int32_t last_w = 0, last_h = 0;
  std::string last_message;
  int32_t moves = 0;
  int32_t pending_quit = 0;  // delivered by the next pump, like a close request

  bool create_window(const char*, int32_t w, int32_t h, std::string* error) override {
    ++creates;
    if (fail_create) {
      *error = "Window Creation Error.";
      return false;
    }
    last_w = w;
    last_h = h;
    return true;
  }
  void destroy_window() override {}
  bool has_context() const override { return false; }
  void swap() override {}
  bool pump_message(int32_t* quit) override {
    if (!pending_quit) return false;
    *quit = pending_quit;
    pending_quit = 0;
    return true;
  }
  void move_window_to_pointer(int32_t, int32_t) override { ++moves; }
  void show_message(const char*, const char* text) override { last_message = text; }
  void pause(int32_t ms) override { paused_ += ms; }
  ScreenRect window_rect() const override { return {0, 0, last_w, last_h}; }
  int64_t paused_ms() const override { return paused_; }

 private:
  int64_t paused_ = 0;
};
