#include "shell/ticks.h"

#include <cmath>
#include <ctime>

double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

double process_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

void add_sample(CpuHistogram& h, double ms) {
  const double step = std::ceil(ms / CpuHistogram::kStepMs);
  const size_t last = h.counts.size() - 1;
  // a sample on a step's edge belongs to that step: its p99 is then exact
  const size_t k = step > 0 ? (step < double(last) ? size_t(step) - 1 : last) : 0;
  ++h.counts[k];
  ++h.total;
  if (ms > h.worst_ms) h.worst_ms = ms;
}

double percentile_ms(const CpuHistogram& h, uint32_t percent) {
  if (h.total == 0) return 0;
  const uint64_t rank = (h.total * percent + 99) / 100;  // ceil(percent% x total)
  uint64_t seen = 0;
  size_t k = 0;
  while (seen + h.counts[k] < rank) seen += h.counts[k++];
  return double(k + 1) * CpuHistogram::kStepMs;
}
