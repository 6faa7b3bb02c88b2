#include "core/numbers.h"

#include <charconv>

bool parse_whole(std::string_view text, int64_t lo, int64_t hi, int64_t* out) {
  if (text.empty()) return false;
  int64_t v = 0;
  const char* end = text.data() + text.size();
  const auto [stop, err] = std::from_chars(text.data(), end, v);
  if (err != std::errc() || stop != end || v < lo || v > hi) return false;
  *out = v;
  return true;
}
