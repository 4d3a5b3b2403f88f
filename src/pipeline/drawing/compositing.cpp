#include "pipeline/drawing/compositing.h"

#include <algorithm>
#include <vector>

namespace {

int32_t clampOpacity(int32_t opacity) { return std::clamp(opacity, 0, 255); }

bool sameColor(RgbaPixel first, RgbaPixel second) {
  return first.r == second.r && first.g == second.g && first.b == second.b;
}

}  // namespace

RgbaPixel sourceOver(RgbaPixel destination, RgbaPixel source, int32_t opacity) {
  opacity = clampOpacity(opacity);
  const int64_t a = opacity == 255 ? source.a : opacity * source.a / 255;
  if (a == 0) return destination;
  if (destination.a == 0) return {source.r, source.g, source.b, static_cast<uint8_t>(a)};
  const int64_t k = (255 - a) * destination.a;
  const int64_t denominator = k + a * 255;
  auto channel = [&](uint8_t cd, uint8_t cs) {
    return static_cast<uint8_t>((cd * k + cs * a * 255) / denominator);
  };
  return {channel(destination.r, source.r), channel(destination.g, source.g),
          channel(destination.b, source.b), static_cast<uint8_t>(denominator / 255)};
}

void drawCanvasOver(Canvas& destination, const Canvas& source, int32_t x, int32_t y,
                    int32_t opacity) {
  const int32_t firstX = std::max(0, -x);
  const int32_t firstY = std::max(0, -y);
  const int64_t lastX = std::min<int64_t>(source.width(), int64_t{destination.width()} - x);
  const int64_t lastY = std::min<int64_t>(source.height(), int64_t{destination.height()} - y);
  for (int32_t sy = firstY; sy < lastY; ++sy) {
    const RgbaPixel* from = source.row(sy);
    RgbaPixel* to = destination.row(sy + y);
    for (int32_t sx = firstX; sx < lastX; ++sx) to[sx + x] = sourceOver(to[sx + x], from[sx], opacity);
  }
}

namespace {

// The picture pixel with the opacity applied to its alpha.
RgbaPixel withOpacity(RgbaPixel pixel, int32_t depth, int32_t opacity) {
  const int32_t alpha = depth == 32 ? opacity * pixel.a / 255 : opacity;
  return {pixel.r, pixel.g, pixel.b, static_cast<uint8_t>(alpha)};
}

template <typename Write>
void forEachPicturePixel(Canvas& destination, const Canvas& picture, Write write) {
  const int32_t width = std::min(destination.width(), picture.width());
  const int32_t height = std::min(destination.height(), picture.height());
  for (int32_t y = 0; y < height; ++y) {
    const RgbaPixel* from = picture.row(y);
    RgbaPixel* to = destination.row(y);
    for (int32_t x = 0; x < width; ++x) to[x] = write(from[x]);
  }
}

}  // namespace

void drawPictureReplacing(Canvas& destination, const Canvas& picture, int32_t opacity) {
  opacity = clampOpacity(opacity);
  forEachPicturePixel(destination, picture,
                      [&](RgbaPixel pixel) { return withOpacity(pixel, picture.depth(), opacity); });
}

void drawPictureFiltered(Canvas& destination, const Canvas& picture, int32_t opacity,
                         const PixelFilter& filter) {
  opacity = clampOpacity(opacity);
  forEachPicturePixel(destination, picture, [&](RgbaPixel pixel) {
    return filter(withOpacity(pixel, picture.depth(), opacity));
  });
}

void floodFill(Canvas& canvas, int32_t x, int32_t y, RgbaPixel color) {
  if (!canvas.contains(x, y)) return;
  const RgbaPixel target = canvas.at(x, y);
  if (target == color) return;
  // Row spans keep the stack small even on a canvas of many megapixels.
  std::vector<std::pair<int32_t, int32_t>> pending{{x, y}};
  while (!pending.empty()) {
    auto [px, py] = pending.back();
    pending.pop_back();
    RgbaPixel* row = canvas.row(py);
    if (!sameColor(row[px], target) || row[px] == color) continue;
    int32_t left = px;
    while (left > 0 && sameColor(row[left - 1], target) && !(row[left - 1] == color)) --left;
    int32_t right = px;
    while (right + 1 < canvas.width() && sameColor(row[right + 1], target) &&
           !(row[right + 1] == color))
      ++right;
    for (int32_t i = left; i <= right; ++i) row[i] = color;
    for (int32_t ny : {py - 1, py + 1}) {
      if (ny < 0 || ny >= canvas.height()) continue;
      const RgbaPixel* next = canvas.row(ny);
      for (int32_t i = left; i <= right; ++i) {
        if (sameColor(next[i], target) && !(next[i] == color) &&
            (i == left || !sameColor(next[i - 1], target) || next[i - 1] == color))
          pending.emplace_back(i, ny);
      }
    }
  }
}
