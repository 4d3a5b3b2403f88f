#include "pipeline/load_mode.h"

#include <utility>

Bitmap applyLoadMode(Bitmap image, LoadMode mode) {
  if (!image || mode != LoadMode::kRgba) return image;
  if (FreeImage_GetBPP(image.get()) != 32 || FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
    Bitmap converted = adoptBitmap(FreeImage_ConvertTo32Bits(image.get()));
    if (!converted) return Bitmap();
    image = std::move(converted);
  }
  // Exchanging in place visits every pixel once and needs no second copy.
  const unsigned width = FreeImage_GetWidth(image.get());
  const unsigned height = FreeImage_GetHeight(image.get());
  for (unsigned y = 0; y < height; ++y) {
    BYTE* pixel = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) std::swap(pixel[0], pixel[2]);
  }
  return image;
}
