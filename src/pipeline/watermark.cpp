#include "pipeline/watermark.h"

#include "pipeline/watermark_placement.h"

Bitmap applyWatermark(Bitmap image, int32_t width, int32_t height, const WatermarkStep& step,
                      const std::string& text, const WatermarkFont* font) {
  if (step.kind == WatermarkKind::kNone || !image) return image;
  // Converted first, so the image leaves as 24-bit even when no layer is made.
  if (FreeImage_GetBPP(image.get()) != 24) {
    Bitmap converted = adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted) return image;
    image = std::move(converted);
  }
  Bitmap layer;
  Placement placement;
  if (step.kind == WatermarkKind::kText) {
    placement = step.text.placement;
    const PlacementArea area = placementArea(step.frame, placement.boundary, width, height);
    layer = makeTextLayer(step.text, text, font, [&](LayerExtent block) {
      return visibleWindow(block, area, placement);
    });
  } else if (step.kind == WatermarkKind::kPicture) {
    layer = makePictureLayer(step.picture);
    placement = step.picture.placement;
  }
  if (!layer) return image;
  return placeWatermark(std::move(image), std::move(layer), width, height, step.frame, placement);
}
