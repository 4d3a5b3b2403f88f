#pragma once

#include "pipeline/bitmap.h"
#include "settings/conversion_settings.h"

// Dithers the image to 1 bit with the chosen method.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyDither(Bitmap image, const ConversionSettings& settings);
