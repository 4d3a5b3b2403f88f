#pragma once

#include "formats/bitmap.h"
#include "pipeline/rotate.h"

// rotateImage for sRGB colour whose blended pixels are to mix light, not
// codes: a SIMPLE turn by a free angle of an image with 8-bit channels runs
// on 16-bit linear light (the sRGB curve by table) and is encoded back to 8
// bits, the background decoded likewise, so that pixels the turn only moves
// keep their codes. Other turns and images go to rotateImage as they are
// (ADVANCED turns work on 8-bit channels only).
Bitmap rotateInLinearLight(Bitmap image, const RotateStep& step);
