#include "pipeline/float_rotation.h"

#include "pipeline/spline_rotation.h"

Bitmap rotateKeepingFloats(Bitmap image, const RotateStep& step) {
  const FREE_IMAGE_TYPE type = image ? FreeImage_GetImageType(image.get()) : FIT_UNKNOWN;
  const bool turns = step.enabled && step.angle > 0 && step.angle < 360;
  if (!turns || (type != FIT_RGBF && type != FIT_RGBAF)) return rotateImage(std::move(image), step);
  if (step.kind == RotationKind::kAdvanced) return rotateBySpline(std::move(image), step.angle);
  if (step.kind == RotationKind::kSimple && step.angle % 90 == 0) {
    // No corners are uncovered, so the background is never read.
    return adoptBitmap(FreeImage_Rotate(image.get(), step.angle, nullptr));
  }
  return rotateImage(std::move(image), step);
}
