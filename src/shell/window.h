#pragma once
// The game window and its GL context: creation and the window keys.
struct Game;

// Creates the "KELVAROT" window at the framebuffer size times the zoom.
// A failure is shown (box and stderr) and marks the game to shut down.
bool create_game_window(Game& g);
void destroy_game_window(Game& g);
// F1..F4 re-create the window at zoom 1..4; "M" moves it to the pointer.
void window_key_step(Game& g);
