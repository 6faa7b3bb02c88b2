#include "views/blockview.h"

// buffer objects are core since GL 1.5; the GL library exports them
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "core/keys.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "units/units.h"
#include "world/bitmap.h"

namespace {

// One quad of a wall cube. Corners are in the cube's own coordinates, before
// the half scale that makes the cube one cell wide.
struct CubeFaceRow {
  float normal[3];  // GL axes
  float tex[4][2];  // texture coordinate of each corner, in drawing order
  float corner[4][3];
};

// Row i is the face of bit i of the field's face masks (CubeFace).
constexpr CubeFaceRow kCubeFaces[] = {
    // kFaceLevelUp
    {{0, 0, 1}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
    // kFaceLevelDown
    {{0, 0, -1},
     {{1, 1}, {1, 0}, {0, 0}, {0, 1}},
     {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
    // kFaceRowDown: GL y+
    {{0, 1, 0}, {{0, 1}, {0, 0}, {1, 0}, {1, 1}}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    // kFaceRowUp: GL y-
    {{0, -1, 0},
     {{1, 1}, {0, 1}, {0, 0}, {1, 0}},
     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    // kFaceColumnUp
    {{1, 0, 0}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}, {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    // kFaceColumnDown
    {{-1, 0, 0},
     {{0, 1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
};
static_assert(std::size(kCubeFaces) == 6);

// The face table unrolled into vertex arrays: for every set of faces a cube
// may draw, its corners with the faces in table order (sets 0..63, by face
// mask) and in reverse table order (64..127), each quad keeping its own corner
// order so that it splits into the same two triangles. One array draw per
// cube gives the very pixels of drawing the quads corner by corner.
constexpr int kFaceSets = 128;
constexpr int kReversedFaces = 64;  // added to a face mask: the same faces, last first
constexpr int kSetVertices = 24;

struct CubeArrays {
  float position[kFaceSets][kSetVertices][3];
  float tex[kFaceSets][kSetVertices][2];
  float normal[kFaceSets][kSetVertices][3];
  uint8_t count[kFaceSets];
};

constexpr CubeArrays make_cube_arrays() {
  CubeArrays a{};
  for (int set = 0; set < kFaceSets; ++set) {
    const unsigned mask = unsigned(set) % kReversedFaces;
    uint8_t n = 0;
    for (int j = 0; j < 6; ++j) {
      const int i = set >= kReversedFaces ? 5 - j : j;
      if (!(mask & (1u << i))) continue;
      for (int k = 0; k < 4; ++k, ++n) {
        for (int c = 0; c < 3; ++c) a.position[set][n][c] = kCubeFaces[i].corner[k][c];
        for (int c = 0; c < 2; ++c) a.tex[set][n][c] = kCubeFaces[i].tex[k][c];
        for (int c = 0; c < 3; ++c) a.normal[set][n][c] = kCubeFaces[i].normal[c];
      }
    }
    a.count[set] = n;
  }
  return a;
}

constexpr CubeArrays kCubeArrays = make_cube_arrays();

// Buffer objects came with GL 1.5.
bool has_vertex_buffers() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
  return major > 1 || (major == 1 && minor >= 5);
}

// Binds the cube arrays' buffer and returns true; false on a context without
// buffers, which then draws from client memory. The buffer lives in the
// context: a buffer name the current context does not know means a new
// context, which gets its own copy.
bool bind_cube_buffer(BlockViewState& bv) {
  if (!has_vertex_buffers()) return false;
  if (bv.cube_buffer != 0 && glIsBuffer(bv.cube_buffer)) {
    glBindBuffer(GL_ARRAY_BUFFER, bv.cube_buffer);
    return true;
  }
  GLuint name = 0;
  glGenBuffers(1, &name);
  glBindBuffer(GL_ARRAY_BUFFER, name);
  glBufferData(GL_ARRAY_BUFFER, offsetof(CubeArrays, count), &kCubeArrays, GL_STATIC_DRAW);
  bv.cube_buffer = name;
  return true;
}

// Draw order. With the less-or-equal depth test a pixel ends with the last
// drawn of its nearest fragments; at 16 bits faces meeting at an edge often
// tie. Drawing every quad in exactly the reverse order with a strict less test
// keeps the first drawn of them instead, which is the same fragment, so the
// picture and the depth come out identical. Every fragment lies nearer than
// the cleared depth (the field lies well inside the far plane), so
// the strict test never refuses one the other would take. Reversing pays when
// the field order puts far cubes first: the near cubes then go first and what
// they hide fails the depth test before it is textured.
bool far_cubes_first(const ViewPose& pose, const ShownCube* cubes, size_t n) {
  // covariance of draw position and distance along the view
  double sum_i = 0, sum_d = 0, sum_id = 0;
  for (size_t i = 0; i < n; ++i) {
    const ShownCube& c = cubes[i];
    const double d = -(pose.rot[2][0] * c.dx + pose.rot[2][1] * c.dy + pose.rot[2][2] * c.dz);
    sum_i += double(i);
    sum_d += d;
    sum_id += double(i) * d;
  }
  return n > 0 && sum_id * double(n) < sum_i * sum_d;
}

void draw_cube(const ShownCube& c, int first_set) {
  glPushMatrix();
  glTranslatef(float(c.dx), float(c.dy), float(c.dz));
  glScalef(0.5f, 0.5f, 0.5f);
  const int set = first_set + c.faces;
  glDrawArrays(GL_QUADS, set * kSetVertices, kCubeArrays.count[set]);
  glPopMatrix();
}

void draw_block_field(const World& w, const UnitRecord& cam, BlockViewState& bv) {
  const int32_t cx = cam.x, cy = cam.y, cz = cam.level;
  const ViewPose pose = view_pose(bv.yaw, bv.pitch, cam.fx, cam.fy, cam.fz);
  // cells that draw nothing, or nothing on screen, cost no GL work
  size_t n = 0;
  visit_block_field(w, cx, cy, cz, [&](int32_t x, int32_t y, int32_t z, uint8_t faces) {
    if (n < bv.shown.size() && cube_may_show(pose, x - cx, cy - y, z - cz))
      bv.shown[n++] = {int8_t(x - cx), int8_t(cy - y), int8_t(z - cz), faces};
  });
  glPushMatrix();
  for (const ViewTurn& t : view_turns(bv.yaw, bv.pitch))
    glRotatef(t.degrees, t.axis == 0 ? 1.0f : 0.0f, 0.0f, t.axis == 2 ? 1.0f : 0.0f);
  glTranslatef(cam.fx - 0.5f, cam.fy - 0.5f, cam.fz - 0.5f);
  // every cube draws with the same state, so it is set once per frame
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_COLOR_MATERIAL);
  glBindTexture(GL_TEXTURE_2D, bv.textures[1]);
  glColor3f(1.0f, 1.0f, 1.0f);
  // the texture modulated by white is the texture: replacing gives the same
  // bytes without the colour's interpolation and product per pixel
  GLint env_mode = GL_MODULATE;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env_mode);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  // the pointers are set once; a cube picks its face set by the first vertex
  const bool buffered = bind_cube_buffer(bv);
  const char* base = buffered ? nullptr : reinterpret_cast<const char*>(&kCubeArrays);
  glVertexPointer(3, GL_FLOAT, 0, base + offsetof(CubeArrays, position));
  glTexCoordPointer(2, GL_FLOAT, 0, base + offsetof(CubeArrays, tex));
  glNormalPointer(GL_FLOAT, 0, base + offsetof(CubeArrays, normal));
  GLint depth_func = GL_LEQUAL;
  glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
  if (depth_func == GL_LEQUAL && far_cubes_first(pose, bv.shown.data(), n)) {
    glDepthFunc(GL_LESS);
    for (size_t i = n; i-- > 0;) draw_cube(bv.shown[i], kReversedFaces);
    glDepthFunc(GL_LEQUAL);
  } else {
    for (size_t i = 0; i < n; ++i) draw_cube(bv.shown[i], 0);
  }
  if (buffered) glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env_mode);
  glPopMatrix();
}

// The picture and its depth as GL drew them, into the secondary buffer.
bool read_back_secondary(Framebuffer& fb, BlockViewState& bv) {
  glLoadIdentity();
  const size_t rgb_bytes = size_t(kBlockViewPixels) * 3;
  if (fb.secondary.size() < rgb_bytes || bv.depth.size() < size_t(kBlockViewPixels)) return false;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_RGB, GL_UNSIGNED_BYTE,
               fb.secondary.data());
  // the cleared depth marks the background: the clear colour's bytes differ by driver
  glReadPixels(0, 0, kBlockViewWidth, kBlockViewHeight, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
               bv.depth.data());
  return true;
}

// Copies the read-back picture (packed RGB at the start of the secondary
// buffer) into a 320 x 240 framebuffer, skipping pixels whose depth says
// nothing was drawn there; those keep what the framebuffer held.
void copy_read_back(Framebuffer& fb, const uint16_t* depth) {
  if (fb.width != kBlockViewWidth || fb.height != kBlockViewHeight) return;
  if (fb.secondary.size() < size_t(kBlockViewPixels) * 3 ||
      fb.pixels.size() < size_t(kBlockViewPixels) * 4)
    return;
  const uint8_t* src = fb.secondary.data();
  uint8_t* dst = fb.pixels.data();
  int32_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // four pixels a step: three words of RGB become four RGBA words, and a
    // background pixel gets back what it held
    static_assert(kBlockViewPixels % 4 == 0);
    constexpr uint32_t kOpaque = 0xff000000u;
    for (; i < kBlockViewPixels; i += 4) {
      uint32_t rgb[3], held[4];
      std::memcpy(rgb, src + i * 3, sizeof rgb);
      std::memcpy(held, dst + i * 4, sizeof held);
      const uint32_t read[4] = {(rgb[0] & 0xffffffu) | kOpaque,
                                (rgb[0] >> 24 | rgb[1] << 8) | kOpaque,
                                (rgb[1] >> 16 | rgb[2] << 16) | kOpaque, rgb[2] >> 8 | kOpaque};
      uint32_t out[4];
      for (int k = 0; k < 4; ++k) out[k] = depth[i + k] != kBackgroundDepth ? read[k] : held[k];
      std::memcpy(dst + i * 4, out, sizeof out);
    }
  }
  for (; i < kBlockViewPixels; ++i) {
    if (depth[i] != kBackgroundDepth) {
      dst[i * 4 + 0] = src[i * 3 + 0];
      dst[i * 4 + 1] = src[i * 3 + 1];
      dst[i * 4 + 2] = src[i * 3 + 2];
      dst[i * 4 + 3] = 255;
    }
  }
}

void read_back_picture(Framebuffer& fb, BlockViewState& bv) {
  if (read_back_secondary(fb, bv)) copy_read_back(fb, bv.depth.data());
}

// Turns m about GL x (axis 0) or z (axis 2), as glRotatef turns the model-view matrix.
void rotate_about(double m[3][3], int axis, double degrees) {
  const double r = degrees * (3.14159265358979323846 / 180.0);
  const double c = std::cos(r), s = std::sin(r);
  double rot[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const int i = axis == 0 ? 1 : 0, j = axis == 2 ? 1 : 2;  // the plane turned
  rot[i][i] = c;
  rot[i][j] = -s;
  rot[j][i] = s;
  rot[j][j] = c;
  double out[3][3];
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      out[a][b] = m[a][0] * rot[0][b] + m[a][1] * rot[1][b] + m[a][2] * rot[2][b];
  std::memcpy(m, out, sizeof out);
}

}  // namespace

ViewPose view_pose(float yaw, float pitch, float fx, float fy, float fz) {
  ViewPose p{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {fx - 0.5f, fy - 0.5f, fz - 0.5f}};
  for (const ViewTurn& t : view_turns(yaw, pitch)) rotate_about(p.rot, t.axis, t.degrees);
  return p;
}

bool cube_may_show(const ViewPose& pose, int32_t dx, int32_t dy, int32_t dz) {
  const double c[3] = {dx + pose.shift[0], dy + pose.shift[1], dz + pose.shift[2]};
  double e[3];
  for (int i = 0; i < 3; ++i)
    e[i] = pose.rot[i][0] * c[0] + pose.rot[i][1] * c[1] + pose.rot[i][2] * c[2];
  // the cube's bounding sphere, a little enlarged, against the view's sides
  constexpr double kRadius = 0.8660254037844386 + 0.02;
  constexpr Frustum f = kBlockViewFrustum;
  const double ky = f.tan_half_fov, kx = ky * f.aspect;  // the sides' slopes
  if (e[2] > -f.near + kRadius || e[2] < -f.far - kRadius) return false;
  // eye z is negative ahead: inside means |x| <= -z kx and |y| <= -z ky
  const double nx = std::sqrt(1.0 + kx * kx), ny = std::sqrt(1.0 + ky * ky);
  if ((e[0] + e[2] * kx) / nx > kRadius || (-e[0] + e[2] * kx) / nx > kRadius) return false;
  if ((e[1] + e[2] * ky) / ny > kRadius || (-e[1] + e[2] * ky) / ny > kRadius) return false;
  return true;
}

void draw_block_view(Framebuffer& fb, RunState& run, const World& w, UnitTable& units,
                     BlockViewState& bv, Platform& p, bool gl_ready, bool picture_unused) {
  const bool camera_valid = run.selected_unit >= 0 && run.selected_unit < kUnitTableSize;
  const bool drawn = gl_ready && !picture_unused;
  if (drawn) {
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (camera_valid) draw_block_field(w, unit(units, run.selected_unit), bv);
  }
  walk_unit1(w, run, units, {bv.yaw, bv.pitch}, bv.ground, key_down(p, kVkLButton),
             key_down(p, vk_letter('Z')));
  if (drawn) read_back_picture(fb, bv);
  // takes effect on the next frame
  if (key_down(p, kVkLButton) || key_down(p, kVkMButton) || key_down(p, kVkRButton)) {
    const ViewAngles look = pointer_look(run.pointer_x, run.pointer_y);
    bv.yaw = look.yaw;
    bv.pitch = look.pitch;
  }
}

void resize_gl() {
  glViewport(0, 0, kBlockViewWidth, kBlockViewHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  constexpr Frustum f = kBlockViewFrustum;
  glFrustum(-f.right(), f.right(), -f.top(), f.top(), f.near, f.far);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void init_gl(BlockViewState& bv, const BitmapStore& bm) {
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  GLuint names[32];
  glGenTextures(32, names);
  for (int i = 0; i < 32; ++i) bv.textures[i] = names[i];
  for (int k = 0; k < 7; ++k) {
    glBindTexture(GL_TEXTURE_2D, names[k]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    const int slot = 1200 + k;
    if (!slot_loaded(bm, slot)) continue;  // an empty slot uploads nothing
    const Bitmap& b = bm.slots[slot];
    // square textures: the width serves for both sides; a short picture
    // would be read past its end, so it is skipped
    if (b.height < b.width) continue;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, GLsizei(b.width), GLsizei(b.width), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, b.pixels.get());
  }
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(1.0f, 0.0f, 0.9f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
