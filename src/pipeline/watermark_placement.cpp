#include "pipeline/watermark_placement.h"

#include <algorithm>
#include <cmath>

#include "pipeline/drawing/canvas.h"

namespace {

// The paste canvas is transparent, so the layer is copied onto it unchanged.
// FreeImage's alpha-blend paste (a factor of 255 or less) divides by 256
// instead of 255: it would turn an opaque 255 into 254 in every channel, alpha
// included, and the image would show through an opaque watermark. A factor
// above 255 selects the plain copy.
constexpr int kPasteCopy = 256;

// Rotating a layer into a box above the canvas limit would need gigabytes;
// such a watermark is dropped instead.
bool rotationFits(unsigned width, unsigned height, int32_t degrees) {
  const double radians = degrees * M_PI / 180.0;
  const double c = std::fabs(std::cos(radians));
  const double s = std::fabs(std::sin(radians));
  const double rotatedWidth = width * c + height * s + 2;
  const double rotatedHeight = width * s + height * c + 2;
  return rotatedWidth * rotatedHeight <= static_cast<double>(kMaxCanvasPixels);
}

// Pixels the free turn's resampling may reach beyond the exact preimage: its
// three shears each blend a pixel with its neighbour, and the turned layer's
// size and centre are whole pixels.
constexpr double kResamplingMargin = 8;

// The part of a w x h layer that a counter-clockwise turn by degrees around
// its centre carries into the top-left across x down of the turned layer
// (whose box holds the whole turned layer).
LayerWindow freeTurnWindow(int64_t w, int64_t h, int64_t across, int64_t down, int32_t degrees) {
  const double radians = degrees * M_PI / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double turnedWidth = w * std::fabs(c) + h * std::fabs(s);
  const double turnedHeight = w * std::fabs(s) + h * std::fabs(c);
  const double keptWidth = std::min<double>(across, turnedWidth + 2);
  const double keptHeight = std::min<double>(down, turnedHeight + 2);
  // Each kept corner, taken back through the turn.
  double left = w, top = h, right = 0, bottom = 0;
  for (const double x : {0.0, keptWidth}) {
    for (const double y : {0.0, keptHeight}) {
      const double dx = x - turnedWidth / 2;
      const double dy = y - turnedHeight / 2;
      const double sx = w / 2.0 + dx * c - dy * s;
      const double sy = h / 2.0 + dx * s + dy * c;
      left = std::min(left, sx);
      right = std::max(right, sx);
      top = std::min(top, sy);
      bottom = std::max(bottom, sy);
    }
  }
  const auto clampTo = [](double v, int64_t side) {
    return std::clamp<int64_t>(static_cast<int64_t>(std::floor(v)), 0, side);
  };
  const int64_t x0 = clampTo(left - kResamplingMargin, w);
  const int64_t y0 = clampTo(top - kResamplingMargin, h);
  const int64_t x1 = clampTo(std::ceil(right + kResamplingMargin), w);
  const int64_t y1 = clampTo(std::ceil(bottom + kResamplingMargin), h);
  return {x0, y0, x1 - x0, y1 - y0, true};
}

}  // namespace

PlacementArea placementArea(const std::optional<FrameInsets>& frame, WatermarkBoundary boundary,
                            int32_t width, int32_t height) {
  if (frame && boundary == WatermarkBoundary::kFrame) {
    return {frame->left, frame->top, int64_t{width} - frame->left - frame->right,
            int64_t{height} - frame->top - frame->bottom};
  }
  return {0, 0, width, height};
}

LayerExtent cropToFit(LayerExtent layer, const PlacementArea& area, const Placement& placement) {
  if (layer.width + placement.xOffset > area.width) layer.width = area.width - placement.xOffset;
  if (layer.height + placement.yOffset > area.height) {
    layer.height = area.height - placement.yOffset;
  }
  return layer;
}

LayerWindow visibleWindow(LayerExtent layer, const PlacementArea& area, const Placement& placement) {
  // The most of the turned layer that cropToFit keeps, across and down.
  const int64_t across = area.width - placement.xOffset;
  const int64_t down = area.height - placement.yOffset;
  const int64_t w = layer.width;
  const int64_t h = layer.height;
  const bool turned = placement.rotation > 0 && placement.rotation < 360;
  // A counter-clockwise quarter turn brings the top-right corner to the
  // top-left, a half turn the bottom-right, three quarters the bottom-left.
  if (!turned) return {0, 0, std::min(w, across), std::min(h, down)};
  if (placement.rotation == 90) {
    const int64_t columns = std::min(w, down);
    return {w - columns, 0, columns, std::min(h, across)};
  }
  if (placement.rotation == 180) {
    const int64_t columns = std::min(w, across);
    const int64_t rows = std::min(h, down);
    return {w - columns, h - rows, columns, rows};
  }
  if (placement.rotation == 270) {
    const int64_t rows = std::min(h, across);
    return {0, h - rows, std::min(w, down), rows};
  }
  if (across <= 0 || down <= 0) return {0, 0, 0, 0, true};
  return freeTurnWindow(w, h, across, down, placement.rotation);
}

LayerPosition layerPosition(LayerExtent layer, const PlacementArea& area,
                            const Placement& placement) {
  const int64_t column = placement.position <= 8 ? placement.position % 3 : 0;
  const int64_t row = placement.position <= 8 ? placement.position / 3 : 0;
  const int64_t xs[] = {placement.xOffset, (area.width - layer.width) / 2,
                        area.width - layer.width - placement.xOffset};
  const int64_t ys[] = {placement.yOffset, (area.height - layer.height) / 2,
                        area.height - layer.height - placement.yOffset};
  return {xs[column] + area.left, ys[row] + area.top};
}

Bitmap placeWatermark(Bitmap image, Bitmap layer, int32_t width, int32_t height,
                      const std::optional<FrameInsets>& frame, const Placement& placement) {
  if (!image || !layer) return image;
  if (placement.rotation > 0 && placement.rotation < 360) {
    if (!rotationFits(FreeImage_GetWidth(layer.get()), FreeImage_GetHeight(layer.get()),
                      placement.rotation)) {
      return image;
    }
    layer = adoptBitmap(FreeImage_Rotate(layer.get(), placement.rotation, nullptr));
    if (!layer) return image;
  }

  const PlacementArea area = placementArea(frame, placement.boundary, width, height);
  const LayerExtent rotated{FreeImage_GetWidth(layer.get()), FreeImage_GetHeight(layer.get())};
  const LayerExtent cropped = cropToFit(rotated, area, placement);
  if (cropped.width <= 0 || cropped.height <= 0) return image;  // nothing left to show
  if (cropped.width != rotated.width || cropped.height != rotated.height) {
    layer = adoptBitmap(FreeImage_Copy(layer.get(), 0, 0, static_cast<int>(cropped.width),
                                       static_cast<int>(cropped.height)));
    if (!layer) return image;
  }

  // The layer must lie wholly inside the image; otherwise it is not pasted
  // and the image keeps its pixels.
  const LayerPosition at = layerPosition(cropped, area, placement);
  if (at.x < 0 || at.y < 0 || at.x + cropped.width > width || at.y + cropped.height > height) {
    return image;
  }
  Bitmap canvas = adoptBitmap(FreeImage_AllocateT(FIT_BITMAP, width, height,
                                                  FreeImage_GetBPP(layer.get()), 0, 0, 0));
  if (!canvas) return image;
  if (!FreeImage_Paste(canvas.get(), layer.get(), static_cast<int>(at.x), static_cast<int>(at.y),
                       kPasteCopy)) {
    return image;
  }
  Bitmap result = adoptBitmap(FreeImage_Composite(canvas.get(), FALSE, nullptr, image.get()));
  return result ? std::move(result) : std::move(image);
}
