#pragma once
// Seeded hashing, a small generator and value noise, shared by pictures and map.
#include <cstdint>

inline uint32_t hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}
inline uint32_t hash3(int32_t x, int32_t y, uint32_t seed) { return hash32(uint32_t(x) * 0x9E3779B1U ^ hash32(uint32_t(y) * 0x85EBCA77U ^ seed)); }
inline float hash_unit(int32_t x, int32_t y, uint32_t seed) {  // 0 .. 1
  return float(hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}
inline uint32_t hash_text(const char* s) {  // FNV-1a
  uint32_t h = 2166136261U;
  for (; *s; ++s) h = (h ^ uint8_t(*s)) * 16777619U;
  return h;
}

// splitmix64: the generator for every random choice of the tool.
struct Gen {
  uint64_t s = 0;
};
inline uint64_t gen_next(Gen& g) {
  uint64_t z = (g.s += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}
inline int32_t gen_int(Gen& g, int32_t lo, int32_t hi) {  // lo .. hi inclusive
  return lo + int32_t(gen_next(g) % uint64_t(hi - lo + 1));
}

inline float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

// Value noise on a lattice of `cell` pixels, repeating every `period` lattice
// points (0 = never); 0 .. 1.
inline float value_noise(float x, float y, float cell, int32_t period, uint32_t seed) {
  const float fx = x / cell, fy = y / cell;
  int32_t x0 = int32_t(fx >= 0 ? fx : fx - 1), y0 = int32_t(fy >= 0 ? fy : fy - 1);
  const float tx = smooth(fx - float(x0)), ty = smooth(fy - float(y0));
  int32_t x1 = x0 + 1, y1 = y0 + 1;
  if (period > 0) {
    x0 = ((x0 % period) + period) % period;
    y0 = ((y0 % period) + period) % period;
    x1 = x1 % period;
    y1 = y1 % period;
    x1 = (x1 + period) % period;
    y1 = (y1 + period) % period;
  }
  const float a = hash_unit(x0, y0, seed), b = hash_unit(x1, y0, seed);
  const float c = hash_unit(x0, y1, seed), d = hash_unit(x1, y1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

// Octaves of value noise, each half the cell of the one before; 0 .. 1.
inline float fbm(float x, float y, float cell, int32_t octaves, int32_t period, uint32_t seed) {
  float sum = 0, amp = 1, norm = 0;
  for (int32_t o = 0; o < octaves; ++o) {
    sum += value_noise(x, y, cell, period, seed + uint32_t(o) * 1013U) * amp;
    norm += amp;
    amp *= 0.5f;
    cell *= 0.5f;
    if (period > 0) period *= 2;
  }
  return sum / norm;
}
