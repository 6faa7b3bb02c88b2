#pragma once
// The frame loop's run state. Created at start-up, lives for the whole run;
// many subsystems read and write it directly.
#include <cstdint>

struct RunState {
  int32_t zoom = 2;                // integer magnification when presenting, 1..5
  int32_t selected_unit = 1;       // index into the unit table
  int32_t SX = 0, SY = 0, SZ = 0;  // view origin: cell at the overworld view's bottom-left
  int32_t screensaver = 0;         // 1 = the screensaver view replaces the world views
  int32_t quit = 0;                // nonzero ends the loop at the top of the next pass
  int64_t frame = 0;               // completed passes; 64 bits: a run may never end
  float tick_divisor = 30.0f;      // movement tick on frames divisible by its truncation
  int32_t minimap_shown = 1;
  int32_t minimap_x = 518, minimap_y = 338;  // pixels, minimap's bottom-left corner
  // Read once at the top of each pass, so every use in a pass sees one position.
  int32_t pointer_x = 0, pointer_y = 0;  // framebuffer pixels, origin bottom-left
};

// Scripts and recordings name passes in 32 bits; later passes all take the last number.
inline int32_t pass_number(int64_t frame) { return frame < INT32_MAX ? int32_t(frame) : INT32_MAX; }
