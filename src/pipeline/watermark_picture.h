#pragma once

#include "formats/bitmap.h"
#include "pipeline/drawing/canvas.h"
#include "settings/conversion_settings.h"

// Grey of a colour by the weights 77, 150 and 29 (adding up to 256, so white
// stays 255); alpha passes through.
RgbaPixel greyFilter(RgbaPixel color);

// The picture watermark wmImage as a 32-bit layer at its own size, with
// wmImageOpacity applied and, when wmImageGreyscale is set, in grey. Empty
// when the picture cannot be read (missing, damaged, or not a BMP, icon, PNG
// or JPEG file).
Bitmap makePictureLayer(const ConversionSettings& settings);
