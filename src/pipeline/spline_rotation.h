#pragma once

#include "formats/bitmap.h"

// A float image (FIT_RGBF or FIT_RGBAF) turned counter-clockwise by degrees
// about its centre (a half pixel for odd sizes), same size, every channel
// resampled by cubic B-spline interpolation with mirror boundaries, so the
// areas the turn uncovers show the mirrored picture. The geometry of
// FreeImage_RotateEx with no shift and no mask, which takes 8-bit channels
// only; values are neither rounded nor clamped. Empty for other images or
// when memory runs out.
Bitmap rotateBySpline(Bitmap image, double degrees);
