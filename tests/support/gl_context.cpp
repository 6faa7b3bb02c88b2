#include "support/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

EGLDisplay g_display = EGL_NO_DISPLAY;
EGLSurface g_surface = EGL_NO_SURFACE;
EGLContext g_context = EGL_NO_CONTEXT;

bool fail(std::string* error, const char* what) {
  *error = std::string(what) + " (EGL error " + std::to_string(eglGetError()) + ")";
  close_offscreen_gl();
  return false;
}

}  // namespace

bool open_offscreen_gl(int32_t w, int32_t h, std::string* error) {
  close_offscreen_gl();
  const auto platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!platform_display) return fail(error, "no eglGetPlatformDisplayEXT");
  g_display = platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (g_display == EGL_NO_DISPLAY || !eglInitialize(g_display, nullptr, nullptr))
    return fail(error, "no surfaceless EGL display");
  // clang-format off
  const EGLint config_wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8,
      EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16,
      EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  // clang-format on
  EGLConfig config = nullptr;
  EGLint configs = 0;
  if (!eglChooseConfig(g_display, config_wanted, &config, 1, &configs) || configs < 1)
    return fail(error, "no pbuffer config with a depth buffer");
  const EGLint size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
  g_surface = eglCreatePbufferSurface(g_display, config, size);
  if (g_surface == EGL_NO_SURFACE) return fail(error, "no pbuffer");
  eglBindAPI(EGL_OPENGL_API);
  const EGLint profile[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                            EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  g_context = eglCreateContext(g_display, config, EGL_NO_CONTEXT, profile);
  if (g_context == EGL_NO_CONTEXT) return fail(error, "no compatibility GL context");
  if (!eglMakeCurrent(g_display, g_surface, g_surface, g_context))
    return fail(error, "cannot make the context current");
  return true;
}

void close_offscreen_gl() {
  if (g_display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(g_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (g_context != EGL_NO_CONTEXT) eglDestroyContext(g_display, g_context);
  if (g_surface != EGL_NO_SURFACE) eglDestroySurface(g_display, g_surface);
  g_context = EGL_NO_CONTEXT;
  g_surface = EGL_NO_SURFACE;
}
