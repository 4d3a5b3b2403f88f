#pragma once

#include "formats/bitmap.h"

// EXR stores its channels as half floats unless asked for full ones, and a
// float beyond the largest half (65504) becomes infinite there: 70000 would
// read back as +inf. Such values are written as the largest half of their
// sign instead; infinities and NaN stay what they are.

// True when a float image (grey, RGB or RGBA) has a finite value beyond the
// half range.
bool needsHalfClamp(FIBITMAP* image);

// A copy of a float image with every finite value within the half range.
// The image itself stays as it is. nullptr when memory runs out.
Bitmap clampedForHalf(FIBITMAP* image);
