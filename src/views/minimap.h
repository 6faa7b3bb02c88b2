#pragma once
// The 64 x 64 minimap: the coarse map of the viewed level, unit dots, view dot.
#include <cstdint>

struct Framebuffer;
struct RunState;
struct World;
struct UnitTable;

// True when (x, y) lies strictly inside the minimap square, shown or not.
bool pointer_strictly_inside_minimap(const RunState& run, int32_t x, int32_t y);
// The jump: right button inside [x0, x0 + 64) x [y0, y0 + 64) moves the view.
void minimap_jump(RunState& run, bool right_button, int32_t px, int32_t py);
void draw_minimap(Framebuffer& fb, const RunState& run, const World& w, const UnitTable& units);
