#pragma once

#include "formats/bitmap.h"

// Threshold and dither work from 4-, 8-, 16-, 24- and 32-bit bitmaps: a 1-bit
// image and the wide types go through 24 bits first (empty when FreeImage
// cannot convert them).
Bitmap prepareForOneBit(Bitmap image);
