#include "shell/platform_sdl.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>

#include "core/pointer.h"
#include "shell/keys.h"
#include "shell/sanitizer_gl.h"

SdlDisplay::SdlDisplay(bool headless, bool vsync) : headless_(headless), vsync_(vsync) {}

SdlDisplay::~SdlDisplay() {
  destroy_window();
  if (video_) SDL_Quit();
}

bool SdlDisplay::create_window(const char* title, int32_t w, int32_t h, std::string* error) {
  if (!video_) {
    // a window run must not fall back to an invisible driver and run blind
    if (headless_) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      *error = "Failed To Register The Window Class.";
      std::fprintf(stderr, "kelvarot: %s\n", SDL_GetError());
      return false;
    }
    video_ = true;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!headless_ && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
      *error = "Failed To Register The Window Class.";
      std::fprintf(stderr, "kelvarot: no display to open a window on (try --headless)\n");
      SDL_Quit();
      video_ = false;
      return false;
    }
  }
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  window_ = SDL_CreateWindow(title, 0, 0, w, h,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  if (!window_) {
    std::fprintf(stderr, "kelvarot: %s\n", SDL_GetError());
    *error = "Window Creation Error.";
    return false;
  }
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    std::fprintf(stderr, "kelvarot: %s\n", SDL_GetError());
    destroy_window();
    *error = "Can't Create A GL Rendering Context.";
    return false;
  }
  if (SDL_GL_MakeCurrent(window_, context_) != 0) {
    std::fprintf(stderr, "kelvarot: %s\n", SDL_GetError());
    destroy_window();
    *error = "Can't Activate The GL Rendering Context.";
    return false;
  }
#ifdef KV_SANITIZE_BUILD
  keep_gl_driver_loaded();
#endif
  if (headless_ || !vsync_) {
    SDL_GL_SetSwapInterval(0);
  } else if (SDL_GL_SetSwapInterval(1) != 0) {
    SDL_GL_SetSwapInterval(-1);
  }
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  refresh_us_ = refresh_period_us(
      display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0);
  pacer_ = FramePacer{};
  SDL_RaiseWindow(window_);
  SDL_ShowCursor(SDL_DISABLE);
  SDL_DisableScreenSaver();
  return true;
}

void SdlDisplay::destroy_window() {
  if (context_) {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
  }
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
}

void SdlDisplay::swap() {
  if (!window_) return;
  SDL_GL_SwapWindow(window_);
  // An offscreen swap neither shows nor waits for anything, so the driver would
  // queue every frame's drawing: memory grew with the frame count, and exit
  // waited for the backlog. Each headless frame finishes its own work instead.
  if (headless_) {
    glFinish();
    return;
  }
  // Where the swap did not wait for the display (a software X server, a
  // hidden or minimised window), sleep out the rest of the refresh period.
  if (!vsync_) return;
  const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
  const int64_t sleep = pace_frame(pacer_, now, refresh_us_);
  if (sleep > 0) std::this_thread::sleep_for(std::chrono::microseconds(sleep));
}

bool SdlDisplay::pump_message(int32_t* quit) {
  if (!video_) return false;
  SDL_Event e;
  if (!SDL_PollEvent(&e)) return false;
  if (e.type == SDL_QUIT) *quit = 1;
  if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) *quit = 1;
  return true;
}

void SdlDisplay::move_window_to_pointer(int32_t w, int32_t h) {
  if (!window_) return;
  int x = 0, y = 0;
  pointer_screen(&x, &y);
  SDL_SetWindowPosition(window_, x, y);
  SDL_SetWindowSize(window_, w, h);
  SDL_ShowCursor(SDL_DISABLE);
}

void SdlDisplay::show_message(const char* caption, const char* text) {
  std::fprintf(stderr, "kelvarot: %s: %s\n", caption, text);
  if (!headless_ && video_)
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

void SdlDisplay::pause(int32_t ms) {
  if (headless_) {
    paused_ms_ += ms;
    return;
  }
  paused_ms_ += ms;
  SDL_Delay(Uint32(ms));
  if (video_) SDL_PumpEvents();
}

void SdlDisplay::pointer_screen(int* x, int* y) const {
  *x = 0;
  *y = 0;
  if (!window_) return;
  if (x11_pointer_position(window_, x, y)) return;
  if (SDL_GetMouseFocus() == window_) {
    // no global pointer (Wayland): the window-relative one gives the same offset
    int wx = 0, wy = 0;
    SDL_GetMouseState(x, y);
    SDL_GetWindowPosition(window_, &wx, &wy);
    *x += wx;
    *y += wy;
    return;
  }
  SDL_GetGlobalMouseState(x, y);
}

ScreenRect SdlDisplay::window_rect() const {
  ScreenRect r;
  if (!window_) return r;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  r.left = x;
  r.top = y;
  r.right = x + w;
  r.bottom = y + h;
  return r;
}

void SdlDisplay::set_icon(const uint8_t* rgba, int32_t side) {
  if (!window_ || headless_ || !rgba || side <= 0) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), side, side, 32,
                                                      side * 4, SDL_PIXELFORMAT_RGBA32);
  if (!s) return;
  SDL_SetWindowIcon(window_, s);  // SDL keeps its own copy
  SDL_FreeSurface(s);
}

void SdlInput::begin_pass(int32_t) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_PumpEvents();
}

bool SdlInput::key_down(int32_t vk) {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !display_.window()) return false;
  if (vk == 1 || vk == 2 || vk == 4) {
    // buttons as the game window sees them
    const Uint32 b = SDL_GetMouseState(nullptr, nullptr);
    if (vk == 1) return b & SDL_BUTTON(SDL_BUTTON_LEFT);
    if (vk == 2) return b & SDL_BUTTON(SDL_BUTTON_RIGHT);
    return b & SDL_BUTTON(SDL_BUTTON_MIDDLE);
  }
  // keys typed into other windows never reach the game's keyboard state
  if (SDL_GetKeyboardFocus() != display_.window()) return false;
  const KeyRow* row = key_row(vk);
  if (!row || row->button) return false;
  return key_held(*row, SDL_GetKeyboardState(nullptr), (SDL_GetModState() & KMOD_NUM) != 0);
}

void SdlInput::pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) {
  if (display_.headless()) {
    // no one can move it: the cross stays in the middle of the picture
    *x = width / 2;
    *y = height / 2;
    return;
  }
  *x = 0;
  *y = 0;
  if (!display_.window()) return;
  const ScreenRect r = display_.window_rect();
  int sx = 0, sy = 0;
  display_.pointer_screen(&sx, &sy);
  *x = pointer_x_from_screen(sx, r, width);
  *y = pointer_y_from_screen(sy, r, height);
}
