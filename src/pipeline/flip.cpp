#include "pipeline/flip.h"

Bitmap flipImage(Bitmap image, const ConversionSettings& settings) {
  if (!image) return image;
  // In place; both flags together turn the picture by 180 degrees.
  if (settings.flipHorizontal) FreeImage_FlipHorizontal(image.get());
  if (settings.flipVertical) FreeImage_FlipVertical(image.get());
  return image;
}
