#pragma once
// Pointer position in framebuffer pixels from a screen position and the window rectangle.
#include <cstdint>

#include "core/platform.h"

// offset / size * width in single precision, clamped to 0..width-1.
// A zero-sized rectangle gives 0.
int32_t pointer_x_from_screen(int32_t screen_x, const ScreenRect& r, int32_t width);
// Counted upwards from the window's bottom edge.
int32_t pointer_y_from_screen(int32_t screen_y, const ScreenRect& r, int32_t height);
