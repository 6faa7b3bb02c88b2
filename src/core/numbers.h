#pragma once
// Whole numbers typed by people: options, input scripts and recordings read them alike.
#include <cstdint>
#include <string_view>

// The whole text is a decimal number, a '-' allowed in front, from lo to hi. Nothing else
// is taken: no blanks, no '+', no trailing text; a number too large for any type is out
// of range. False, *out untouched, otherwise.
bool parse_whole(std::string_view text, int64_t lo, int64_t hi, int64_t* out);
