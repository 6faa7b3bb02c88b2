#pragma once
// The GL half of the frame: clearing and presenting.
#include <cstdint>

struct Framebuffer;
class Display;

// Clears GL colour and depth and resets the matrix (when a context exists),
// then blacks out the Framebuffer.
void clear_frame(Framebuffer& fb, bool gl_ready);
// Draws the Framebuffer at the zoom with one pixel rectangle and swaps.
void present(const Framebuffer& fb, int32_t zoom, Display& d, bool gl_ready);
