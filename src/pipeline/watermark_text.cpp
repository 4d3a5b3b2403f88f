#include "pipeline/watermark_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

#include "pipeline/drawing/canvas.h"
#include "pipeline/drawing/compositing.h"
#include "pipeline/drawing/hand_over.h"
#include "pipeline/drawing/vector_drawing.h"
#include "pipeline/drawing/watermark_font.h"
#include "platform/text.h"

namespace {

const std::string kLineBreak = "%eol%";
constexpr int32_t kMinimumLineSide = 10;

int32_t saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t clampOpacity(int32_t opacity) { return std::clamp(opacity, 0, 255); }

RgbaPixel withAlpha(uint32_t color, int32_t alpha) {
  return rgbaFromColor((color & 0xFFFFFF) | static_cast<uint32_t>(alpha & 0xFF) << 24);
}

// Where each line's box starts in the block; a single line sits at the
// padding whatever the alignment. window is the part of the block drawn.
struct LineLayout {
  const std::vector<std::string>& lines;
  const std::vector<TextSize>& rasterSizes;
  const TextBlock& block;
  const TextWatermark& watermark;
  const LayerWindow& window;

  int32_t x(int32_t lineWidth) const {
    if (lines.size() == 1) return watermark.padding;
    return alignX(watermark.alignment, lineWidth, block.width, watermark.padding);
  }
  int32_t y(size_t line) const {
    return saturate(int64_t{watermark.padding} + int64_t{block.step} * static_cast<int64_t>(line));
  }
};

// Plain text: a flood fill of the background, then monochrome glyphs.
void drawPlainText(Canvas& textCanvas, const LineLayout& layout, const WatermarkFont& font) {
  const TextWatermark& watermark = layout.watermark;
  const int32_t textOpacity = clampOpacity(watermark.textOpacity);
  const int32_t backOpacity = clampOpacity(watermark.backOpacity);
  const RgbaPixel textColor = withAlpha(watermark.fontColor, textOpacity);
  const RgbaPixel backColor = withAlpha(watermark.backColor, backOpacity);
  // The flood fill from (1, 1) of the empty block fills all of it, and leaves
  // a block thinner than two pixels unfilled; the canvas may be only the
  // top-left part of the block, so the block's sides decide.
  if (layout.block.width > 1 && layout.block.height > 1) {
    textCanvas.create(textCanvas.width(), textCanvas.height(), backColor);
  }
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    const int32_t lineWidth = layout.rasterSizes[i].width;
    const LayerWindow& window = layout.window;
    drawRasterText(textCanvas, font, layout.x(lineWidth) - window.left, layout.y(i) - window.top,
                   layout.lines[i], textColor, backOpacity, layout.block.width - window.left);
  }
}

// Antialiased text: a background canvas and a text canvas drawn in vector
// form, each laid on the hand-over canvas with its own opacity.
void drawSmoothText(Canvas& textCanvas, Canvas& handOver, const LineLayout& layout,
                    const WatermarkFont& font) {
  const TextWatermark& watermark = layout.watermark;
  const RgbaPixel textColor = withAlpha(watermark.fontColor, 255);
  const RgbaPixel backColor = withAlpha(watermark.backColor, 255);
  Canvas background;
  if (background.create(textCanvas.width(), textCanvas.height())) {
    vectorDraw(background, [&](VectorPainter& painter) {
      painter.setSourceColor(backColor);
      painter.fillAll();
    });
  }
  vectorDraw(
      textCanvas,
      [&](VectorPainter& painter) {
        painter.selectFont(font);
        painter.setSourceColor(textColor);
        for (size_t i = 0; i < layout.lines.size(); ++i) {
          const double width = painter.textWidth(layout.lines[i]);
          const int32_t lineWidth = saturate(static_cast<int64_t>(std::nearbyint(width)));
          painter.moveTo(layout.x(lineWidth), layout.y(i));
          painter.drawText(layout.lines[i]);
        }
      },
      layout.window.left, layout.window.top);
  if (!background.empty()) {
    drawCanvasOver(handOver, background, 0, 0, clampOpacity(watermark.backOpacity));
  }
  drawCanvasOver(handOver, textCanvas, 0, 0, clampOpacity(watermark.textOpacity));
}

// The drawn part at its place in an otherwise transparent layer of the
// whole block's size, for turns that need the whole layer's geometry.
Bitmap placeInTransparentLayer(Bitmap part, const LayerWindow& window, const TextBlock& block) {
  if (int64_t{block.width} * block.height > kMaxCanvasPixels) return nullptr;
  Bitmap layer = adoptBitmap(FreeImage_AllocateT(FIT_BITMAP, block.width, block.height, 32, 0, 0, 0));
  if (!layer) return nullptr;
  constexpr int kPasteCopy = 256;  // a plain copy, no blending
  if (!FreeImage_Paste(layer.get(), part.get(), static_cast<int>(window.left),
                       static_cast<int>(window.top), kPasteCopy)) {
    return nullptr;
  }
  return layer;
}

}  // namespace

std::vector<std::string> splitWatermarkLines(const std::string& text) {
  const std::string marked = replaceAllIgnoringCase(text, kLineBreak, kLineBreak);
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t found = marked.find(kLineBreak, start);
    if (found == std::string::npos) break;
    lines.push_back(marked.substr(start, found - start));
    start = found + kLineBreak.size();
  }
  lines.push_back(marked.substr(start));
  return lines;
}

TextBlock textBlockSize(const std::vector<TextSize>& lines, int32_t leading, int32_t padding) {
  int64_t width = 0;
  int64_t height = 0;
  int64_t step = 0;
  if (lines.size() == 1) {
    width = lines[0].width;
    height = lines[0].height;
    step = int64_t{height} + leading;
  } else if (!lines.empty()) {
    int64_t lineHeight = kMinimumLineSide;
    width = kMinimumLineSide;
    for (const TextSize& line : lines) {
      width = std::max<int64_t>(width, line.width);
      lineHeight = std::max<int64_t>(lineHeight, line.height);
    }
    step = lineHeight + leading;
    height = lineHeight + static_cast<int64_t>(lines.size() - 1) * step;
  }
  return {saturate(width + 2 * int64_t{padding}), saturate(height + 2 * int64_t{padding}),
          saturate(step)};
}

int32_t alignX(TextAlignment alignment, int32_t lineWidth, int32_t blockWidth, int32_t padding) {
  if (alignment == TextAlignment::kCenter) {
    const float half = static_cast<float>(int64_t{blockWidth} - lineWidth) / 2.0f;
    return saturate(std::lroundf(half));
  }
  if (alignment == TextAlignment::kRight) return saturate(int64_t{blockWidth} - lineWidth - padding);
  return padding;
}

Bitmap makeTextLayer(const TextWatermark& watermark, const std::string& text,
                     const WatermarkFont* font, const VisiblePart& visible) {
  if (!font) return nullptr;
  const std::vector<std::string> lines = splitWatermarkLines(text);
  std::vector<TextSize> sizes;
  sizes.reserve(lines.size());
  for (const std::string& line : lines) sizes.push_back(measureRasterText(*font, line));
  const TextBlock block = textBlockSize(sizes, watermark.leading, watermark.padding);

  // Only the part of the block that can show is drawn: the text canvas and the
  // hand-over canvas are that part, the lines keep their places in the whole
  // block. So memory follows the image, not the text or the font, and the
  // part is pixel for pixel what the whole block would show there. An empty
  // or inverted block, or nothing left to show, gives no layer.
  const LayerExtent whole{block.width, block.height};
  const LayerWindow window = visible ? visible(whole) : LayerWindow{0, 0, whole.width, whole.height};
  Canvas textCanvas;
  Canvas handOver;
  if (block.width <= 0 || block.height <= 0 || window.width <= 0 || window.height <= 0 ||
      window.width > INT32_MAX || window.height > INT32_MAX) {
    return nullptr;
  }
  const auto canvasWidth = static_cast<int32_t>(window.width);
  const auto canvasHeight = static_cast<int32_t>(window.height);
  if (!textCanvas.create(canvasWidth, canvasHeight)) return nullptr;
  if (!handOver.create(canvasWidth, canvasHeight)) return nullptr;
  const LineLayout layout{lines, sizes, block, watermark, window};
  if (watermark.antialiasing) {
    drawSmoothText(textCanvas, handOver, layout, *font);
  } else {
    drawPlainText(textCanvas, layout, *font);
    drawCanvasOver(handOver, textCanvas, 0, 0, 255);
  }
  Bitmap part = handOverToFreeImage(handOver);
  const bool wholeBlock = window.left == 0 && window.top == 0 && window.width == whole.width &&
                          window.height == whole.height;
  if (!part || !window.inWholeLayer || wholeBlock) return part;
  return placeInTransparentLayer(std::move(part), window, block);
}
