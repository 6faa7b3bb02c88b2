#include "shell/userfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/keys.h"
#include "shell/game.h"
#include "shell/screenshot.h"

namespace {

bool is_dir(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_dirs(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return is_dir(path);
}

}  // namespace

std::string screenshot_folder() {
  const char* pictures = std::getenv("XDG_PICTURES_DIR");
  if (pictures && *pictures) return pictures;
  const char* home = std::getenv("HOME");
  const std::string h = home && *home ? home : ".";
  if (is_dir(h + "/Pictures")) return h + "/Pictures";
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base = data && *data ? std::string(data) : h + "/.local/share";
  return base + "/kelvarot/screenshots";
}

std::string write_new_screenshot(const std::string& folder, const Game& g) {
  if (!make_dirs(folder)) return "";
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  for (int n = 1; n < 1000; ++n) {
    char name[64];
    if (n == 1) std::snprintf(name, sizeof name, "/kelvarot-%s.png", stamp);
    else std::snprintf(name, sizeof name, "/kelvarot-%s-%d.png", stamp, n);
    const std::string path = folder + name;
    // claim the name first; an existing file is never touched
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return "";
    }
    close(fd);
    if (!write_png(path, g.fb)) {
      unlink(path.c_str());
      return "";
    }
    return path;
  }
  return "";
}

void screenshot_key_step(Game& g) {
  const bool down = key_down(g.platform, kVkF12);
  const bool pressed = down && !g.f12_was_down;
  g.f12_was_down = down;
  if (!pressed) return;
  const std::string folder = screenshot_folder();
  const std::string path = write_new_screenshot(folder, g);
  if (path.empty())
    std::fprintf(stderr, "kelvarot: could not write a screenshot into %s\n", folder.c_str());
  else std::fprintf(stderr, "kelvarot: screenshot saved to %s\n", path.c_str());
}
