#include "pipeline/threshold.h"

#include "pipeline/one_bit_input.h"

Bitmap applyThreshold(Bitmap image, const ThresholdStep& step) {
  if (!image || !step.enabled) return image;
  image = prepareForOneBit(std::move(image));
  if (!image) return image;
  // Only the low byte of the level counts: 300 acts as 44, 256 as 0.
  const BYTE level = static_cast<BYTE>(step.level & 0xFF);
  return adoptBitmap(FreeImage_Threshold(image.get(), level));
}
