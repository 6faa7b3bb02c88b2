// Compares the pixels the X server holds for a window with a screenshot of the
// game widened by SCALE: the picture centred, each pixel SCALE x SCALE, black
// around it. Exit 0 when every byte matches.
//   window_pixels WINDOW-ID SHOT.png SCALE
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

#include "tools/picture.h"

int main(int argc, char** argv) {
  Display* d = argc == 4 ? XOpenDisplay(nullptr) : nullptr;
  if (!d) return 2;
  const Window w = Window(std::strtoul(argv[1], nullptr, 0));
  const Picture p = read_png(argv[2]);
  const int s = std::atoi(argv[3]), pw = int(p.width) * s, ph = int(p.height) * s;
  XWindowAttributes a{};
  XGetWindowAttributes(d, w, &a);
  XImage* im = XGetImage(d, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!im || p.pixels.empty() || s < 1) return 2;
  const size_t channels = p.pixels.size() / (size_t(p.width) * p.height);
  const int left = (a.width - pw) / 2, top = (a.height - ph) / 2;
  int bad = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const unsigned long px = XGetPixel(im, x, y);
      const int got[3] = {int(px >> 16 & 255), int(px >> 8 & 255), int(px & 255)};
      int want[3] = {0, 0, 0};
      if (x >= left && x < left + pw && y >= top && y < top + ph) {
        const uint8_t* q = &p.pixels[(size_t((y - top) / s) * p.width + size_t((x - left) / s)) *
                                     channels];
        for (int c = 0; c < 3; ++c) want[c] = q[c];
      }
      if (got[0] == want[0] && got[1] == want[1] && got[2] == want[2]) continue;
      if (bad++ < 3)
        std::fprintf(stderr, "window %dx%d at %d,%d: %d %d %d, not %d %d %d\n", a.width, a.height, x,
                     y, got[0], got[1], got[2], want[0], want[1], want[2]);
    }
  XDestroyImage(im);
  XCloseDisplay(d);
  if (bad) std::fprintf(stderr, "%d pixels differ\n", bad);
  return bad ? 1 : 0;
}
