#pragma once
// Copying bitmap slots into the Framebuffer, 16 pixels per cell in the overworld.
#include <cstdint>

struct Framebuffer;
struct BitmapStore;

// Opaque copy of the slot with its bottom-left corner at (x, y). The slot's
// width serves as both sides; rows the slot does not hold are left alone.
void draw_tile(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot);
// As draw_tile, but colour-key (255, 0, 246) and black pixels are skipped.
void draw_sprite(Framebuffer& fb, const BitmapStore& bm, int32_t x, int32_t y, int32_t slot);
