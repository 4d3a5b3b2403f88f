#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "formats/bitmap.h"

// The dither methods in the order of their keywords (FS, BAYER4, BAYER8,
// BAYER16, CLUSTER6, CLUSTER8, CLUSTER16).
enum class DitherKind : uint8_t {
  kFloydSteinberg = 0, kBayer4 = 1, kBayer8 = 2, kBayer16 = 3,
  kCluster6 = 4, kCluster8 = 5, kCluster16 = 6,
};

struct DitherStep {
  bool enabled = false;
  DitherKind kind = DitherKind::kFloydSteinberg;
};

// Dithers the image to 1 bit with the chosen method.
// Hands back the bitmap to go on with (the same one when nothing changes).
Bitmap applyDither(Bitmap image, const DitherStep& step);

// FreeImage's method for a dither kind. FreeImage numbers its methods in
// another order from BAYER16 on; unknown values give Floyd-Steinberg.
FREE_IMAGE_DITHER ditherMethod(DitherKind kind);
