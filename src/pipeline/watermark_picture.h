#pragma once

#include <string>

#include "formats/bitmap.h"
#include "pipeline/drawing/canvas.h"
#include "pipeline/watermark_placement.h"

// Grey of a colour by the weights 77, 150 and 29 (adding up to 256, so white
// stays 255); alpha passes through.
RgbaPixel greyFilter(RgbaPixel color);

struct PictureWatermark {
  std::string path;
  bool greyscale = false;
  int32_t opacity = 255;  // clamped to 0..255
  Placement placement;
};

// The picture watermark as a 32-bit layer at its own size, with its opacity
// applied and, when greyscale is set, in grey. Empty
// when the picture cannot be read (missing, damaged, or not a BMP, icon, PNG
// or JPEG file).
Bitmap makePictureLayer(const PictureWatermark& picture);
