#pragma once

#include <cstdint>

#include "formats/bitmap.h"

struct ThresholdStep {
  bool enabled = false;
  int32_t level = 0;  // only the low 8 bits count
};

// Turns the image into 1-bit black and white at the threshold level.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyThreshold(Bitmap image, const ThresholdStep& step);
