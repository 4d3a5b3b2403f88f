#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One pixel with straight (not premultiplied) alpha: 0 transparent, 255 opaque.
struct RgbaPixel {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;
  bool operator==(const RgbaPixel&) const = default;
};

// A 32-bit colour value as the settings describe it: red in the lowest byte,
// then green, blue and alpha.
inline RgbaPixel rgbaFromColor(uint32_t color) {
  return {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
          static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 24)};
}

// The largest canvas the surface agrees to make (width * height). Larger
// requests fail like an allocation failure would, so a gigantic picture or
// text block costs a refusal instead of gigabytes of memory.
inline constexpr int64_t kMaxCanvasPixels = int64_t{1} << 28;

// A drawing canvas: rows of RGBA pixels with straight alpha, top row first.
// A canvas made by the surface has depth 32; a decoded picture keeps the depth
// of its file (24 when it has no alpha, every alpha then being 255).
class Canvas {
 public:
  Canvas() = default;

  // A width x height canvas filled with color. False (and an empty canvas)
  // when a side is not positive or the canvas would be too large.
  bool create(int32_t width, int32_t height, RgbaPixel color = {});

  // Resizes to width x height, every pixel fully transparent.
  bool resizeTransparent(int32_t width, int32_t height) { return create(width, height); }

  bool empty() const { return pixels_.empty(); }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t depth() const { return depth_; }
  void setDepth(int32_t depth) { depth_ = depth; }

  RgbaPixel& at(int32_t x, int32_t y) { return pixels_[index(x, y)]; }
  const RgbaPixel& at(int32_t x, int32_t y) const { return pixels_[index(x, y)]; }
  RgbaPixel* row(int32_t y) { return pixels_.data() + index(0, y); }
  const RgbaPixel* row(int32_t y) const { return pixels_.data() + index(0, y); }
  bool contains(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }

 private:
  size_t index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t depth_ = 32;
  std::vector<RgbaPixel> pixels_;
};
