#include "pipeline/drawing/canvas.h"

#include <new>

static_assert(sizeof(RgbaPixel) == 4, "canvas rows are handed to the PNG encoder as RGBA bytes");

bool Canvas::create(int32_t width, int32_t height, RgbaPixel color) {
  pixels_.clear();
  pixels_.shrink_to_fit();
  width_ = 0;
  height_ = 0;
  depth_ = 32;
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxCanvasPixels) return false;
  try {
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), color);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  return true;
}
