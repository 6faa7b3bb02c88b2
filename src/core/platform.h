#pragma once
// The seam between the game and the operating system. Logic code polls keys,
// the pointer and pauses through here and never includes SDL.
#include <cstdint>
#include <string>

// Outer rectangle of the game window in screen pixels.
struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Where input comes from: the real keyboard and mouse, or an input script.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // Called at the top of every pass, before anything polls.
  virtual void begin_pass(int32_t frame) = 0;
  // Windows virtual-key number (mouse buttons 1 left, 2 right, 4 middle).
  virtual bool key_down(int32_t vk) = 0;
  // Pointer in framebuffer pixels, origin bottom-left, clamped to the picture.
  virtual void pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) = 0;
};

// The window, its GL context and the clock.
class Display {
 public:
  virtual ~Display() = default;
  // Creates the borderless window at (0, 0) with a current GL context.
  // On failure returns false and puts the game's message text in *error.
  virtual bool create_window(const char* title, int32_t w, int32_t h, std::string* error) = 0;
  virtual void destroy_window() = 0;
  virtual bool has_context() const = 0;
  virtual void swap() = 0;
  // Takes one waiting window message; returns false when none was waiting.
  // A close request sets *quit.
  virtual bool pump_message(int32_t* quit) = 0;
  // Moves the window's top-left corner to the pointer's screen position.
  virtual void move_window_to_pointer(int32_t w, int32_t h) = 0;
  virtual void show_message(const char* caption, const char* text) = 0;
  virtual void pause(int32_t ms) = 0;
  virtual ScreenRect window_rect() const = 0;
  // The window's icon: RGBA, side x side pixels, top row first.
  virtual void set_icon(const uint8_t* /*rgba*/, int32_t /*side*/) {}
  virtual int64_t paused_ms() const = 0;
  // A loaded game's pauses so far take the place of this run's.
  virtual void set_paused_ms(int64_t /*ms*/) {}
};

struct Platform {
  InputSource* input = nullptr;
  Display* display = nullptr;
};

inline bool key_down(Platform& p, int32_t vk) { return p.input->key_down(vk); }
inline void pause_ms(Platform& p, int32_t ms) { p.display->pause(ms); }
