#include "views/blockview.h"

#include <GL/gl.h>

#include <cstddef>
#include <iterator>

#include "render/framebuffer.h"
#include "shell/platform.h"
#include "shell/pointer.h"
#include "shell/runstate.h"
#include "units/units.h"
#include "views/walk.h"

namespace {

// One quad of a wall cube. Corners are in the cube's own coordinates, before
// the half scale that makes the cube one cell wide.
struct CubeFaceRow {
  int8_t dx, dy, dz;     // neighbour (column, row, level) whose wall hides the face
  float normal[3];       // GL axes
  float tex[4][2];       // texture coordinate of each corner, in drawing order
  float corner[4][3];
};

const CubeFaceRow kCubeFaces[] = {
    // level + 1
    {0, 0, 1, {0, 0, 1}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
     {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
    // level - 1
    {0, 0, -1, {0, 0, -1}, {{1, 1}, {1, 0}, {0, 0}, {0, 1}},
     {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
    // GL y+, the row - 1 side
    {0, -1, 0, {0, 1, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    // GL y-, the row + 1 side
    {0, 1, 0, {0, -1, 0}, {{1, 1}, {0, 1}, {0, 0}, {1, 0}},
     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    // column + 1
    {1, 0, 0, {1, 0, 0}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
     {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    // column - 1
    {-1, 0, 0, {-1, 0, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
};
static_assert(std::size(kCubeFaces) == 6);

void draw_block_field(const World& w, const UnitRecord& cam, const BlockViewState& bv) {
  const int32_t cx = cam.x, cy = cam.y, cz = cam.level;
  glPushMatrix();
  glRotatef(bv.pitch, 1.0f, 0.0f, 0.0f);
  glRotatef(180.0f - bv.yaw, 0.0f, 0.0f, 1.0f);
  glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
  glTranslatef(cam.fx - 0.5f, cam.fy - 0.5f, cam.fz - 0.5f);
  // every cube draws with the same state, so it is set once per frame
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_COLOR_MATERIAL);
  glBindTexture(GL_TEXTURE_2D, bv.textures[1]);
  glColor3f(1.0f, 1.0f, 1.0f);
  // cells that draw nothing cost no matrix work
  visit_block_field(w, cx, cy, cz, [&](int32_t x, int32_t y, int32_t z, uint8_t faces) {
    glPushMatrix();
    glTranslatef(float(x - cx), float(cy - y), float(z - cz));
    glScalef(0.5f, 0.5f, 0.5f);
    glBegin(GL_QUADS);
    for (size_t i = 0; i < std::size(kCubeFaces); ++i) {
      if (!(faces & (1u << i))) continue;
      const CubeFaceRow& f = kCubeFaces[i];
      glNormal3fv(f.normal);
      for (int k = 0; k < 4; ++k) {
        glTexCoord2fv(f.tex[k]);
        glVertex3fv(f.corner[k]);
      }
    }
    glEnd();
    glPopMatrix();
  });
  glPopMatrix();
}

void read_back_picture(Framebuffer& fb, BlockViewState& bv) {
  glLoadIdentity();
  const size_t rgb_bytes = size_t(kBlockViewPixels) * 3;
  if (fb.secondary.size() < rgb_bytes || bv.depth.size() < size_t(kBlockViewPixels)) return;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_RGB, GL_UNSIGNED_BYTE,
               fb.secondary.data());
  // the cleared depth marks the background: the clear colour's bytes differ by driver
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_DEPTH_COMPONENT, GL_FLOAT,
               bv.depth.data());
  copy_read_back(fb, bv.depth.data());
}

}  // namespace

uint8_t wall_cube_faces(const World& w, int32_t x, int32_t y, int32_t z) {
  if (cell_at(w, x, y, z) != kTileWall) return 0;
  uint8_t faces = 0;
  for (size_t i = 0; i < std::size(kCubeFaces); ++i) {
    const CubeFaceRow& f = kCubeFaces[i];
    if (cell_at(w, x + f.dx, y + f.dy, z + f.dz) != kTileWall) faces |= uint8_t(1u << i);
  }
  return faces;
}

void copy_read_back(Framebuffer& fb, const float* depth) {
  if (fb.width != kBlockViewWidth || fb.height != kBlockViewHeight) return;
  if (fb.secondary.size() < size_t(kBlockViewPixels) * 3 ||
      fb.pixels.size() < size_t(kBlockViewPixels) * 4)
    return;
  const uint8_t* src = fb.secondary.data();
  uint8_t* dst = fb.pixels.data();
  for (int32_t i = 0; i < kBlockViewPixels; ++i) {
    if (depth[i] < 1.0f) {
      dst[i * 4 + 0] = src[i * 3 + 0];
      dst[i * 4 + 1] = src[i * 3 + 1];
      dst[i * 4 + 2] = src[i * 3 + 2];
      dst[i * 4 + 3] = 255;
    }
  }
}

void draw_block_view(Framebuffer& fb, RunState& run, const World& w, UnitTable& units,
                     BlockViewState& bv, Platform& p, bool gl_ready) {
  const bool camera_valid = run.selected_unit >= 0 && run.selected_unit < kUnitTableSize;
  if (gl_ready) {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (camera_valid) draw_block_field(w, unit(units, run.selected_unit), bv);
  }
  walk_unit1(w, run, bv, units, key_down(p, kVkLButton), key_down(p, vk_letter('Z')));
  if (gl_ready) read_back_picture(fb, bv);
  // takes effect on the next frame
  if (key_down(p, kVkLButton) || key_down(p, kVkMButton) || key_down(p, kVkRButton)) {
    bv.yaw = float(20 - 2 * pointer_x(p, fb));
    bv.pitch = float(-pointer_y(p, fb));
  }
}
