#pragma once

#include <vector>

#include "formats/bitmap.h"

// The verifier's common view of a bitmap of any FreeImage type: RGBA rows,
// top row first, four floats a pixel. Integer samples are put on 0..1 by way
// of their 16-bit value (an 8-bit v as v * 257 / 65535), so two images hold
// the same integer samples exactly when their rows are equal, whatever
// their depths; float samples stay as they are.

// What a bitmap can hold, as far as the comparison cares.
struct PixelTraits {
  bool known = false;     // a type and depth the rows below can read
  bool floats = false;    // float samples (FIT_FLOAT, FIT_RGBF, FIT_RGBAF)
};

PixelTraits pixelTraitsOf(FIBITMAP* image);

// Row rowFromTop of image as width RGBA quadruples into rgba (resized).
// Palette images are looked up (a transparency table gives alpha); 16-bit
// 555/565 pixels widen each field to 8 bits by repeating its high bits.
// Missing channels read as grey (r = g = b) and opaque alpha.
void readRgbaRow(FIBITMAP* image, unsigned rowFromTop, std::vector<float>& rgba);
