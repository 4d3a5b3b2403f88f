#include "pipeline/flip.h"

Bitmap flipImage(Bitmap image, const FlipStep& step) {
  if (!image) return image;
  // In place; both flags together turn the picture by 180 degrees.
  if (step.horizontal) FreeImage_FlipHorizontal(image.get());
  if (step.vertical) FreeImage_FlipVertical(image.get());
  return image;
}
