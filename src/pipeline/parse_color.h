#pragma once

#include <cstdint>
#include <string>

// A colour text "RRGGBB" with the given alpha as a 32-bit colour: red in the
// lowest byte, then green, blue and alpha. Each pair of digits is read as
// hexadecimal (any case) up to its first non-digit, so "F0" is 240, "0G" is 0
// and "G0" is 0. A text that is not exactly six characters long gives black.
uint32_t parseColor(const std::string& text, int32_t alpha);
