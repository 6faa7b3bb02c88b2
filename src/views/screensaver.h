#pragma once
// Noise and circles that replace the world views.
#include <cstdint>

struct Framebuffer;
struct TrigTables;
struct Rng;

void draw_screensaver_view(Framebuffer& fb, int32_t frame, const TrigTables& trig, Rng& rng);
// Outline of a circle into the Secondary buffer from the trig tables: a half
// turn mirrored about the vertical through the centre. Returns the angle steps.
int32_t circle_outline(Framebuffer& fb, const TrigTables& trig, double cx, double cy, double radius,
                       uint8_t r, uint8_t g, uint8_t b);
