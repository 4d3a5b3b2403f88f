#include "pipeline/float_rotation.h"

#include <cstring>

#include "pipeline/spline_rotation.h"
#include "pipeline/srgb_curve.h"

namespace {

// FreeImage_Rotate of a float image with the shear pattern taken off:
// the same turn of an all-zero image on a zero background is that pattern
// alone, since each shear is linear in the pixels and the background.
Bitmap shearFloats(FIBITMAP* image, const RotateStep& step, bool lightBackground) {
  auto channel = [&](BYTE code) {
    return lightBackground ? srgbTables().decoded[code] : static_cast<float>(code / 255.0);
  };
  const FIRGBAF background{channel(step.background.rgbRed), channel(step.background.rgbGreen),
                           channel(step.background.rgbBlue), 0.0f};
  Bitmap turned = adoptBitmap(FreeImage_Rotate(image, step.angle, &background));
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image);
  Bitmap empty = adoptBitmap(FreeImage_AllocateT(type, static_cast<int>(FreeImage_GetWidth(image)),
                                                 static_cast<int>(FreeImage_GetHeight(image))));
  if (!turned || !empty) return Bitmap();
  const unsigned emptyHeight = FreeImage_GetHeight(empty.get());
  for (unsigned y = 0; y < emptyHeight; ++y) {
    std::memset(FreeImage_GetScanLine(empty.get(), static_cast<int>(y)), 0, FreeImage_GetLine(empty.get()));
  }
  Bitmap pattern = adoptBitmap(FreeImage_Rotate(empty.get(), step.angle, nullptr));
  if (!pattern) return Bitmap();
  const unsigned height = FreeImage_GetHeight(turned.get());
  const unsigned samples = FreeImage_GetLine(turned.get()) / sizeof(float);
  for (unsigned y = 0; y < height; ++y) {
    float* row = reinterpret_cast<float*>(FreeImage_GetScanLine(turned.get(), static_cast<int>(y)));
    const float* off = reinterpret_cast<const float*>(FreeImage_GetScanLine(pattern.get(), static_cast<int>(y)));
    for (unsigned i = 0; i < samples; ++i) row[i] -= off[i];
  }
  return turned;
}

}  // namespace

Bitmap rotateKeepingFloats(Bitmap image, const RotateStep& step, bool lightBackground) {
  const FREE_IMAGE_TYPE type = image ? FreeImage_GetImageType(image.get()) : FIT_UNKNOWN;
  const bool turns = step.enabled && step.angle > 0 && step.angle < 360;
  if (!turns || (type != FIT_RGBF && type != FIT_RGBAF)) return rotateImage(std::move(image), step);
  switch (step.kind) {
    case RotationKind::kAdvanced:
      return rotateBySpline(std::move(image), step.angle);
    case RotationKind::kSimple:
      // Quarter turns only move pixels, and uncover no background.
      if (step.angle % 90 == 0) return adoptBitmap(FreeImage_Rotate(image.get(), step.angle, nullptr));
      return shearFloats(image.get(), step, lightBackground);
    default:
      return rotateImage(std::move(image), step);
  }
}
