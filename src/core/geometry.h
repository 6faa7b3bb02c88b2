#pragma once
// Sizes every layer agrees on, and how the block view's camera projects.
#include <array>
#include <cstdint>

constexpr int32_t kCellPixels = 16;  // overworld pixels per cell side; tile pictures are this wide
constexpr int32_t kBlockCells = 16;  // cells per coarse block side

// The two framebuffer sizes; a view is chosen by the framebuffer's width.
constexpr int32_t kOverworldWidth = 640;
constexpr int32_t kOverworldHeight = 480;
constexpr int32_t kBlockViewWidth = 320;
constexpr int32_t kBlockViewHeight = 240;

// A symmetric perspective: what glFrustum is given and what culling tests against.
struct Frustum {
  double tan_half_fov;  // half the height over the distance, vertically
  double aspect;        // width over height
  double near, far;     // distances of the clipping planes
  constexpr double top() const { return near * tan_half_fov; }  // half height at the near plane
  constexpr double right() const { return top() * aspect; }     // half width at the near plane
};

// The block view: 45 degrees high (tan 22.5 degrees = sqrt 2 - 1), 4:3 wide,
// with the ratio and the near plane rounded to single precision.
constexpr Frustum kBlockViewFrustum{0.41421356237309503, double(4.0f / 3.0f), double(0.1f), 100.0};

// Degrees to radians (a hair below pi/180); the screensaver's circles and
// the walk must agree on it to the last bit, so it is written once, here.
constexpr double kDegreeFactor = 0.017453292516666667;

// One turn of the block view camera about a GL axis.
struct ViewTurn {
  int axis;  // 0 x, 2 z
  float degrees;
};

// The camera's turns in the order the model-view matrix takes them. At
// pitch 0 the camera faces level + 1; pitch -90 looks along the level, where
// yaw 0 faces lower rows and yaw -90 lower columns.
constexpr std::array<ViewTurn, 3> view_turns(float yaw, float pitch) {
  return {{{0, pitch}, {2, 180.0f - yaw}, {0, 180.0f}}};
}

// Mouse look: the pointer's framebuffer position sets where the camera faces.
struct ViewAngles {
  float yaw, pitch;  // degrees
};
constexpr ViewAngles pointer_look(int32_t x, int32_t y) { return {float(20 - 2 * x), float(-y)}; }
