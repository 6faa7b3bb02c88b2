#include "shell/timedemo.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "shell/game.h"
#include "shell/ticks.h"

namespace {

double wall_now_ms() {
  using Ms = std::chrono::duration<double, std::milli>;
  return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TimedemoStart start_timedemo(const Game& g) {
  return {wall_now_ms(), thread_cpu_ms(), g.run.frame};
}

std::string finish_timedemo(const TimedemoStart& start, const Game& g) {
  const double wall = wall_now_ms() - start.wall_ms, cpu = thread_cpu_ms() - start.cpu_ms;
  const int64_t passes = g.run.frame - start.frame;
  const TickStats& t = g.ticks;
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  const double per_second = wall > 0 ? double(passes) * 1000.0 / wall : 0;
  const double p50 = percentile_ms(t.frame_work, 50), p99 = p99_ms(t.frame_work);
  std::printf(
      "timedemo: %lld passes in %.3f s wall, %.3f s CPU; %.1f passes/s; frame work p50 %.3f "
      "p99 %.3f worst %.3f ms CPU; tick worst %.3f p99 %.3f ms CPU; peak RSS %.1f MiB\n",
      static_cast<long long>(passes), wall / 1000.0, cpu / 1000.0, per_second, p50, p99,
      t.frame_work.worst_ms, t.worst_cpu_ms, p99_ms(t.ticks), double(ru.ru_maxrss) / 1024.0);
  std::fflush(stdout);
  const nlohmann::ordered_json j = {{"passes", passes},
                                    {"wall_ms", wall},
                                    {"cpu_ms", cpu},
                                    {"passes_per_s", per_second},
                                    {"frame_work_p50_cpu_ms", p50},
                                    {"frame_work_p99_cpu_ms", p99},
                                    {"frame_work_worst_cpu_ms", t.frame_work.worst_ms},
                                    {"tick_worst_cpu_ms", t.worst_cpu_ms},
                                    {"tick_p99_cpu_ms", p99_ms(t.ticks)},
                                    {"peak_rss_kb", ru.ru_maxrss}};
  return j.dump();
}
