#include "pipeline/widen_to_24_bits.h"

#include <algorithm>
#include <cmath>

namespace {

// A float channel clamped to 0..1 (NaN counts as 0) as an 8-bit level.
BYTE clampedLevel(float value) {
  const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
  return static_cast<BYTE>(std::lround(clamped * 255.0f));
}

// FreeImage converts float colour to 24 bits only by tone mapping, which
// changes every value; float textures are clamped to 0..1 instead, the rule
// the final depth conversion applies to them too. Alpha is dropped, as
// FreeImage drops it for the other wide types.
Bitmap floatTo24Bits(FIBITMAP* image) {
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  const unsigned step = FreeImage_GetImageType(image) == FIT_RGBAF ? 4 : 3;
  Bitmap out = adoptBitmap(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24,
                                              FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                              FI_RGBA_BLUE_MASK));
  if (!out) return out;
  for (unsigned y = 0; y < height; ++y) {
    const float* in = reinterpret_cast<const float*>(FreeImage_GetScanLine(image, y));
    BYTE* row = FreeImage_GetScanLine(out.get(), y);
    for (unsigned x = 0; x < width; ++x, in += step, row += 3) {
      row[FI_RGBA_RED] = clampedLevel(in[0]);
      row[FI_RGBA_GREEN] = clampedLevel(in[1]);
      row[FI_RGBA_BLUE] = clampedLevel(in[2]);
    }
  }
  return out;
}

}  // namespace

Bitmap widenTo24Bits(Bitmap image) {
  if (!image) return image;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
  if (type == FIT_RGBF || type == FIT_RGBAF) return floatTo24Bits(image.get());
  return adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
}
