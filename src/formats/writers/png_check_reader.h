#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a PNG file held in bytes with libpng itself (not through
// FreeImage), for checking what a writer produced: palettes, low-bit grey
// and transparency are expanded to RGB(A) at 8 bits; 16-bit files keep their
// 16 bits (FIT_RGB16 / FIT_RGBA16). Empty on any error; libpng prints nothing.
Bitmap readPngForCheck(const std::string& bytes);
