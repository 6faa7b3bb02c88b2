#include "core/quote.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(QuoteText, ShowsAtMostEightyBytesOnOneLineWithControlBytesEscaped) {
  const std::string eighty(80, 'a');
  const struct {
    std::string text, want;
  } cases[] = {
      {"", "''"},
      {"F13", "'F13'"},
      {eighty, "'" + eighty + "'"},
      {eighty + "b", "'" + eighty + "...'"},
      {std::string(100000, 'x'), "'" + std::string(80, 'x') + "...'"},
      {"a\nb\rc\td", "'a\\x0ab\\x0dc\\x09d'"},
      {"\x1b[2J", "'\\x1b[2J'"},
      {std::string("n\0ul", 4), "'n\\x00ul'"},
      {"\x7f\x80\xff", "'\\x7f\\x80\\xff'"},
      {"back\\slash", "'back\\x5cslash'"},  // so a real \x41 cannot pass for an escape
      {"it's", "'it's'"},
      {std::string(79, 'a') + "\n" + "zz", "'" + std::string(79, 'a') + "\\x0a...'"},
  };
  for (const auto& k : cases) EXPECT_EQ(quote_text(k.text), k.want) << k.text.size() << " bytes";
}

}  // namespace
