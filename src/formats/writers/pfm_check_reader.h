#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a Portable Floatmap held in bytes ("PF" colour or "Pf" grey, rows
// bottom first, the byte order the scale's sign gives) into FIT_RGBF or
// FIT_FLOAT, for checking what a writer produced. FreeImage's own reader is
// no help here: it takes the rows in the opposite order. Empty on any error.
Bitmap readPfmForCheck(const std::string& bytes);
