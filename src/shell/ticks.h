#pragma once
// What the movement ticks, searching ahead and whole frames cost: CPU time of the game's
// thread, so the figures mean the same on a loaded machine as on an idle one.
#include <array>
#include <cstdint>

double thread_cpu_ms();
// CPU of every thread of the process since it started (a GL driver's threads included).
double process_cpu_ms();

// Counts of samples in 10-microsecond steps; the last step holds everything slower.
struct CpuHistogram {
  static constexpr double kStepMs = 0.01;
  std::array<uint64_t, 10001> counts{};
  uint64_t total = 0;
  double worst_ms = 0;
};
void add_sample(CpuHistogram& h, double ms);
// The upper edge of the step that holds the given percentile; 0 without samples.
double percentile_ms(const CpuHistogram& h, uint32_t percent);
inline double p99_ms(const CpuHistogram& h) { return percentile_ms(h, 99); }

struct TickStats {
  int64_t count = 0;  // movement ticks
  double worst_cpu_ms = 0;
  uint64_t worst_rounds = 0, rounds_total = 0;  // search rounds inside ticks
  uint64_t ahead_rounds_total = 0;              // search rounds spent searching ahead
  double ahead_worst_cpu_ms = 0;
  CpuHistogram ticks;
  CpuHistogram frame_work;            // a pass without its present
  double present_ms = 0;              // the present of the pass under way (thread CPU)
  CpuHistogram present;               // presents that showed a picture (process CPU)
  double block_view_open_cpu_ms = 0;  // the block view's first drawn pass, GL start included
  double startup_cpu_ms = 0;          // process CPU from its start to the first presented frame
  double map_pause_work_cpu_ms = 0;   // of which spent inside the pause after the map load
};
