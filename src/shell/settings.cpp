#include "shell/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/files.h"
#include "core/numbers.h"

namespace {

constexpr const char* kRecordingPrefix = "# settings ";

std::string trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// One "key = value" (or "key=value") into s; false with a reason.
bool apply(const std::string& key, const std::string& value, Settings* s, std::string* why) {
  int64_t n = 0;
  const bool zoom = key == "zoom_overworld" || key == "zoom_block";
  if (zoom && parse_whole(value, 0, 4, &n)) {
    (key == "zoom_overworld" ? s->zoom_overworld : s->zoom_block) = int32_t(n);
    return true;
  }
  if (!zoom && (key == "fullscreen" || key == "queued_typing") && parse_whole(value, 0, 1, &n)) {
    (key == "fullscreen" ? s->fullscreen : s->queued_typing) = n == 1;
    return true;
  }
  if (zoom || key == "fullscreen" || key == "queued_typing")
    *why = key + " cannot be \"" + value + "\"";
  else *why = "unknown setting \"" + key + "\"";
  return false;
}

}  // namespace

std::string settings_path() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config == '/') return std::string(config) + "/kelvarot/settings.ini";
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return "";
  return std::string(home) + "/.config/kelvarot/settings.ini";
}

bool parse_settings(const std::string& text, Settings* s, std::string* why) {
  Settings out = *s;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = trimmed(line.substr(0, line.find_first_of("#;")));
    if (line.empty() || line == "[kelvarot]") continue;
    const size_t eq = line.find('=');
    std::string reason = "no \"key = value\"";
    if (eq == std::string::npos ||
        !apply(trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1)), &out, &reason)) {
      *why = "line " + std::to_string(number) + ": " + reason;
      return false;
    }
  }
  *s = out;
  return true;
}

std::string settings_text(const Settings& s) {
  std::ostringstream o;
  o << "# kelvarot settings, written at exit; 0 for a zoom: the game's own\n[kelvarot]\n"
    << "zoom_overworld = " << s.zoom_overworld << "\nzoom_block = " << s.zoom_block
    << "\nfullscreen = " << int(s.fullscreen) << "\nqueued_typing = " << int(s.queued_typing)
    << "\n";
  return o.str();
}

bool load_settings(const std::string& path, Settings* s, std::string* why) {
  std::string reason;
  const int fd = open_regular_file(path, &reason);
  if (fd < 0) {
    *why = reason;
    return reason.empty();
  }
  std::string text;
  char buf[4096];
  ssize_t n = 0;
  while (text.size() < 65536 && (n = read(fd, buf, sizeof buf)) > 0) text.append(buf, size_t(n));
  close(fd);
  if (n < 0) {
    *why = "cannot be read";
    return false;
  }
  if (text.size() >= 65536) {
    *why = "is too long";
    return false;
  }
  return parse_settings(text, s, why);
}

bool save_settings(const std::string& path, const Settings& s, std::string* why) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  const std::string text = settings_text(settings_to_keep(s));
  return replace_file(path, text.data(), text.size(), why);
}

int32_t view_zoom(const Settings& s, bool overworld, int32_t own) {
  const int32_t z = overworld ? s.zoom_overworld : s.zoom_block;
  return s.remembered && z > 0 ? z : own;
}

void remember_zoom(Settings& s, bool overworld, int32_t zoom) {
  (overworld ? s.chosen_overworld : s.chosen_block) = zoom;
}

Settings settings_to_keep(const Settings& s) {
  Settings k = s;
  if (s.chosen_overworld >= 0) k.zoom_overworld = s.chosen_overworld;
  if (s.chosen_block >= 0) k.zoom_block = s.chosen_block;
  return k;
}

std::string recording_settings_line(const Settings& s) {
  std::ostringstream o;
  o << kRecordingPrefix << "remembered=" << int(s.remembered)
    << " zoom_overworld=" << s.zoom_overworld << " zoom_block=" << s.zoom_block
    << " fullscreen=" << int(s.fullscreen) << " queued_typing=" << int(s.queued_typing) << "\n";
  return o.str();
}

bool settings_from_recording(const std::string& script, Settings* s) {
  std::istringstream in(script);
  for (std::string line; std::getline(in, line) && line.rfind('#', 0) == 0;) {
    if (line.rfind(kRecordingPrefix, 0) != 0) continue;
    Settings out;
    std::istringstream words(line.substr(std::string(kRecordingPrefix).size()));
    for (std::string w; words >> w;) {
      const size_t eq = w.find('=');
      if (eq == std::string::npos) return false;
      std::string why;
      if (w.substr(0, eq) == "remembered") out.remembered = w.substr(eq + 1) == "1";
      else if (!apply(w.substr(0, eq), w.substr(eq + 1), &out, &why)) return false;
    }
    *s = out;
    return true;
  }
  return false;
}
