#include "shell/pacing.h"

int64_t pace_frame(FramePacer& p, int64_t now_us, int64_t period_us) {
  if (period_us <= 0) return 0;
  if (p.next_us < 0 || now_us >= p.next_us + period_us) {
    p.next_us = now_us + period_us;
    return 0;
  }
  const int64_t early = p.next_us - now_us;
  p.next_us += period_us;
  // a waiting swap returns within a little of its due time: no sleep then
  return early > period_us / 4 ? early : 0;
}

int64_t refresh_period_us(int32_t refresh_hz) {
  // rates outside what displays offer are taken as unknown
  const int32_t hz = refresh_hz >= 20 && refresh_hz <= 500 ? refresh_hz : 60;
  return (1000000 + hz / 2) / hz;
}
