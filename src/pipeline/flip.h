#pragma once

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Mirrors the image horizontally and/or vertically.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap flipImage(Bitmap image, const ConversionSettings& settings);
