#pragma once

#include "formats/bitmap.h"

struct FlipStep {
  bool horizontal = false;
  bool vertical = false;
};

// Mirrors the image horizontally and/or vertically.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap flipImage(Bitmap image, const FlipStep& step);
