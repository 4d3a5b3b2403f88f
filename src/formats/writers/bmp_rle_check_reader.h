#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a run-length coded bitmap (BI_RLE8 or BI_RLE4) held in bytes into
// an 8-bit palette image, for checking what a writer produced. FreeImage's
// reader refuses sound RLE8 files whose last row ends with an end-of-line
// before the end-of-bitmap mark, as its own writer makes them. *notRle is set
// for any other bitmap (left to FreeImage). Empty on a broken file; runs
// that leave the image are clipped, pixels never reached stay index 0.
Bitmap readRleBmpForCheck(const std::string& bytes, bool* notRle);
