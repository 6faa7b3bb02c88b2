#pragma once
// Sizes that several layers must agree on.
#include <cstdint>

constexpr int32_t kCellPixels = 16;  // overworld pixels per cell side
constexpr int32_t kOverworldWidth = 640, kOverworldHeight = 480;    // framebuffer pixels
constexpr int32_t kBlockViewWidth = 320, kBlockViewHeight = 240;    // framebuffer pixels
