#pragma once

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Turns the image into 1-bit black and white at the threshold level.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyThreshold(Bitmap image, const ConversionSettings& settings);
