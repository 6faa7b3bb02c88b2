#pragma once
// The game window, the block view's GL and the window keys.
#include <cstdint>

struct Game;

// Creates the "KELVAROT" window at the framebuffer size times the zoom, or
// the largest zoom that fits the display. A failure is shown (box and
// stderr) and marks the game to shut down.
bool create_game_window(Game& g);
void destroy_game_window(Game& g);
// Starts and sets up the block view's GL the first time it is needed; a
// failure is shown and marks the game to shut down. Without GL on the
// display at all the view only walks and looks.
bool open_block_view_gl(Game& g);
// The largest scale the present may use.
int32_t present_scale_limit(const Game& g);
// F1..F4 choose zoom 1..4 (up to what fits); F11 and Alt+Enter toggle full
// screen; "M" moves the window to the pointer.
void window_key_step(Game& g);
