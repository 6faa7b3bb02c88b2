#pragma once
#include <cstdint>

struct Framebuffer;

// Clipped pixel by pixel through put_pixel.
void draw_line(Framebuffer& fb, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r,
               uint8_t g, uint8_t b);
// Four white arms of 5 pixels around (x, y).
void draw_cursor(Framebuffer& fb, int32_t x, int32_t y);
