#pragma once

#include <cstdint>

#include "formats/bitmap.h"

// How the channels of a loaded image are taken (the DDS load keywords).
enum class LoadMode : int32_t { kAuto = 0, kBgra = 1, kRgba = 2 };

// AUTO and BGRA hand the image back as loaded; RGBA gives a 32-bit image with
// red and blue exchanged (a 24-bit image gains an opaque alpha channel).
Bitmap applyLoadMode(Bitmap image, LoadMode mode);
