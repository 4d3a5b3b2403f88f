#pragma once

#include <cstdint>

#include "formats/bitmap.h"

struct ColorCorrectionStep {
  bool enabled = false;
  int32_t brightness = 0;  // percent, -100..100
  int32_t contrast = 0;    // percent, -100..100
  float gamma = 1.0f;
  bool invert = false;
};

// Brightness, contrast, gamma and inversion.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyColorCorrection(Bitmap image, const ColorCorrectionStep& step);
