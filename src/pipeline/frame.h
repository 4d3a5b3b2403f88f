#pragma once

#include <cstdint>

#include "pipeline/bitmap.h"
#include "settings/conversion_settings.h"

// Paints the solid frame over the image edges when doFrame is set; a framed
// image goes on as 24-bit. width and height are the image's size.
Bitmap applyFrame(Bitmap image, int32_t width, int32_t height, const ConversionSettings& settings);
