#pragma once
// The game window and its GL context: creation, fixed GL state, window keys.
struct Game;
struct BitmapStore;
struct BlockViewState;

// Creates the "KELVAROT" window at the framebuffer size times the zoom.
// A failure is shown (box and stderr) and marks the game to shut down.
bool create_game_window(Game& g);
void destroy_game_window(Game& g);
// The block view's viewport and perspective.
void resize_gl();
// Fixed GL state and the upload of the seven cube textures (slots 1200..1206).
void init_gl(BlockViewState& bv, const BitmapStore& bm);
// F1..F4 re-create the window at zoom 1..4; "M" moves it to the pointer.
void window_key_step(Game& g);
