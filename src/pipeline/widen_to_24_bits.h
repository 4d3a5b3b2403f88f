#pragma once

#include "formats/bitmap.h"

// Replaces the image by a 24-bit copy and unloads the original. Steps call it
// for depths their FreeImage operation does not handle. When FreeImage cannot
// convert the image (or there is none) the result is empty, so the file fails
// at the save instead of going on with a bitmap no step can use.
Bitmap widenTo24Bits(Bitmap image);
