#pragma once
// A display with no window and no GL, for tests and benchmarks: pauses are
// counted, messages recorded.
#include <string>

#include "core/platform.h"

class NullDisplay : public Display {
 public:
  bool fail_create = false;  // make window creation fail
  int32_t last_w = 0, last_h = 0, moves = 0;
  std::string last_message;

  bool create_window(const char*, int32_t w, int32_t h, std::string* error) override {
    if (fail_create) *error = "Window Creation Error.";
    else last_w = w, last_h = h;
    return !fail_create;
  }
  void destroy_window() override {}
  bool has_context() const override { return false; }
  bool pump_message(int32_t*) override { return false; }
  void move_window_to_pointer(int32_t, int32_t) override { ++moves; }
  void show_message(const char*, const char* text) override { last_message = text; }
  void pause(int32_t ms) override { paused_ += ms; }
  ScreenRect window_rect() const override { return {0, 0, last_w, last_h}; }
  int64_t paused_ms() const override { return paused_; }
  void set_paused_ms(int64_t ms) override { paused_ = ms; }

 private:
  int64_t paused_ = 0;
};
