#include "pipeline/dither.h"

#include "pipeline/one_bit_input.h"

FREE_IMAGE_DITHER ditherMethod(uint8_t code) {
  switch (code) {
    case 0: return FID_FS;
    case 1: return FID_BAYER4x4;
    case 2: return FID_BAYER8x8;
    case 3: return FID_BAYER16x16;
    case 4: return FID_CLUSTER6x6;
    case 5: return FID_CLUSTER8x8;
    case 6: return FID_CLUSTER16x16;
    default: return FID_FS;
  }
}

Bitmap applyDither(Bitmap image, const ConversionSettings& settings) {
  if (!image || !settings.doDither) return image;
  // A thresholded (1-bit) image is widened and dithered again, so the result
  // follows the black-and-white picture.
  image = prepareForOneBit(std::move(image));
  if (!image) return image;
  return adoptBitmap(FreeImage_Dither(image.get(), ditherMethod(settings.ditherAlgorithm)));
}
