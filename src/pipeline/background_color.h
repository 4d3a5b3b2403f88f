#pragma once

#include <FreeImage.h>

#include <string_view>

// The canvas colour of a rotation from an "RRGGBB" text: each pair of
// characters is read as a hexadecimal number ("FF8000" is orange; a pair that
// is not hexadecimal reads as far as its digits go, "G0" as 0). A text that is
// not exactly six characters long gives black. The reserved byte is 0, so the
// uncovered corners of a 32-bit image are fully transparent.
RGBQUAD rotationBackground(std::string_view text);
