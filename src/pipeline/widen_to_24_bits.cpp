#include "pipeline/widen_to_24_bits.h"

Bitmap widenTo24Bits(Bitmap image) {
  if (!image) return image;
  return adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
}
