#include "pipeline/frame.h"

#include <algorithm>

#include "pipeline/drawing/canvas.h"
#include "pipeline/drawing/compositing.h"
#include "pipeline/drawing/hand_over.h"
#include "pipeline/drawing/vector_drawing.h"

namespace {

std::string pathText(std::initializer_list<int64_t> numbers, const char* firstCommand) {
  // Numbers come in pairs: the first pair follows M, every later pair l.
  std::string text = firstCommand;
  size_t index = 0;
  for (int64_t number : numbers) {
    if (index > 0 && index % 2 == 0) text += " l";
    text += ' ';
    text += std::to_string(number);
    ++index;
  }
  return text + " Z";
}

}  // namespace

FrameShapes frameShapes(int64_t w, int64_t h, int64_t l, int64_t r, int64_t t, int64_t b) {
  return {
      {{{FrameSide::kTop, 0, 0, l, t},
        {FrameSide::kRight, w - r, 0, r, t},
        {FrameSide::kBottom, w - r, h - b, r, b},
        {FrameSide::kLeft, 0, h - b, l, b}}},
      {{{FrameSide::kTop, pathText({0, 0, w, 0, -r, t, -(w - l - r), 0}, "M")},
        {FrameSide::kRight, pathText({w, 0, 0, h, -r, -b, 0, -(h - t - b)}, "M")},
        {FrameSide::kBottom, pathText({w, h, -w, 0, l, -b, w - l - r, 0}, "M")},
        {FrameSide::kLeft, pathText({0, h, 0, -h, l, t, 0, h - t - b}, "M")}}},
  };
}

Bitmap applyFrame(Bitmap image, int32_t width, int32_t height, const FrameStep& step) {
  if (!step.enabled || !image) return image;
  if (FreeImage_GetBPP(image.get()) != 24) {
    Bitmap converted = adoptBitmap(FreeImage_ConvertTo24Bits(image.get()));
    if (!converted) return image;
    image = std::move(converted);
  }
  Canvas frame;
  if (!frame.create(width, height)) return image;

  auto colorOf = [&](FrameSide side) {
    switch (side) {
      case FrameSide::kTop: return rgbaFromColor(step.topColor);
      case FrameSide::kRight: return rgbaFromColor(step.rightColor);
      case FrameSide::kBottom: return rgbaFromColor(step.bottomColor);
      case FrameSide::kLeft: break;
    }
    return rgbaFromColor(step.leftColor);
  };
  const FrameShapes shapes = frameShapes(width, height, step.insets.left, step.insets.right,
                                         step.insets.top, step.insets.bottom);
  vectorDraw(frame, [&](VectorPainter& painter) {
    for (const FrameCorner& corner : shapes.corners) {
      painter.setSourceColor(colorOf(corner.color));
      painter.fillRectangle(corner.x, corner.y, corner.width, corner.height);
    }
    for (const FrameEdge& side : shapes.sides) {
      painter.setSourceColor(colorOf(side.color));
      painter.fillPath(side.pathText);
    }
  });

  Canvas handOver;
  if (!handOver.create(width, height)) return image;
  drawCanvasOver(handOver, frame, 0, 0, std::clamp(step.opacity, 0, 255));
  frame = Canvas();  // the drawn frame is no longer needed; free it before decoding
  Bitmap layer = handOverToFreeImage(handOver);
  if (!layer) return image;
  Bitmap result = adoptBitmap(FreeImage_Composite(layer.get(), FALSE, nullptr, image.get()));
  return result ? std::move(result) : std::move(image);
}
