#include "core/quote.h"

std::string quote_text(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "'";
  const size_t shown = text.size() < kQuotedChars ? text.size() : kQuotedChars;
  for (size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += char(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  if (shown < text.size()) out += "...";
  return out + "'";
}
