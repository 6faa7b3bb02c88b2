#pragma once
// First-person OpenGL view of the wall cubes, 320 x 240.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/geometry.h"
#include "units/units.h"
#include "units/walk.h"
#include "world/world.h"

struct Framebuffer;
struct RunState;
struct UnitTable;
struct Platform;
struct BitmapStore;

constexpr int32_t kBlockViewPixels = kBlockViewWidth * kBlockViewHeight;
constexpr int32_t kBlockRadius = 14;  // the field runs from camera - 14 to camera + 13 per axis
constexpr int32_t kBlockFieldCells = 8 * kBlockRadius * kBlockRadius * kBlockRadius;
// The cleared depth (1.0) as read back at 16 bits. Every cube of the field
// lies within 26 cells, far nearer than the far plane, so any drawn pixel
// reads back below it.
constexpr uint16_t kBackgroundDepth = 0xffff;
static_assert(kBlockViewFrustum.far > 4 * kBlockRadius, "the far plane lies well past the field");

// A wall cube the field draws: its offset from the camera cell in GL axes
// (column, minus row, level) and the faces it draws.
struct ShownCube {
  int8_t dx, dy, dz;
  uint8_t faces;
};

// Created at start-up, lives for the whole run.
struct BlockViewState {
  float yaw = 0;               // degrees
  float pitch = 0;             // degrees
  GroundOrigin ground;         // where walking falls back to
  uint32_t textures[32] = {};  // GL texture names; entry 1 walls, from slot 1201
  uint32_t cube_buffer = 0;    // GL buffer of the cube arrays, made on first use in a context
  // Depth read back with the picture: kBackgroundDepth where nothing was drawn.
  std::vector<uint16_t> depth = std::vector<uint16_t>(kBlockViewPixels);
  // The cubes of this frame that may show, in field order: room for the whole field.
  std::vector<ShownCube> shown = std::vector<ShownCube>(kBlockFieldCells);
};

// A new GL context needs both before the view can draw: the viewport and
// perspective, then the fixed GL state and the upload of the seven cube
// textures (slots 1200..1206).
void resize_gl();
void init_gl(BlockViewState& bv, const BitmapStore& bm);

// One pass of the view: the wall cubes around the selected unit, unit 1's
// walking, the read-back into the framebuffer and the mouse look. Without a
// GL context only the walking and the mouse look run.
// With picture_unused the GL work is left out: switching the screensaver on
// clears the secondary buffer, so no later pass sees the skipped read-back.
void draw_block_view(Framebuffer& fb, RunState& run, const World& w, UnitTable& units,
                     BlockViewState& bv, Platform& p, bool gl_ready, bool picture_unused = false);

// Faces of a wall cube in drawing order; bit i set = face i is drawn.
enum CubeFace : uint8_t {
  kFaceLevelUp = 1 << 0,     // toward level + 1
  kFaceLevelDown = 1 << 1,   // toward level - 1
  kFaceRowDown = 1 << 2,     // toward row - 1 (GL y+)
  kFaceRowUp = 1 << 3,       // toward row + 1 (GL y-)
  kFaceColumnUp = 1 << 4,    // toward column + 1
  kFaceColumnDown = 1 << 5,  // toward column - 1
};

// Calls fn(x, y, z, faces) for every wall cube of the field around the camera
// cell that draws at least one face, levels outermost, columns innermost. A
// cube draws no face on a side whose neighbour is a wall too.
// Cells on the grid's outermost rows, columns and levels are never drawn, so
// every neighbour of a drawn cell lies inside the grid and is read directly.
template <class Fn>
void visit_block_field(const World& w, int32_t cx, int32_t cy, int32_t cz, Fn&& fn) {
  const int32_t x0 = std::max(cx - kBlockRadius, 1);
  const int32_t x1 = std::min(cx + kBlockRadius - 1, w.side - 2);
  const int32_t y0 = std::max(cy - kBlockRadius, 1);
  const int32_t y1 = std::min(cy + kBlockRadius - 1, w.side - 2);
  const int32_t z0 = std::max(cz - kBlockRadius, 1);
  const int32_t z1 = std::min(cz + kBlockRadius - 1, kLevelCount - 2);
  for (int32_t z = z0; z <= z1; ++z)
    for (int32_t y = y0; y <= y1; ++y) {
      const uint8_t* row = grid_cells(w) + cell_index(w, 0, y, z);
      const ptrdiff_t side = w.side, level = w.stride;
      for (int32_t x = x0; x <= x1; ++x) {
        const uint8_t* c = row + x;
        if (*c != kTileWall) continue;
        const uint8_t faces = uint8_t(
            (c[level] != kTileWall ? kFaceLevelUp : 0) |
            (c[-level] != kTileWall ? kFaceLevelDown : 0) |
            (c[-side] != kTileWall ? kFaceRowDown : 0) | (c[side] != kTileWall ? kFaceRowUp : 0) |
            (c[1] != kTileWall ? kFaceColumnUp : 0) | (c[-1] != kTileWall ? kFaceColumnDown : 0));
        if (faces) fn(x, y, z, faces);
      }
    }
}

// Where the camera looks from: the view's rotation and the translation by the
// camera unit's fractions, as the GL model-view matrix applies them.
struct ViewPose {
  double rot[3][3];  // GL model axes to eye axes
  double shift[3];   // cells, GL axes
};
ViewPose view_pose(float yaw, float pitch, float fx, float fy, float fz);
// False only when the cube centred at GL offset (dx, dy, dz) from the camera
// cell lies wholly outside the view's frustum: it cannot put a pixel on screen.
bool cube_may_show(const ViewPose& pose, int32_t dx, int32_t dy, int32_t dz);
