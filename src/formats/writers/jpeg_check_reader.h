#pragma once

#include <string>

#include "formats/bitmap.h"

// Decodes a JPEG file held in bytes with libjpeg itself (not through
// FreeImage), for checking what a writer produced: grey files as 8-bit grey,
// colour files as 24-bit. Empty on any error; libjpeg prints nothing.
Bitmap readJpegForCheck(const std::string& bytes);
