#pragma once
// SDL2 implementations of the platform seam.
#include <string>

#include "core/platform.h"
#include "shell/pacing.h"

struct SDL_Window;

class SdlDisplay : public Display {
 public:
  // headless: SDL's offscreen driver and pauses counted, not slept.
  // vsync: windowed frames come no faster than the display's refresh.
  SdlDisplay(bool headless, bool vsync);
  ~SdlDisplay() override;
  bool create_window(const char* title, int32_t w, int32_t h, std::string* error) override;
  void destroy_window() override;
  bool use_gl(std::string* error) override;
  bool has_context() const override { return gl_context_ != nullptr; }
  bool frame_target(FrameTarget* t) override;
  void show_frame(const ScreenRect& picture) override;
  void end_frame() override;
  bool take_repaint() override;
  void set_fullscreen(bool on) override;
  bool fullscreen() const override { return fullscreen_; }
  bool usable_area(int32_t* w, int32_t* h) override;
  bool pump_message(int32_t* quit) override;
  void move_window_to_pointer(int32_t w, int32_t h) override;
  void show_message(const char* caption, const char* text) override;
  void pause(int32_t ms) override;
  void pause_rest(int32_t ms, int32_t spent_ms) override;
  ScreenRect window_rect() const override;
  // Where the picture lies on the screen: the window, less any black around it.
  ScreenRect picture_rect() const;
  void set_icon(const uint8_t* rgba, int32_t side) override;
  int64_t paused_ms() const override { return paused_ms_; }
  void set_paused_ms(int64_t ms) override { paused_ms_ = ms; }
  SDL_Window* window() const { return window_; }
  // The pointer's screen position.
  void pointer_screen(int* x, int* y) const;
  bool headless() const { return headless_; }
  // Queued typing: the text input (and Backspace, Enter) is kept in order for the game.
  void set_queued_typing(bool on) { queued_typing_ = on; }
  bool queued_typing() const { return queued_typing_; }
  // Takes the waiting typed text (typed_text's conventions) and what the queue holds of it.
  std::string take_typed();

 private:
  bool start_video(std::string* error);
  void keep_typed(const union SDL_Event& e);
  void release_gl();

  bool headless_;
  bool vsync_;
  bool video_ = false;
  SDL_Window* window_ = nullptr;
  // the block view's offscreen GL: an EGL display, pbuffer and context
  void* gl_display_ = nullptr;
  void* gl_surface_ = nullptr;
  void* gl_context_ = nullptr;
  bool repaint_ = false;
  bool fullscreen_ = false;
  ScreenRect picture_;  // in window pixels, as last shown
  int64_t paused_ms_ = 0;
  FramePacer pacer_;
  int64_t refresh_us_ = 0;  // the display's refresh period
  bool queued_typing_ = false;
  std::string typed_;
};

// The keyboard and mouse of the game window.
class SdlInput : public InputSource {
 public:
  explicit SdlInput(SdlDisplay& d) : display_(d) {}
  void begin_pass(int32_t frame) override;
  bool key_down(int32_t vk) override;
  void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) override;
  std::string typed_text() override { return typed_; }

 private:
  SdlDisplay& display_;
  std::string typed_;  // this pass's
};

// The pointer's root-window position straight from the X server; false when
// the window is not on X11. (Kept apart: Xlib's Display clashes with ours.)
bool x11_pointer_position(SDL_Window* w, int* x, int* y);
// True on an X server with no window manager running.
bool x11_without_window_manager(SDL_Window* w);
