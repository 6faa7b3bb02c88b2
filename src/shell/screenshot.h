#pragma once
// Pictures of the game: F12's into the player's pictures folder, --screenshot's at exit.
#include <string>

struct Framebuffer;
struct Game;
struct Session;

// The RGB PNG of the frame, top row first, replacing the file only once the new one is
// whole; the old one stays otherwise. False with a short reason in *why.
bool replace_png(const std::string& path, const Framebuffer& fb, std::string* why);
// F12 pressed (not held): the presented frame goes to a new file
// "kelvarot-YYYYMMDD-HHMMSS[-N].png" in the player's pictures folder, made when missing,
// that never replaces one, and stderr says where.
// A replay writes none and says so once.
void screenshot_key_step(Game& g, Session& s);
// The pictures folder a user-dirs.dirs text names ("$HOME" standing for home): absolute,
// without a trailing slash; empty when it names none, or the home folder itself.
std::string pictures_in_user_dirs(const std::string& text, const std::string& home);
