#pragma once
// --timedemo: a recording replayed headless as fast as it goes, and what its passes cost.
#include <cstdint>
#include <string>

struct Game;

// Taken just before the first pass.
struct TimedemoStart {
  double wall_ms = 0;  // steady clock
  double cpu_ms = 0;   // the game thread's CPU time
  int64_t frame = 0;   // the frame counter, past 0 after a load
};
TimedemoStart start_timedemo(const Game& g);
// Prints the one-line summary on stdout and returns the same figures as a JSON object.
std::string finish_timedemo(const TimedemoStart& start, const Game& g);
