#pragma once
// Noise and circles that replace the world views.
#include <cstdint>

struct Framebuffer;
struct Rng;

void draw_screensaver_view(Framebuffer& fb, int64_t frame, Rng& rng);
