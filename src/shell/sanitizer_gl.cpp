#include "shell/sanitizer_gl.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace {

// The driver is whichever Mesa or DRI module the context loaded, wherever
// the system keeps it.
int pin_gl_module(dl_phdr_info* info, size_t, void*) {
  const char* path = info->dlpi_name;
  if (!path || !*path) return 0;
  const char* base = std::strrchr(path, '/');
  base = base ? base + 1 : path;
  if (std::strstr(base, "_dri.so") || std::strstr(base, "mesa") || std::strstr(base, "gallium"))
    dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

}  // namespace

void keep_gl_driver_loaded() { dl_iterate_phdr(pin_gl_module, nullptr); }
