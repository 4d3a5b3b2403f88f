#pragma once

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Turns the image into 8-bit grey when greyscale is set.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyGreyscale(Bitmap image, const ConversionSettings& settings);
