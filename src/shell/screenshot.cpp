#include "shell/screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "core/files.h"
#include "core/keys.h"
#include "core/png_write.h"
#include "render/framebuffer.h"
#include "shell/game.h"
#include "shell/notice.h"
#include "shell/session.h"

namespace {

// The framebuffer is RGBA with the bottom row first; screenshots are RGB, top row first.
std::vector<uint8_t> rgb_top_first(const Framebuffer& fb) {
  const size_t w = size_t(fb.width);
  std::vector<uint8_t> rgb(w * size_t(fb.height) * 3);
  for (int32_t y = 0; y < fb.height; ++y) {
    const uint8_t* src = &fb.pixels[size_t(fb.height - 1 - y) * w * 4];
    uint8_t* dst = &rgb[size_t(y) * w * 3];
    for (size_t x = 0; x < w; ++x) {
      dst[x * 3 + 0] = src[x * 4 + 0];
      dst[x * 3 + 1] = src[x * 4 + 1];
      dst[x * 3 + 2] = src[x * 4 + 2];
    }
  }
  return rgb;
}

// RGB PNG of the Framebuffer, top row first. False when it cannot be written.
bool write_png(const std::string& path, const Framebuffer& fb) {
  if (fb.width <= 0 || fb.height <= 0) return false;
  return ::write_png(path, fb.width, fb.height, 3, rgb_top_first(fb).data());
}

std::string read_small_file(const std::string& path) {
  std::string text;
  const int fd = open_regular_file(path, nullptr);
  if (fd < 0) return text;
  char buf[4096];
  for (ssize_t n; text.size() < 65536 && (n = read(fd, buf, sizeof buf)) > 0;)
    text.append(buf, size_t(n));
  close(fd);
  return text;
}

// The XDG_PICTURES_DIR line of a user-dirs.dirs text, "$HOME" put in; empty when none.
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

// A new file "kelvarot-YYYYMMDD-HHMMSS[-N].png" in the folder, made with the folder when it
// is missing, and created exclusively so nothing is ever overwritten. Empty on failure.
std::string write_new_screenshot(const std::string& folder, const Framebuffer& fb) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) return "";
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
    if (!write_png(path, fb)) {
      unlink(path.c_str());
      return "";
    }
    return path;
  }
  return "";
}

// Where F12 puts pictures: $XDG_PICTURES_DIR, else the pictures folder named in
// user-dirs.dirs, else ~/Pictures when it exists, else
// $XDG_DATA_HOME/kelvarot/screenshots (~/.local/share/...). Empty when there is
// no home folder to put them in.
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
  std::error_code ec;
  if (std::filesystem::is_directory(h + "/Pictures", ec)) return h + "/Pictures";
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base = data && *data == '/' ? std::string(data) : h + "/.local/share";
  return base + "/kelvarot/screenshots";
}

}  // namespace

bool replace_png(const std::string& path, const Framebuffer& fb, std::string* why) {
  std::vector<uint8_t> png;
  if (fb.width <= 0 || fb.height <= 0) {
    *why = "no frame was presented";
    return false;
  }
  return encode_png(fb.width, fb.height, 3, rgb_top_first(fb).data(), &png, why) &&
         replace_file(path, png.data(), png.size(), why);
}

void screenshot_key_step(Game& g, Session& s) {
  const bool down = key_down(g.platform, kVkF12);
  const bool pressed = down && !s.f12_was_down;
  s.f12_was_down = down;
  if (!pressed) return;
  if (s.replay()) {
    if (!s.f12_refused)
      std::fprintf(stderr,
                   "kelvarot: F12 in a replayed script writes no screenshot"
                   " (use --screenshot)\n");
    s.f12_refused = true;
    return;
  }
  const std::string folder = screenshot_folder();
  if (folder.empty()) {
    std::fprintf(stderr, "kelvarot: no screenshot: HOME is not set, nor XDG_PICTURES_DIR\n");
    show_notice(g, "No screenshot: HOME is not set, nor XDG_PICTURES_DIR");
    return;
  }
  const std::string path = write_new_screenshot(folder, g.fb);
  if (path.empty())
    std::fprintf(stderr, "kelvarot: could not write a screenshot into %s\n", folder.c_str());
  else std::fprintf(stderr, "kelvarot: screenshot saved to %s\n", path.c_str());
  show_notice(g, path.empty() ? "Could not write a screenshot into " + folder
                              : "Screenshot saved in " + folder);
}
