#pragma once
// The banner and the three status lines drawn over every view.
struct Game;
struct RunState;
struct Framebuffer;

// The banner's bottom line: what the mouse buttons do in the view being shown.
const char* notice_line(const RunState& run, const Framebuffer& fb);
// Prints and draws the banner and the three status lines, keeping the lines for the dump.
void draw_banner_and_status(Game& g);
