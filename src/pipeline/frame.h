#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "formats/bitmap.h"
#include "settings/conversion_settings.h"

// Paints the solid frame over the image edges when doFrame is set; a framed
// image goes on as 24-bit. width and height are the image's size.
Bitmap applyFrame(Bitmap image, int32_t width, int32_t height, const ConversionSettings& settings);

// Which side's colour a shape of the frame takes.
enum class FrameSide { kTop, kRight, kBottom, kLeft };

struct FrameCorner {
  FrameSide color;
  int64_t x, y, width, height;
};

struct FrameEdge {
  FrameSide color;
  std::string pathText;  // "M x y l dx dy ... Z"
};

// The eight shapes in drawing order: the corner squares (top-left, top-right,
// bottom-right, bottom-left) lie under the mitred seams, so a seam's
// antialiased pixels show a frame colour rather than the image; then the four
// sides (top, right, bottom, left) as trapezoids meeting on the diagonals.
struct FrameShapes {
  std::array<FrameCorner, 4> corners;
  std::array<FrameEdge, 4> sides;
};
FrameShapes frameShapes(int64_t width, int64_t height, int64_t left, int64_t right, int64_t top,
                        int64_t bottom);
