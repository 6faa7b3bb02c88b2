#pragma once
// Frame pacing for displays where the swap does not wait (software X servers,
// hidden or minimised windows): without it the loop would burn a core and run
// the units faster than the display shows them.
#include <cstdint>

struct FramePacer {
  int64_t next_us = -1;  // when the next frame is due (microseconds); -1: not started
};

// Called right after a swap returns at now_us; gives how long to sleep (µs)
// so that frames come no faster than one a period_us. A swap that returned
// close to its due time (the display waited) or late gets no sleep, and a
// loop that fell more than a period behind starts a new timeline instead of
// hurrying to catch up.
int64_t pace_frame(FramePacer& p, int64_t now_us, int64_t period_us);

// The refresh period (µs) for a display mode's rate in Hz; 60 Hz when unknown.
int64_t refresh_period_us(int32_t refresh_hz);
