#include "pipeline/color_correction.h"

#include "pipeline/widen_to_24_bits.h"

Bitmap applyColorCorrection(Bitmap image, const ConversionSettings& settings) {
  if (!image || !settings.doColorCorrection) return image;
  // FreeImage adjusts 8-, 24- and 32-bit bitmaps and silently skips every other
  // depth; 16-bit images included, which would lose the adjustment unnoticed.
  const unsigned bpp = FreeImage_GetBPP(image.get());
  if (bpp != 8 && bpp != 24 && bpp != 32) {
    image = widenTo24Bits(std::move(image));
    if (!image) return image;
  }
  // The percentages and the gamma go to FreeImage as they are; the alpha
  // channel of a 32-bit image is left alone.
  FreeImage_AdjustColors(image.get(), settings.brightness, settings.contrast, settings.gamma,
                         settings.invert ? TRUE : FALSE);
  return image;
}
