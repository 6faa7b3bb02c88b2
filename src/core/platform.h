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
  // What the window system's text input gave before this pass, in order: characters,
  // '\b' for Backspace, '\r' for Enter. Empty unless asked for (queued typing).
  virtual std::string typed_text() { return {}; }
};

// Window pixels to draw a picture into: 32 bits a pixel, top row first.
struct FrameTarget {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;  // bytes a row
  int32_t width = 0, height = 0;
  uint8_t red_shift = 16, green_shift = 8, blue_shift = 0;
  uint32_t alpha_bits = 0;  // set in every pixel
};

// The window, the block view's GL context and the clock.
class Display {
 public:
  virtual ~Display() = default;
  // Creates the borderless window at (0, 0), without GL.
  // On failure returns false and puts the game's message text in *error.
  virtual bool create_window(const char* title, int32_t w, int32_t h, std::string* error) = 0;
  virtual void destroy_window() = 0;
  // Makes the offscreen GL context current, creating it on the first call.
  // On failure returns false and puts the game's message text in *error; a
  // display without GL at all (tests) returns false and leaves it empty.
  virtual bool use_gl(std::string* /*error*/) { return false; }
  virtual bool has_context() const = 0;
  // The window's pixels for the next picture; false when nothing is shown.
  virtual bool frame_target(FrameTarget* /*t*/) { return false; }
  // Puts the target on screen; the picture covers `picture` (window pixels).
  virtual void show_frame(const ScreenRect& /*picture*/) {}
  // Called once a pass after the present, shown or skipped: keeps the pace.
  virtual void end_frame() {}
  // True once after the window was created, exposed, moved or resized.
  virtual bool take_repaint() { return false; }
  virtual void set_fullscreen(bool /*on*/) {}
  virtual bool fullscreen() const { return false; }
  // The size of the display's usable area; false when there is none.
  virtual bool usable_area(int32_t* /*w*/, int32_t* /*h*/) { return false; }
  // Takes one waiting window message; returns false when none was waiting.
  // A close request sets *quit.
  virtual bool pump_message(int32_t* quit) = 0;
  // Moves the window's top-left corner to the pointer's screen position.
  virtual void move_window_to_pointer(int32_t w, int32_t h) = 0;
  virtual void show_message(const char* caption, const char* text) = 0;
  virtual void pause(int32_t ms) = 0;
  // A pause of ms of which spent_ms already went on work done inside it.
  virtual void pause_rest(int32_t ms, int32_t /*spent_ms*/) { pause(ms); }
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
  bool typing = false;  // letters and digits go to the command line only
};

inline bool key_down(Platform& p, int32_t vk) {
  if (p.typing && ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))) return false;
  return p.input->key_down(vk);
}
inline void pause_ms(Platform& p, int32_t ms) { p.display->pause(ms); }
