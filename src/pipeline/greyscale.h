#pragma once

#include "formats/bitmap.h"

struct GreyscaleStep {
  bool enabled = false;
};

// Turns the image into 8-bit grey when the step is enabled.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyGreyscale(Bitmap image, const GreyscaleStep& step);
