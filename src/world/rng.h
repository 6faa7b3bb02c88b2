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
