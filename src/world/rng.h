#pragma once
// The game's one pseudo-random generator, owned by the run state.
// Same sequence as the C library's srand/rand on glibc (additive feedback,
// 31-word state), so a seed picks the same cells on every machine.
#include <cstdint>

struct Rng {
  uint32_t r[34] = {};
  int pos = 0;  // next output index into the ring
};

inline void rng_seed(Rng& g, uint32_t seed) {
  if (seed == 0) seed = 1;
  int32_t s[34];
  s[0] = int32_t(seed);
  for (int i = 1; i < 31; ++i) {
    // 16807 * s mod (2^31 - 1), Schrage's method as glibc does it
    const int32_t hi = s[i - 1] / 127773;
    const int32_t lo = s[i - 1] % 127773;
    int32_t word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    s[i] = word;
  }
  for (int i = 31; i < 34; ++i) s[i] = s[i - 31];
  for (int i = 0; i < 34; ++i) g.r[i] = uint32_t(s[i]);
  g.pos = 34;
  // glibc discards the first 310 outputs
  for (int i = 0; i < 310; ++i) {
    const uint32_t v = g.r[(g.pos - 31) % 34] + g.r[(g.pos - 3) % 34];
    g.r[g.pos % 34] = v;
    ++g.pos;
    if (g.pos >= 34 * 2) g.pos -= 34;
  }
}

// A value in 0..2^31-1, like rand().
inline int32_t rng_next(Rng& g) {
  const uint32_t v = g.r[(g.pos - 31) % 34] + g.r[(g.pos - 3) % 34];
  g.r[g.pos % 34] = v;
  ++g.pos;
  if (g.pos >= 34 * 2) g.pos -= 34;
  return int32_t(v >> 1);
}

// The next n values of rng_next, the same sequence and the same state after,
// for callers that draw one value per pixel: the ring is unrolled into a
// straight run so the values are not serialised through the ring's indexing.
inline void rng_fill(Rng& g, int32_t* out, int32_t n) {
  constexpr int32_t kRun = 256;
  uint32_t run[34 + kRun];  // the ring oldest first, then the new values
  while (n > 0) {
    const int32_t m = n < kRun ? n : kRun;
    for (int k = 0; k < 34; ++k) run[k] = g.r[(g.pos + k) % 34];
    uint32_t back3 = run[31], back2 = run[32], back1 = run[33];
    for (int32_t i = 0; i < m; ++i) {
      const uint32_t v = back3 + run[i + 3];  // 3 and 31 values back
      run[34 + i] = v;
      out[i] = int32_t(v >> 1);
      back3 = back2;
      back2 = back1;
      back1 = v;
    }
    for (int k = 0; k < 34; ++k) g.r[(g.pos + m + k) % 34] = run[m + k];
    g.pos = (g.pos + m) % 34 + 34;
    out += m;
    n -= m;
  }
}
