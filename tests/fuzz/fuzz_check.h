#pragma once
// A broken rule aborts with its reason; memory faults are the sanitizers' to find.
#include <cstdio>
#include <cstdlib>
#include <string>

inline void check(bool ok, const char* why) {
  if (ok) return;
  std::fprintf(stderr, "fuzz: %s\n", why);
  std::abort();
}

// One line of at most `most` bytes, and nothing that could drive a terminal.
inline bool printable_line(const std::string& s, size_t most) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) return false;
  return !s.empty() && s.size() <= most;
}
