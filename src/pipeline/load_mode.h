#pragma once

#include <cstdint>

#include "formats/bitmap.h"

// ddsLoadAs values.
inline constexpr int32_t kLoadAsAuto = 0;
inline constexpr int32_t kLoadAsBgra = 1;
inline constexpr int32_t kLoadAsRgba = 2;

// AUTO and BGRA hand the image back as loaded; RGBA gives a 32-bit image with
// red and blue exchanged (a 24-bit image gains an opaque alpha channel).
Bitmap applyLoadMode(Bitmap image, int32_t mode);
