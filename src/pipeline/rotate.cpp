#include "pipeline/rotate.h"

#include "pipeline/widen_to_24_bits.h"

bool rotationInterpolates(const RotateStep& step) {
  if (!step.enabled || step.angle <= 0 || step.angle >= 360) return false;
  if (step.kind == RotationKind::kSimple) return step.angle % 90 != 0;
  return step.kind == RotationKind::kAdvanced;
}

Bitmap rotateImage(Bitmap image, const RotateStep& step) {
  if (!image) return image;
  const int32_t angle = step.angle;
  // A full turn or more, no turn and negative angles leave the image alone.
  if (!step.enabled || angle <= 0 || angle >= 360) return image;

  const double width = FreeImage_GetWidth(image.get());
  const double height = FreeImage_GetHeight(image.get());
  // The rotation works on true-colour pixels: palettes, 16-bit and the wide
  // types become 24-bit first; 24- and 32-bit images keep their depth.
  const unsigned bpp = FreeImage_GetBPP(image.get());
  if (bpp <= 16 || bpp > 32) {
    image = widenTo24Bits(std::move(image));
    if (!image) return image;
  }

  switch (step.kind) {
    case RotationKind::kSimple: {
      // The canvas grows to hold the turned picture; the corners take the background.
      return adoptBitmap(FreeImage_Rotate(image.get(), angle, &step.background));
    }
    case RotationKind::kAdvanced:
      // About the centre (a half pixel for odd sizes), same size; without a
      // mask FreeImage fills the uncovered areas by mirroring the picture.
      return adoptBitmap(FreeImage_RotateEx(image.get(), angle, 0.0, 0.0, width / 2.0,
                                            height / 2.0, FALSE));
    default:
      return image;
  }
}
