#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a JPEG XR file held in bytes with libjxr's decoder into the
// FreeImage type of its pixel format (1-bit black and white, 8-bit grey,
// 16-bit 555/565, 24, 32, RGB16, RGBF), for checking what the writer
// produced. Empty on any error.
Bitmap readJxrForCheck(const std::string& bytes);
