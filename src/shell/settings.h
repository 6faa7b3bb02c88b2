#pragma once
// What the player chose last time: kept in settings.ini under the config folder.
#include <cstdint>
#include <string>

struct Settings {
  // Remembered zooms apply: a window run that reads and keeps the file, or the
  // replay of one. Otherwise every view opens at the game's own zoom.
  bool remembered = false;
  int32_t zoom_overworld = 0;  // 1..4; 0: the game's own (2 at start, 1 after F6)
  int32_t zoom_block = 0;      // 1..4; 0: the game's own (2)
  bool fullscreen = false;
  bool queued_typing = false;  // the file's choice; --queued-typing wins for one run
  // Chosen with F1..F4 in this run (-1: not): kept for the next run; this one keeps to the
  // zooms it started with.
  int32_t chosen_overworld = -1, chosen_block = -1;
};

// $XDG_CONFIG_HOME/kelvarot/settings.ini, else ~/.config/...; empty without a home.
std::string settings_path();
// What the next run reads: the zooms chosen in this one, or else those it started with.
Settings settings_to_keep(const Settings& s);
// "key = value" lines; '#' and ';' start comments. False with a reason on the
// first line that is not a known key with a sound value (*s then untouched).
bool parse_settings(const std::string& text, Settings* s, std::string* why);
std::string settings_text(const Settings& s);
// A missing file is no fault: true, *s untouched. False with a reason otherwise.
bool load_settings(const std::string& path, Settings* s, std::string* why);
// Through a temporary renamed into place, the folder made when missing.
bool save_settings(const std::string& path, const Settings& s, std::string* why);

// The zoom a view opens at: the remembered one, else the game's own.
int32_t view_zoom(const Settings& s, bool overworld, int32_t own);
// F1..F4 chose a zoom for the view on show.
void remember_zoom(Settings& s, bool overworld, int32_t zoom);

// The settings line a recording carries in its header, and reading it back
// from a script (false when the script has none).
std::string recording_settings_line(const Settings& s);
bool settings_from_recording(const std::string& script, Settings* s);
