#pragma once

#include "formats/bitmap.h"
#include "pipeline/rotate.h"

// rotateImage for float images whose range the colour steps still read
// (values above 1 for a tone map, or for a float output in linear light).
// Quarter turns (FreeImage moves float pixels exactly) and ADVANCED turns
// (rotateBySpline) keep the float channels. SIMPLE turns by other angles,
// whose FreeImage shears misplace float values, and all other images go
// to rotateImage, which works on 8-bit channels.
Bitmap rotateKeepingFloats(Bitmap image, const RotateStep& step);
