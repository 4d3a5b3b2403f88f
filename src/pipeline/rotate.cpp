#include "pipeline/rotate.h"

#include "pipeline/background_color.h"
#include "pipeline/widen_to_24_bits.h"

namespace {

constexpr uint8_t kSimpleRotation = 0;
constexpr uint8_t kAdvancedRotation = 1;

}  // namespace

Bitmap rotateImage(Bitmap image, const ConversionSettings& settings) {
  if (!image) return image;
  const int32_t angle = settings.rotationAngle;
  // A full turn or more, no turn and negative angles leave the image alone.
  if (!settings.doRotation || angle <= 0 || angle >= 360) return image;

  const double width = FreeImage_GetWidth(image.get());
  const double height = FreeImage_GetHeight(image.get());
  // The rotation works on true-colour pixels: palettes, 16-bit and the wide
  // types become 24-bit first; 24- and 32-bit images keep their depth.
  const unsigned bpp = FreeImage_GetBPP(image.get());
  if (bpp <= 16 || bpp > 32) {
    image = widenTo24Bits(std::move(image));
    if (!image) return image;
  }

  switch (settings.rotationType) {
    case kSimpleRotation: {
      // The canvas grows to hold the turned picture; the corners take the background.
      const RGBQUAD background = rotationBackground(settings.rotationBackColor);
      return adoptBitmap(FreeImage_Rotate(image.get(), angle, &background));
    }
    case kAdvancedRotation:
      // About the centre (a half pixel for odd sizes), same size; without a
      // mask FreeImage fills the uncovered areas by mirroring the picture.
      return adoptBitmap(FreeImage_RotateEx(image.get(), angle, 0.0, 0.0, width / 2.0,
                                            height / 2.0, FALSE));
    default:
      return image;
  }
}
