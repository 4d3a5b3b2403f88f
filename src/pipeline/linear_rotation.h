#pragma once

#include "formats/bitmap.h"
#include "pipeline/rotate.h"

// rotateImage for sRGB colour whose blended pixels are to mix light, not
// codes. A turn that interpolates, of an image with 8-bit channels, runs
// on linear light (the sRGB curve by table) and is encoded back to 8 bits:
// SIMPLE ones on 16-bit channels, the background decoded likewise, so that
// pixels the turn only moves keep their codes; ADVANCED ones on floats.
// Other turns and images go to rotateImage as they are.
Bitmap rotateInLinearLight(Bitmap image, const RotateStep& step);
