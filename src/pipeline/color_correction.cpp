#include "pipeline/color_correction.h"

#include "pipeline/widen_to_24_bits.h"

Bitmap applyColorCorrection(Bitmap image, const ColorCorrectionStep& step) {
  if (!image || !step.enabled) return image;
  // FreeImage adjusts 8-, 24- and 32-bit bitmaps and silently skips the rest;
  // 16-bit colour (5-5-5 or 5-6-5) is widened too, or it would lose the
  // adjustment unnoticed.
  const unsigned bpp = FreeImage_GetBPP(image.get());
  const bool packed16 = bpp == 16 && FreeImage_GetImageType(image.get()) == FIT_BITMAP;
  if (bpp < 8 || bpp > 32 || packed16) {
    image = widenTo24Bits(std::move(image));
    if (!image) return image;
  }
  // The percentages and the gamma go to FreeImage as they are; the alpha
  // channel of a 32-bit image is left alone.
  FreeImage_AdjustColors(image.get(), step.brightness, step.contrast, step.gamma,
                         step.invert ? TRUE : FALSE);
  return image;
}
