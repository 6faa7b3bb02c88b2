#pragma once
// The one file the game itself writes: F12 screenshots.
#include <string>

struct Game;

// Where screenshots go: $XDG_PICTURES_DIR, else the pictures folder named in
// user-dirs.dirs, else ~/Pictures when it exists, else
// $XDG_DATA_HOME/kelvarot/screenshots (~/.local/share/...). Empty when there is
// no home folder to put them in.
std::string screenshot_folder();
// The XDG_PICTURES_DIR line of a user-dirs.dirs text, "$HOME" put in; empty when none.
std::string pictures_in_user_dirs(const std::string& text, const std::string& home);
// A new file "kelvarot-YYYYMMDD-HHMMSS[-N].png" in the folder, created
// exclusively so nothing is ever overwritten. Empty on failure.
std::string write_new_screenshot(const std::string& folder, const Game& g);
// F12 pressed (not held): the presented frame goes to a new file, and stderr says where.
void screenshot_key_step(Game& g);
