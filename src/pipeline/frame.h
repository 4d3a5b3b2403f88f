#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "formats/bitmap.h"

// How far the frame reaches in from each edge, in pixels.
struct FrameInsets {
  int32_t left = 0;
  int32_t right = 0;
  int32_t top = 0;
  int32_t bottom = 0;
};

struct FrameStep {
  bool enabled = false;
  FrameInsets insets;
  // Colours as parseColor gives them (red in the lowest byte), opaque.
  uint32_t leftColor = 0xFF000000;
  uint32_t rightColor = 0xFF000000;
  uint32_t topColor = 0xFF000000;
  uint32_t bottomColor = 0xFF000000;
  int32_t opacity = 255;  // 0 transparent .. 255 opaque
};

// Paints the solid frame over the image edges when the step is enabled; a
// framed image goes on as 24-bit. width and height are the image's size.
Bitmap applyFrame(Bitmap image, int32_t width, int32_t height, const FrameStep& step);

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
