#pragma once
// Pieces of the frame loop that tests drive one at a time.
#include <cstdint>

struct Game;
struct RunState;
struct Framebuffer;
struct Platform;

// Arrows move the view one cell per pass; keypad plus and minus change the
// level (380 ms pause); then SX, SY, SZ are clamped into the world.
void view_navigation(RunState& run, Platform& p, const Framebuffer& fb, int32_t world_side);
// "[" and "]" step the selection and move the view to that unit (60 ms pause).
void selection_keys(Game& g);
// Right button orders, left button selects: the cell under the pointer.
void mouse_orders(Game& g);
// The banner's bottom line: what the mouse buttons do in the view being shown.
const char* notice_line(const RunState& run, const Framebuffer& fb);
// Prints and draws the banner and the three status lines.
void draw_banner_and_status(Game& g);
