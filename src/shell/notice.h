#pragma once
// The notice line: the game's hints, or for about three seconds what just happened.
#include <cstdint>
#include <string>

struct Game;

// Counted in passes, so that a replay shows it in the same frames.
constexpr int32_t kNoticePasses = 180;

struct Notice {
  std::string text;
  int64_t until = 0;  // the pass from which the hints are back
};

// Shows text on the notice line from this pass on.
void show_notice(Game& g, std::string text);
// What the notice line says this pass.
const char* notice_text(const Game& g);

// F10 shows and hides the key help over the view.
void help_key_step(Game& g);
// The key help, drawn over the picture when shown.
void draw_help(Game& g);
