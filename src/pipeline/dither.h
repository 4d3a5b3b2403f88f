#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Dithers the image to 1 bit with the chosen method.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyDither(Bitmap image, const ConversionSettings& settings);

// FreeImage method of a ditherAlgorithm code (FS, BAYER4, BAYER8, BAYER16,
// CLUSTER6, CLUSTER8, CLUSTER16 = 0..6). FreeImage numbers its methods in
// another order from BAYER16 on; unknown codes give Floyd-Steinberg.
FREE_IMAGE_DITHER ditherMethod(uint8_t code);
