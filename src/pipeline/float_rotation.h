#pragma once

#include "formats/bitmap.h"
#include "pipeline/rotate.h"

// rotateImage for float images whose range the colour steps still read
// (values above 1 for a tone map, or for a float output in linear light):
// the turn keeps the float channels. ADVANCED turns are rotateBySpline;
// SIMPLE ones are FreeImage's, whose shears of float pixels add a fixed
// pattern of half units along the edges, taken off again by turning an
// empty image alike. The background is the step's colour as code / 255,
// or with lightBackground decoded by the sRGB curve; alpha 0. Other images
// go to rotateImage, which works on 8-bit channels.
Bitmap rotateKeepingFloats(Bitmap image, const RotateStep& step, bool lightBackground);
