#pragma once
// The program's icon: the mage sprite enlarged, its colour key transparent.
// The desktop icons and the window icon are the same picture.
#include <cstdint>
#include <vector>

struct Bitmap;

// Slot of the sprite the icon is made from.
constexpr int32_t kIconSlot = 849;
// Sizes of the icons installed for the desktop (pixels), and the window's.
constexpr int32_t kIconSizes[] = {16, 32, 48, 64, 128, 256};
constexpr int32_t kWindowIconSide = 64;

// RGBA, side x side pixels, top row first; each sprite pixel becomes a square
// block. Empty when the bitmap is not square or holds no pixels.
std::vector<uint8_t> icon_pixels(const Bitmap& sprite, int32_t side);
