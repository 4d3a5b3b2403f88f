#include "pipeline/linear_rotation.h"

#include "pipeline/colour_conversion.h"
#include "pipeline/srgb_curve.h"

Bitmap rotateInLinearLight(Bitmap image, const RotateStep& step) {
  if (!image || !rotationInterpolates(step) || step.kind != RotationKind::kSimple ||
      FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
    return rotateImage(std::move(image), step);
  }
  // The word path of the colour steps, as a resize of 8-bit sRGB takes it.
  ColourWork work;
  work.toLinear = work.srgbDecode = work.inWords = true;
  work.toInteger = work.srgbEncode = true;
  Bitmap light = toLinearLight(std::move(image), work);
  if (!light) return light;
  // FreeImage takes the background as one pixel of the image's own kind;
  // a 48-bit image reads its first three words. Alpha stays 0 as in 32 bits.
  const auto& decoded = srgbWordTables().decoded;
  const FIRGBA16 background{decoded[step.background.rgbRed], decoded[step.background.rgbGreen],
                            decoded[step.background.rgbBlue], 0};
  Bitmap turned = adoptBitmap(FreeImage_Rotate(light.get(), step.angle, &background));
  return toOutputValues(std::move(turned), work, ColourStep{});
}
