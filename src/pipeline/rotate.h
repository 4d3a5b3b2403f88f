#pragma once

#include <cstdint>

#include "formats/bitmap.h"

enum class RotationKind : uint8_t {
  kSimple = 0,    // the canvas grows; uncovered corners take the background
  kAdvanced = 1,  // about the centre, same size, uncovered areas mirrored
};

struct RotateStep {
  bool enabled = false;
  RotationKind kind = RotationKind::kSimple;
  int32_t angle = 0;                  // whole degrees
  RGBQUAD background{0, 0, 0, 0};     // kSimple's corners
};

// Whether the step turns by an angle that blends neighbouring pixels: a
// SIMPLE turn by other than a multiple of 90 degrees, or any ADVANCED one.
bool rotationInterpolates(const RotateStep& step);

// Turns the image by the step's angle when it is enabled.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap rotateImage(Bitmap image, const RotateStep& step);
