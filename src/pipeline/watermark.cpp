#include "pipeline/watermark.h"

#include "pipeline/watermark_picture.h"
#include "pipeline/watermark_placement.h"
#include "pipeline/watermark_text.h"

namespace {

constexpr uint8_t kKindText = 1;
constexpr uint8_t kKindPicture = 2;

}  // namespace

Bitmap applyWatermark(Bitmap image, int32_t width, int32_t height,
                      const ConversionSettings& settings, const ConversionJob& job,
                      const WatermarkFont* font) {
  if (settings.watermarkKind == 0 || !image) return image;
  // Converted first, so the image leaves as 24-bit even when no layer is made.
  if (FreeImage_GetBPP(image.get()) != 24) {
    Bitmap converted = adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted) return image;
    image = std::move(converted);
  }
  Bitmap layer;
  Placement placement;
  if (settings.watermarkKind == kKindText) {
    placement = textPlacement(settings);
    const PlacementArea area = placementArea(settings, placement.boundary, width, height);
    layer = makeTextLayer(settings, job, font, [&](LayerExtent block) {
      return visibleWindow(block, area, placement);
    });
  } else if (settings.watermarkKind == kKindPicture) {
    layer = makePictureLayer(settings);
    placement = picturePlacement(settings);
  }
  if (!layer) return image;
  return placeWatermark(std::move(image), std::move(layer), width, height, settings, placement);
}
