#include "shell/platform_sdl.h"

// no Xlib types: its Display clashes with ours
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>

#include "core/geometry.h"
#include "core/pointer.h"
#include "shell/keys.h"
#include "shell/sanitizer_gl.h"

SdlDisplay::SdlDisplay(bool headless, bool vsync) : headless_(headless), vsync_(vsync) {}

SdlDisplay::~SdlDisplay() {
  release_gl();
  destroy_window();
  if (video_) SDL_Quit();
}

bool SdlDisplay::start_video(std::string* error) {
  if (video_) return true;
  // a window run must not fall back to an invisible driver and run blind
  if (headless_) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  // the window's pixels in plain memory (on X11 a shared-memory image), not a GL texture
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
  return true;
}

bool SdlDisplay::create_window(const char* title, int32_t w, int32_t h, std::string* error) {
  if (!start_video(error)) return false;
  window_ = SDL_CreateWindow(title, 0, 0, w, h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  if (!window_) {
    std::fprintf(stderr, "kelvarot: %s\n", SDL_GetError());
    *error = "Window Creation Error.";
    return false;
  }
  if (fullscreen_) set_fullscreen(true);
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_);
  refresh_us_ = refresh_period_us(
      display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0);
  pacer_ = FramePacer{};
  picture_ = ScreenRect{};
  repaint_ = true;
  if (queued_typing_) SDL_StartTextInput();
  SDL_RaiseWindow(window_);
  SDL_ShowCursor(SDL_DISABLE);
  SDL_DisableScreenSaver();
  return true;
}

void SdlDisplay::destroy_window() {
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
}

// An EGL pbuffer on Mesa's surfaceless platform: no window, no X connection
// of its own, the same in a window run as headless, and its pixels are the
// context's own (a hidden window's need not be).
bool SdlDisplay::use_gl(std::string* error) {
  if (gl_context_) return true;
  EGLDisplay d = EGL_NO_DISPLAY;
  auto platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (platform_display)
    d = platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (d == EGL_NO_DISPLAY || !eglInitialize(d, nullptr, nullptr)) {
    d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && !eglInitialize(d, nullptr, nullptr)) d = EGL_NO_DISPLAY;
  }
  // attribute, value pairs
  const EGLint config_wanted[] = {EGL_SURFACE_TYPE,
                                  EGL_PBUFFER_BIT,
                                  EGL_RENDERABLE_TYPE,
                                  EGL_OPENGL_BIT,
                                  EGL_RED_SIZE,
                                  8,
                                  EGL_GREEN_SIZE,
                                  8,
                                  EGL_BLUE_SIZE,
                                  8,
                                  EGL_ALPHA_SIZE,
                                  8,
                                  EGL_DEPTH_SIZE,
                                  16,
                                  EGL_NONE};
  const EGLint size[] = {EGL_WIDTH, kBlockViewWidth, EGL_HEIGHT, kBlockViewHeight, EGL_NONE};
  EGLConfig config{};
  EGLint configs = 0;
  EGLSurface surface = EGL_NO_SURFACE;
  EGLContext context = EGL_NO_CONTEXT;
  if (d != EGL_NO_DISPLAY && eglBindAPI(EGL_OPENGL_API) &&
      eglChooseConfig(d, config_wanted, &config, 1, &configs) && configs == 1)
    surface = eglCreatePbufferSurface(d, config, size);
  if (surface != EGL_NO_SURFACE) context = eglCreateContext(d, config, EGL_NO_CONTEXT, nullptr);
  gl_display_ = d;
  gl_surface_ = surface;
  gl_context_ = context;
  if (context == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "kelvarot: no offscreen GL (EGL error 0x%x)\n", eglGetError());
    *error = "Can't Create A GL Rendering Context.";
    release_gl();
    return false;
  }
  if (!eglMakeCurrent(d, surface, surface, context)) {
    std::fprintf(stderr, "kelvarot: offscreen GL not made current (EGL error 0x%x)\n",
                 eglGetError());
    *error = "Can't Activate The GL Rendering Context.";
    release_gl();
    return false;
  }
#ifdef KV_SANITIZE_BUILD
  keep_gl_driver_loaded();
#endif
  return true;
}

void SdlDisplay::release_gl() {
  if (!gl_display_) return;
  eglMakeCurrent(gl_display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (gl_context_) eglDestroyContext(gl_display_, gl_context_);
  if (gl_surface_) eglDestroySurface(gl_display_, gl_surface_);
  eglTerminate(gl_display_);
  gl_display_ = gl_surface_ = gl_context_ = nullptr;
}

bool SdlDisplay::frame_target(FrameTarget* t) {
  if (!window_ || headless_) return false;
  SDL_Surface* s = SDL_GetWindowSurface(window_);
  if (!s || s->format->BytesPerPixel != 4 || SDL_MUSTLOCK(s)) return false;
  t->pixels = static_cast<uint8_t*>(s->pixels);
  t->pitch = s->pitch;
  t->width = s->w;
  t->height = s->h;
  t->red_shift = s->format->Rshift;
  t->green_shift = s->format->Gshift;
  t->blue_shift = s->format->Bshift;
  t->alpha_bits = s->format->Amask;
  return true;
}

void SdlDisplay::show_frame(const ScreenRect& picture) {
  if (!window_) return;
  picture_ = picture;
  SDL_UpdateWindowSurface(window_);
}

void SdlDisplay::end_frame() {
  // nothing waits for the display any more: sleep out the rest of its refresh period
  if (!window_ || headless_ || !vsync_) return;
  const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
  const int64_t sleep = pace_frame(pacer_, now, refresh_us_);
  if (sleep > 0) std::this_thread::sleep_for(std::chrono::microseconds(sleep));
}

bool SdlDisplay::take_repaint() {
  const bool r = repaint_;
  repaint_ = false;
  return r;
}

void SdlDisplay::set_fullscreen(bool on) {
  fullscreen_ = on;
  if (!window_ || headless_) return;
  SDL_Rect screen{};
  if (on && x11_without_window_manager(window_) &&
      SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) == 0) {
    // the borderless window covers the display instead
    SDL_SetWindowPosition(window_, screen.x, screen.y);
    SDL_SetWindowSize(window_, screen.w, screen.h);
  } else {
    SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }
  repaint_ = true;
}

bool SdlDisplay::usable_area(int32_t* w, int32_t* h) {
  std::string error;
  if (headless_ || !start_video(&error)) return false;
  SDL_Rect r{};
  if (SDL_GetDisplayUsableBounds(window_ ? std::max(0, SDL_GetWindowDisplayIndex(window_)) : 0,
                                 &r) != 0 ||
      r.w <= 0 || r.h <= 0)
    return false;
  *w = r.w;
  *h = r.h;
  return true;
}

bool SdlDisplay::pump_message(int32_t* quit) {
  if (!video_) return false;
  SDL_Event e;
  if (!SDL_PollEvent(&e)) return false;
  if (e.type == SDL_QUIT) *quit = 1;
  keep_typed(e);
  if (e.type != SDL_WINDOWEVENT) return true;
  switch (e.window.event) {
    case SDL_WINDOWEVENT_CLOSE: *quit = 1; break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: repaint_ = true; break;
    default: break;
  }
  return true;
}

void SdlDisplay::keep_typed(const SDL_Event& e) {
  if (!queued_typing_) return;
  if (e.type == SDL_TEXTINPUT) typed_ += e.text.text;
  if (e.type != SDL_KEYDOWN) return;
  const SDL_Scancode k = e.key.keysym.scancode;
  // a held Backspace erases on; a held Enter runs the line once
  if (k == SDL_SCANCODE_BACKSPACE) typed_ += '\b';
  if ((k == SDL_SCANCODE_RETURN || k == SDL_SCANCODE_KP_ENTER) && !e.key.repeat) typed_ += '\r';
}

std::string SdlDisplay::take_typed() {
  if (video_) {
    // key events change no key state when taken: SDL set it while pumping
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) == 1) keep_typed(e);
  }
  std::string t;
  t.swap(typed_);
  return t;
}

void SdlDisplay::move_window_to_pointer(int32_t w, int32_t h) {
  if (!window_ || fullscreen_) return;
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

void SdlDisplay::pause_rest(int32_t ms, int32_t spent_ms) {
  if (headless_) return pause(ms);
  paused_ms_ += ms;
  if (spent_ms < ms) SDL_Delay(Uint32(ms - spent_ms));
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

ScreenRect SdlDisplay::picture_rect() const {
  const ScreenRect w = window_rect();
  if (picture_.right <= picture_.left) return w;
  return {w.left + picture_.left, w.top + picture_.top, w.left + picture_.right,
          w.top + picture_.bottom};
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
  if (display_.queued_typing()) typed_ = display_.take_typed();
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
  const ScreenRect r = display_.picture_rect();
  int sx = 0, sy = 0;
  display_.pointer_screen(&sx, &sy);
  *x = pointer_x_from_screen(sx, r, width);
  *y = pointer_y_from_screen(sy, r, height);
}
