#include "pipeline/linear_rotation.h"

#include "pipeline/colour_conversion.h"
#include "pipeline/spline_rotation.h"
#include "pipeline/srgb_curve.h"

namespace {

// SIMPLE: FreeImage's three shears on the 16-bit word path a resize of
// 8-bit sRGB takes. FreeImage takes the background as one pixel of the
// image's own kind (a 48-bit image reads its first three words); alpha
// stays 0 as in 32 bits.
Bitmap shearInWords(Bitmap image, const RotateStep& step) {
  ColourWork work;
  work.toLinear = work.srgbDecode = work.inWords = true;
  work.toInteger = work.srgbEncode = true;
  Bitmap light = toLinearLight(std::move(image), work);
  if (!light) return light;
  const auto& decoded = srgbWordTables().decoded;
  const FIRGBA16 background{decoded[step.background.rgbRed], decoded[step.background.rgbGreen],
                            decoded[step.background.rgbBlue], 0};
  Bitmap turned = adoptBitmap(FreeImage_Rotate(light.get(), step.angle, &background));
  return toOutputValues(std::move(turned), work, ColourStep{});
}

// ADVANCED: the spline turn on float light (FreeImage's takes 8 bits only).
Bitmap splineInFloats(Bitmap image, const RotateStep& step) {
  ColourWork work;
  work.toLinear = work.srgbDecode = true;
  work.toInteger = work.srgbEncode = true;
  Bitmap light = toLinearLight(std::move(image), work);
  if (!light) return light;
  return toOutputValues(rotateBySpline(std::move(light), step.angle), work, ColourStep{});
}

}  // namespace

Bitmap rotateInLinearLight(Bitmap image, const RotateStep& step) {
  if (!image || !rotationInterpolates(step) || FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
    return rotateImage(std::move(image), step);
  }
  if (step.kind == RotationKind::kSimple) return shearInWords(std::move(image), step);
  return splineInFloats(std::move(image), step);
}
