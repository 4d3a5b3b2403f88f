#include "pipeline/greyscale.h"

#include "pipeline/widen_to_24_bits.h"

Bitmap applyGreyscale(Bitmap image, const GreyscaleStep& step) {
  if (!image || !step.enabled) return image;
  // 16-bit-per-channel and floating-point images go through 24 bits first.
  if (FreeImage_GetBPP(image.get()) > 32) {
    image = widenTo24Bits(std::move(image));
    if (!image) return image;
  }
  // 8-bit grey without alpha; a 32-bit image loses its transparency here.
  return adoptBitmap(FreeImage_ConvertToGreyscale(image.get()));
}
