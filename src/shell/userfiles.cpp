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

std::string read_small_file(const std::string& path) {
  std::string text;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return text;
  struct stat st;
  char buf[4096];
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
    for (ssize_t n; text.size() < 65536 && (n = read(fd, buf, sizeof buf)) > 0;)
      text.append(buf, size_t(n));
  close(fd);
  return text;
}

}  // namespace

std::string pictures_in_user_dirs(const std::string& text, const std::string& home) {
  std::string found;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    const std::string key = "XDG_PICTURES_DIR=\"";
    if (line.rfind(key, 0) != 0) continue;
    const size_t close = line.find('"', key.size());
    if (close == std::string::npos) continue;
    std::string value = line.substr(key.size(), close - key.size());
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
      value = home + value.substr(5);
    else if (value.empty() || value[0] != '/')
      continue;  // only "$HOME/..." and absolute paths mean anything
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    found = value == home ? "" : value;  // the home folder itself means "no such folder"
  }
  return found;
}

std::string screenshot_folder() {
  const char* pictures = std::getenv("XDG_PICTURES_DIR");
  if (pictures && *pictures == '/') return pictures;
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return "";  // never the current folder by accident
  const std::string h = home;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string dirs =
      (config && *config == '/' ? std::string(config) : h + "/.config") + "/user-dirs.dirs";
  const std::string named = pictures_in_user_dirs(read_small_file(dirs), h);
  if (!named.empty()) return named;
  if (is_dir(h + "/Pictures")) return h + "/Pictures";
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base = data && *data == '/' ? std::string(data) : h + "/.local/share";
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
  if (g.replay) {
    if (!g.f12_refused)
      std::fprintf(stderr,
                   "kelvarot: F12 in a replayed script writes no screenshot"
                   " (use --screenshot)\n");
    g.f12_refused = true;
    return;
  }
  const std::string folder = screenshot_folder();
  if (folder.empty()) {
    std::fprintf(stderr, "kelvarot: no screenshot: HOME is not set, nor XDG_PICTURES_DIR\n");
    return;
  }
  const std::string path = write_new_screenshot(folder, g);
  if (path.empty())
    std::fprintf(stderr, "kelvarot: could not write a screenshot into %s\n", folder.c_str());
  else std::fprintf(stderr, "kelvarot: screenshot saved to %s\n", path.c_str());
}
