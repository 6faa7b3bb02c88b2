#pragma once
// Top-down view at 640 x 480, 16 pixels per cell.
#include <cstdint>

struct Framebuffer;
struct RunState;
struct World;
struct BitmapStore;
struct UnitTable;
struct PathSearch;
struct TextBuffer;

void draw_overworld_view(Framebuffer& fb, const RunState& run, const World& w,
                         const BitmapStore& bm, const UnitTable& units, const PathSearch& ps,
                         TextBuffer& text);
