// Checks what a screenshot of the game shows, each CHECK named below, in
// framebuffer coordinates (origin bottom-left, as the game draws).
//   picture_check FILE CHECK [CHECK...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tools/picture.h"

namespace {

using Rgb = std::tuple<int, int, int>;
const Rgb kYellow{255, 255, 0}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

struct Shot {
  Picture p;
  int w = int(p.width), h = int(p.height);
  size_t channels = w > 0 && h > 0 ? p.pixels.size() / size_t(w* h) : 0;

  std::vector<Rgb> region(int x0, int y0, int x1, int y1) const {
    std::vector<Rgb> out;
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
        const uint8_t* px = &p.pixels[(size_t(h - 1 - y) * size_t(w) + size_t(x)) * channels];
        out.emplace_back(px[0], px[1], px[2]);
      }
    return out;
  }

  // window=ID,SCALE: the X server holds for the window this picture widened by SCALE,
  // each pixel SCALE x SCALE, centred on black (a 24-bit TrueColor screen)
  bool shown_in_window(::Window id, int s) const {
    ::Display* d = XOpenDisplay(nullptr);
    XWindowAttributes a{};
    if (!d || s < 1 || !XGetWindowAttributes(d, id, &a)) return false;
    XImage* im = XGetImage(d, id, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    const int left = (a.width - w * s) / 2, top = (a.height - h * s) / 2;
    int bad = im ? 0 : 1;
    for (int y = 0; im && y < a.height; ++y)
      for (int x = 0, px = -left, py = y - top; x < a.width; ++x, ++px) {
        const std::vector<Rgb> c = region(px / s, h - 1 - py / s, px / s + 1, h - py / s);
        const bool in = px >= 0 && px < w * s && py >= 0 && py < h * s;
        const auto [r, g, b] = in ? c.at(0) : kBlack;
        bad += (XGetPixel(im, x, y) & 0xffffff) != unsigned(r << 16 | g << 8 | b);
      }
    if (bad)
      std::fprintf(stderr, "%d of the %dx%d window's pixels differ\n", bad, a.width, a.height);
    return bad == 0;
  }

  bool passes(const std::string& check) const {
    const size_t eq = check.find('=');
    const std::string name = check.substr(0, eq),
                      arg = eq == check.npos ? "" : check.substr(eq + 1);
    int x = 0, y = 0;
    std::sscanf(arg.c_str(), "%d,%d", &x, &y);
    auto count = [](const std::vector<Rgb>& v, auto pred) {
      return size_t(std::count_if(v.begin(), v.end(), pred));
    };
    auto is = [](Rgb c) { return [c](Rgb p) { return p == c; }; };
    auto blue_only = [](Rgb p) { return std::get<0>(p) == 0 && std::get<1>(p) == 0; };
    const std::vector<Rgb> view = region(0, 80, w, h - 40), all = region(0, 0, w, h);
    auto lit_blue = [&](Rgb p) { return blue_only(p) && p != kBlack; };
    std::set<Rgb> blues;  // the view's shades of lit blue
    for (const Rgb& p : view) lit_blue(p) ? void(blues.insert(p)) : void();
    const double black = double(count(view, is(kBlack))), n = double(view.size());
    if (name == "window") return shown_in_window(std::strtoul(arg.c_str(), nullptr, 0), y);
    if (name == "size") return arg == std::to_string(w) + "x" + std::to_string(h);
    // the banner and status lines in the bottom-left corner
    if (name == "yellow_text") return count(region(0, 0, 300, 70), is(kYellow)) > 200;
    if (name == "banner") return count(region(0, h - 31, w, h), is(kYellow)) > 50;  // top rows
    if (name == "cross") {  // cross=X,Y: the white cursor's centre and arm ends
      for (auto [dx, dy] : {std::pair{0, 0}, {5, 0}, {-5, 0}, {0, 5}, {0, -5}})
        if (region(x + dx, y + dy, x + dx + 1, y + dy + 1) != std::vector{kWhite}) return false;
      return true;
    }
    if (name == "white_prompt") return count(region(10, 58, 200, 75), is(kWhite)) > 40;
    if (name == "minimap" || name == "no_minimap") {  // =X,Y: its grey and green blocks there
      const std::vector<Rgb> sq = region(x, y, x + 64, y + 64);
      const size_t blocks = count(sq, is({128, 128, 128})) + count(sq, is({0, 128, 0}));
      return name == "minimap" ? blocks > 2000 : blocks < 50;
    }
    if (name == "terrain")  // tiles over the whole view: nothing black, no noise
      return n - black > 0.9 * n && blues.size() + (black > 0) < 32;
    if (name == "screensaver")  // mostly noise: many shades of blue without red or green
      return double(count(view, lit_blue)) > 0.8 * n && blues.size() > 100;
    if (name == "bricks")  // the block view's reddish-brown cubes over a quarter of the view
      return count(all, [](Rgb p) {
               return std::get<0>(p) > std::get<2>(p) + 20 && std::get<0>(p) > 40;
             }) > size_t(w * h / 4);
    std::fprintf(stderr, "unknown check %s\n", check.c_str());
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const Shot s{read_png(argv[1])};
  std::string failed;
  for (int i = 2; i < argc; ++i)
    if (!s.passes(argv[i])) failed += std::string(" ") + argv[i];
  if (failed.empty()) return 0;
  std::fprintf(stderr, "%s: failed%s (%dx%d)\n", argv[1], failed.c_str(), s.w, s.h);
  return 1;
}
