#pragma once
// The picture to the window: widened by a whole-number scale on the CPU,
// straight into the window's own pixels.
#include <cstdint>
#include <vector>

struct Framebuffer;
struct FrameTarget;
struct ScreenRect;
class Display;

// What the window last showed, so that an unchanged picture is not sent again.
struct PresentState {
  std::vector<uint8_t> shown;  // the framebuffer's bytes as last presented
  int32_t width = 0, height = 0;
  int64_t count = 0, skipped = 0;
};

// Blacks out the Framebuffer.
void clear_frame(Framebuffer& fb);
// The largest whole scale at which w x h fits into area_w x area_h; at least 1.
int32_t fitting_scale(int32_t w, int32_t h, int32_t area_w, int32_t area_h);
// Draws fb scaled by `scale` into the target, centred on black, fb's row 0
// at the bottom, and returns where the picture lies in the target.
ScreenRect widen_into(const Framebuffer& fb, int32_t scale, const FrameTarget& t);
// Shows fb at the largest scale up to max_scale that fits the window, unless
// it is the picture last shown and the window needs no repaint. True when shown.
bool present(const Framebuffer& fb, int32_t max_scale, Display& d, PresentState& st);
