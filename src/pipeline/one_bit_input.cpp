#include "pipeline/one_bit_input.h"

#include "pipeline/widen_to_24_bits.h"

Bitmap prepareForOneBit(Bitmap image) {
  if (!image) return image;
  const unsigned bpp = FreeImage_GetBPP(image.get());
  if (bpp < 4 || bpp > 32) return widenTo24Bits(std::move(image));
  return image;
}
