#pragma once

#include "formats/bitmap.h"

// RGBE (Radiance HDR) holds three 8-bit mantissas over one shared exponent
// byte: no sign, no NaN, and nothing from 2^127 up. FreeImage's encoder turns
// such components into unrelated colours (a negative mantissa wraps to a
// large one; the exponent of 2^127 and above, +inf included, wraps to 0).

// True when a float RGB image has a component RGBE cannot hold.
bool needsRgbeClamp(FIBITMAP* image);

// A copy of a float RGB image with every component in what RGBE holds:
// negative and NaN as 0, 2^127 and above (+inf) as the largest float below
// 2^127, which RGBE writes as its largest value (mantissa and exponent 255).
// The image itself stays as it is. nullptr when memory runs out.
Bitmap clampedForRgbe(FIBITMAP* image);
