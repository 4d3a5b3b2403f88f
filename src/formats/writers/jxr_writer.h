#pragma once

#include <string>

#include "formats/bitmap.h"
#include "formats/writers/output_bytes.h"

// Encodes the image as a lossless JPEG XR file into out. Handles every
// depth the jxr output allows: 1 (black and white), 8 (grey; a colour palette
// is written as RGB), 16 (5-6-5 or 5-5-5), 24, 32 (with alpha), 48 (16-bit
// RGB) and 96 (float RGB). False when the image has another layout or the
// encoder fails (or memory ran out: out->outOfMemory()).
bool encodeJxrImage(FIBITMAP* image, OutputBytes* out);
