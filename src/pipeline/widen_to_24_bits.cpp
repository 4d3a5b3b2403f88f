#include "pipeline/widen_to_24_bits.h"

#include "pipeline/depth.h"

Bitmap widenTo24Bits(Bitmap image) {
  if (!image) return image;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
  // FreeImage converts float colour to 24 bits only by tone mapping, which
  // changes every value; float textures are clamped to 0..1 instead, the rule
  // the final depth conversion applies too. Alpha is dropped, as FreeImage
  // drops it for the other wide types.
  if (type == FIT_RGBF || type == FIT_RGBAF) {
    Bitmap clamped = toIntegerChannels(image.get(), 24);
    if (!clamped || FreeImage_GetBPP(clamped.get()) == 24) return clamped;
    return adoptBitmap(FreeImage_ConvertTo24Bits(clamped.get()));
  }
  return adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
}
