#pragma once

#include <cstdint>
#include <optional>

#include "formats/bitmap.h"
#include "pipeline/frame.h"

// How a watermark layer is laid on the image; the text and the picture
// watermark each have their own set of these settings.
enum class WatermarkBoundary : uint8_t { kImage = 0, kFrame = 1 };

struct Placement {
  int32_t rotation = 0;  // whole degrees; only 0 < rotation < 360 rotates
  WatermarkBoundary boundary = WatermarkBoundary::kImage;
  uint8_t position = 8;  // 0 TOPLEFT .. 8 BOTTOMRIGHT, row by row
  int32_t xOffset = 10;
  int32_t yOffset = 10;
};

// The part of the image a layer is placed in: the whole image, or the inside
// of the frame for boundary FRAME when a frame is drawn.
struct PlacementArea {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
};
// frame is the frame drawn before the watermark, if any.
PlacementArea placementArea(const std::optional<FrameInsets>& frame, WatermarkBoundary boundary,
                            int32_t width, int32_t height);

struct LayerExtent {
  int64_t width = 0;
  int64_t height = 0;
};

// The layer size after cropping it to fit: a side that with its offset would
// pass the area's far edge is cut to area - offset (both offsets count,
// whatever the position). A side of 0 or less means nothing is left.
LayerExtent cropToFit(LayerExtent layer, const PlacementArea& area, const Placement& placement);

// A part of a layer: its top-left corner and its size.
struct LayerWindow {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
  // The layer keeps the whole size and only this part of it is drawn (the
  // rest transparent); otherwise the layer is this part alone.
  bool inWholeLayer = false;
};

// The part of a layer of the given size that can show once it is turned and
// cropped (cropToFit keeps the top-left of the turned layer): its top-left
// part when it is not turned; the part that a quarter, half or three-quarter
// turn brings into the top-left corner (those turns move pixels without
// resampling them). Any other angle resamples the whole layer around its
// centre, so the layer keeps its size (inWholeLayer) and the window is the
// part whose pixels the turn can carry into what cropToFit keeps, with a
// margin for the resampling; pixels outside it never reach the image. A
// width or height of 0 or less means nothing can show.
LayerWindow visibleWindow(LayerExtent layer, const PlacementArea& area, const Placement& placement);

struct LayerPosition {
  int64_t x = 0;
  int64_t y = 0;
};

// Top-left of the layer on the image for its position code: offsets count
// from the near edges, centred coordinates ignore the offset of their axis
// and halve with truncation.
LayerPosition layerPosition(LayerExtent layer, const PlacementArea& area,
                            const Placement& placement);

// Rotates, crops and positions a finished 32-bit layer and composites it over
// the 24-bit image. A layer that would lie partly outside the image, or that
// cropping leaves empty, is dropped and the image comes back unchanged.
Bitmap placeWatermark(Bitmap image, Bitmap layer, int32_t width, int32_t height,
                      const std::optional<FrameInsets>& frame, const Placement& placement);
