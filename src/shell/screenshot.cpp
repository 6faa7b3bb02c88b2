#include "shell/screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/files.h"
#include "core/keys.h"
#include "core/png_write.h"
#include "core/quote.h"
#include "render/framebuffer.h"
#include "shell/game.h"
#include "shell/notice.h"
#include "shell/session.h"

namespace {

// Lexically normal, without a trailing slash: "/a/./b/" is "/a/b".
std::string normal_folder(const std::string& path) {
  std::string s = std::filesystem::path(path).lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

void remove_folders(std::vector<std::string>* made) {
  for (auto m = made->rbegin(); m != made->rend(); ++m) ::rmdir(m->c_str());
  made->clear();
}

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

// A new file "kelvarot-YYYYMMDD-HHMMSS[-N].png" in the folder, made with the folder when it
// is missing, and created exclusively so nothing is ever overwritten. Empty on failure.
std::string write_new_screenshot(const std::string& folder, const Framebuffer& fb) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return "";
  std::string path;
  const int fd = create_stamped_file(folder, ".png", &path);
  if (fd < 0) return "";
  // written through the descriptor that claimed it: the name may have been swapped since
  std::vector<uint8_t> png;
  std::string why;
  bool ok = fb.width > 0 && fb.height > 0 &&
            encode_png(fb.width, fb.height, 3, rgb_top_first(fb).data(), &png, &why) &&
            write_all(fd, png.data(), png.size());
  if (close(fd) != 0) ok = false;
  if (!ok) {
    unlink(path.c_str());
    return "";
  }
  return path;
}

// Where F12 puts pictures: $XDG_PICTURES_DIR, else the pictures folder named in
// user-dirs.dirs, else ~/Pictures when it exists, else
// $XDG_DATA_HOME/kelvarot/screenshots (~/.local/share/...). Empty when there is
// no home folder to put them in; *home is $HOME.
std::string screenshot_folder(std::string* home) {
  const char* pictures = std::getenv("XDG_PICTURES_DIR");
  const char* h = std::getenv("HOME");
  *home = h && *h == '/' ? normal_folder(h) : "";
  if (pictures && *pictures == '/') return pictures;
  if (home->empty()) return "";  // never the current folder by accident
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string dirs =
      (config && *config == '/' ? std::string(config) : *home + "/.config") + "/user-dirs.dirs";
  const std::string named = pictures_in_user_dirs(read_small_file(dirs), *home);
  if (!named.empty()) return named;
  std::error_code ec;
  if (std::filesystem::is_directory(*home + "/Pictures", ec)) return *home + "/Pictures";
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string base = data && *data == '/' ? std::string(data) : *home + "/.local/share";
  return base + "/kelvarot/screenshots";
}

// Makes the folder with its missing parents, but never the home folder or one above it;
// *made lists what it made, deepest last, for the caller to remove when nothing is written.
bool make_folders(const std::string& folder, const std::string& home,
                  std::vector<std::string>* made, std::string* why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string target = normal_folder(folder);
  const bool in_home =
      !home.empty() && (target == home || home == "/" || target.rfind(home + "/", 0) == 0);
  if (in_home && !fs::is_directory(home, ec)) {
    *why = "the home folder " + quote_name(home) + " is not there";
    return false;
  }
  std::vector<fs::path> missing;
  fs::path p = target;
  for (; !fs::exists(fs::status(p, ec)) && p.has_relative_path(); p = p.parent_path())
    missing.push_back(p);
  if (!fs::is_directory(p, ec)) {
    *why = quote_name(p.string()) + " is not a folder";
    return false;
  }
  for (auto m = missing.rbegin(); m != missing.rend(); ++m) {
    if (::mkdir(m->c_str(), 0755) != 0) {
      *why = std::strerror(errno);
      return false;
    }
    made->push_back(m->string());
  }
  return true;
}

}  // namespace

std::string pictures_in_user_dirs(const std::string& text, const std::string& home) {
  const std::string key = "XDG_PICTURES_DIR=\"";
  const std::string h = normal_folder(home);
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
    if (line.rfind(key, 0) != 0) continue;
    // a shell string in double quotes: a backslash takes the next character as it is
    const bool from_home = line.compare(key.size(), 5, "$HOME") == 0;
    std::string value;
    size_t i = key.size();
    for (; i < line.size() && line[i] != '"'; ++i) value += line[line[i] == '\\' ? ++i : i];
    const size_t rest = i < line.size() ? line.find_first_not_of(" \t\r", i + 1) : 0;
    if (i >= line.size() || (rest != std::string::npos && line[rest] != '#')) continue;
    if (from_home && (value.size() == 5 || value[5] == '/')) value = h + value.substr(5);
    else if (value.empty() || value[0] != '/')
      continue;  // only "$HOME/..." and absolute paths mean anything
    value = normal_folder(value);
    found = value == h ? "" : value;  // the home folder itself means "no such folder"
  }
  return found;
}

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
  std::string home, why;
  const std::string folder = screenshot_folder(&home);
  if (folder.empty()) {
    std::fprintf(stderr, "kelvarot: no screenshot: HOME is not set, nor XDG_PICTURES_DIR\n");
    show_notice(g, "No screenshot: HOME is not set, nor XDG_PICTURES_DIR");
    return;
  }
  std::vector<std::string> made;
  const std::string path =
      make_folders(folder, home, &made, &why) ? write_new_screenshot(folder, g.fb) : "";
  if (!path.empty()) {
    std::fprintf(stderr, "kelvarot: screenshot saved to %s\n", quote_name(path).c_str());
    show_notice(g, "Screenshot saved in " + folder);
    return;
  }
  remove_folders(&made);  // a folder made for a picture that was not written
  std::fprintf(stderr, "kelvarot: could not write a screenshot into %s%s%s%s\n",
               quote_name(folder).c_str(), why.empty() ? "" : " (", why.c_str(),
               why.empty() ? "" : ")");
  show_notice(g, "Could not write a screenshot into " + folder);
}
