#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Resizes the image to the target size of the settings when doResize is set.
// width and height are the image's current size. Targets that come out as 0
// or less, or equal to the current size, leave the image alone; LARGEIMAGES
// leaves images smaller than the target in both directions alone. A final
// size FreeImage cannot make (a side kept in proportion that rounds to 0)
// gives an empty Bitmap, so the file fails at the save.
Bitmap resizeImage(Bitmap image, int32_t width, int32_t height, const ConversionSettings& settings);

// One target side in pixels: unit 0 (pixels) takes value as it is; unit 1
// (percent) takes value percent of current, an exact half rounding to the even
// neighbour (50 % of 5 is 2, of 7 is 4); any other unit gives 0.
int32_t targetSize(int32_t value, uint8_t unit, int32_t current);

// FreeImage filter of a resizeAlgorithm code (BOX, BILINEAR, BSPLINE, BICUBIC,
// CATMULLROM, LANCZOS); unknown codes give bicubic.
FREE_IMAGE_FILTER resizeFilter(uint8_t code);
