#pragma once

#include <cstdint>
#include <string_view>

// The only number readers for option and profile values; they never fail.

// Leading spaces and tabs, an optional sign, then decimal digits, or hex digits
// after "$", or binary digits after "%". Stops at the first other character;
// no digits give 0. Overflow wraps (two's complement), never traps.
// "95px" gives 95, "$FF" 255, "%101" 5, "abc" 0, "1.9" 1.
int64_t ParseInteger(std::string_view text);

// "+Infinity", "-Infinity", "NaN" (any case), or a decimal number with "." as
// separator whatever the locale; stops at the first character that does not
// fit; no number gives 0. "1,5" gives 1.
float ParseReal(std::string_view text);
