#pragma once
// Quoting user text inside error messages.
#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t kQuotedChars = 80;  // bytes of the offending text shown at most

// The text in single quotes for a one-line message: at most kQuotedChars of
// it, then "..." if there was more; control and non-ASCII bytes as \xNN, so a
// hostile input cannot break the line or drive the terminal.
std::string quote_text(std::string_view text);
// A file or folder name the same way, but a long one keeps its start and its end (where
// the file's own name is), "..." between them.
std::string quote_name(std::string_view name);
