#include "pipeline/watermark_picture.h"

#include <algorithm>

#include "pipeline/drawing/compositing.h"
#include "pipeline/drawing/hand_over.h"
#include "pipeline/drawing/picture_decoder.h"

RgbaPixel greyFilter(RgbaPixel color) {
  const auto grey = static_cast<uint8_t>((77 * color.r + 150 * color.g + 29 * color.b) >> 8);
  return {grey, grey, grey, color.a};
}

Bitmap makePictureLayer(const PictureWatermark& watermark) {
  Canvas picture;
  if (!decodePicture(watermark.path, &picture)) return nullptr;
  // A picture with alpha starts from a transparent canvas, any other from
  // opaque black; every pixel is overwritten either way.
  const RgbaPixel start = picture.depth() == 32 ? RgbaPixel{} : RgbaPixel{0, 0, 0, 255};
  Canvas handOver;
  if (!handOver.create(picture.width(), picture.height(), start)) return nullptr;
  const int32_t opacity = std::clamp(watermark.opacity, 0, 255);
  if (watermark.greyscale) {
    drawPictureFiltered(handOver, picture, opacity, greyFilter);
  } else {
    drawPictureReplacing(handOver, picture, opacity);
  }
  return handOverToFreeImage(handOver);
}
