#include "core/quote.h"

namespace {

void append_escaped(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += char(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
}

}  // namespace

std::string quote_text(std::string_view text) {
  std::string out = "'";
  append_escaped(out, text.substr(0, kQuotedChars));
  if (text.size() > kQuotedChars) out += "...";
  return out + "'";
}

std::string quote_name(std::string_view name) {
  if (name.size() <= kQuotedChars) return quote_text(name);
  constexpr size_t kHead = kQuotedChars / 2 - 2, kTail = kQuotedChars - kHead - 3;
  std::string out = "'";
  append_escaped(out, name.substr(0, kHead));
  out += "...";
  append_escaped(out, name.substr(name.size() - kTail));
  return out + "'";
}
