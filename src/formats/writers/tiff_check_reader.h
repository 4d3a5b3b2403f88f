#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a TIFF file held in bytes with libtiff itself (not through
// FreeImage), for checking what a writer produced. RGB(A) with 8 or 16 bits
// or 32-bit floats a sample, interleaved, is read sample for sample (alpha
// as stored, never premultiplied); every other layout (palette, grey,
// bilevel, CMYK, YCbCr) goes through libtiff's RGBA conversion. LogLuv files
// are not taken (*unsupported is set): their XYZ samples need the colour
// conversion of a reader that knows them. Empty on any error.
Bitmap readTiffForCheck(const std::string& bytes, bool* unsupported);
