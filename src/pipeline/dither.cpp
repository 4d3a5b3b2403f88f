#include "pipeline/dither.h"

#include "pipeline/one_bit_input.h"

FREE_IMAGE_DITHER ditherMethod(DitherKind kind) {
  switch (kind) {
    case DitherKind::kFloydSteinberg: return FID_FS;
    case DitherKind::kBayer4: return FID_BAYER4x4;
    case DitherKind::kBayer8: return FID_BAYER8x8;
    case DitherKind::kBayer16: return FID_BAYER16x16;
    case DitherKind::kCluster6: return FID_CLUSTER6x6;
    case DitherKind::kCluster8: return FID_CLUSTER8x8;
    case DitherKind::kCluster16: return FID_CLUSTER16x16;
    default: return FID_FS;
  }
}

Bitmap applyDither(Bitmap image, const DitherStep& step) {
  if (!image || !step.enabled) return image;
  // A thresholded (1-bit) image is widened and dithered again, so the result
  // follows the black-and-white picture.
  image = prepareForOneBit(std::move(image));
  if (!image) return image;
  return adoptBitmap(FreeImage_Dither(image.get(), ditherMethod(step.kind)));
}
