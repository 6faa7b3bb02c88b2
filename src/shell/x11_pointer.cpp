#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

// SDL caches the global pointer between raw input events, which synthetic
// and some real servers do not send, so ask the server directly.
bool x11_pointer_position(SDL_Window* w, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  ::Window root = 0, child = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  Display* d = info.info.x11.display;
  if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask))
    return false;
  *x = rx;
  *y = ry;
  return true;
#else
  (void)w;
  (void)x;
  (void)y;
  return false;
#endif
}

// Full screen is the window manager's to grant; with none running nobody
// would resize the window.
bool x11_without_window_manager(SDL_Window* w) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* d = info.info.x11.display;
  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return true;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found =
      XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType, &type,
                         &format, &items, &after, &data) == Success &&
      items > 0;
  if (data) XFree(data);
  return !found;
#else
  (void)w;
  return false;
#endif
}
