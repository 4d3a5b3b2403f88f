#pragma once

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Turns the image by rotationAngle when doRotation is set.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap rotateImage(Bitmap image, const ConversionSettings& settings);
