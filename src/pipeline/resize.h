#pragma once

#include <cstdint>

#include "pipeline/bitmap.h"
#include "settings/conversion_settings.h"

// Resizes the image to the target size of the settings when doResize is set.
// width and height are the image's current size.
Bitmap resizeImage(Bitmap image, int32_t width, int32_t height, const ConversionSettings& settings);
