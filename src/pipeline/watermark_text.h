#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/bitmap.h"
#include "pipeline/drawing/raster_text.h"
#include "pipeline/watermark_placement.h"

class WatermarkFont;

enum class TextAlignment : uint8_t { kLeft = 0, kCenter = 1, kRight = 2 };

struct TextWatermark {
  std::string text;               // as typed, tokens not yet expanded
  uint32_t fontColor = 0xFFFFFF;  // red in the lowest byte, no alpha
  uint32_t backColor = 0;
  int32_t textOpacity = 255;      // clamped to 0..255
  int32_t backOpacity = 1;
  int32_t leading = 0;            // pixels between lines, may be negative
  int32_t padding = 0;
  TextAlignment alignment = TextAlignment::kLeft;
  bool antialiasing = false;
  Placement placement;
};

// The lines of a watermark text split at "%eol%" in any letter case. Empty
// lines are kept, a trailing "%eol%" included: "a%EOL%" gives "a" and "".
std::vector<std::string> splitWatermarkLines(const std::string& text);

struct TextBlock {
  int32_t width = 0;   // padding included
  int32_t height = 0;  // padding included
  int32_t step = 0;    // distance from one line's top to the next one's
};

// The block that holds lines of the given raster sizes. One line: its own
// size. Several: the widest line and the highest line, each at least 10, with
// the lines stepping by that height plus leading. Then padding on all sides.
// Sizes beyond the range of int32_t saturate (such a block cannot be drawn).
TextBlock textBlockSize(const std::vector<TextSize>& lines, int32_t leading, int32_t padding);

// Left edge of a line of lineWidth in a block of blockWidth: centred lines
// sit halfway, a half rounded away from zero.
int32_t alignX(TextAlignment alignment, int32_t lineWidth, int32_t blockWidth, int32_t padding);

// Which part of a text block of the given size can show on the image.
using VisiblePart = std::function<LayerWindow(LayerExtent block)>;

// The text watermark showing text (its tokens already expanded) as a 32-bit
// layer, or empty when there is no font or no
// block can be drawn. With visible, only that part of the block is drawn and
// the layer is that part of the whole block, pixel for pixel, or, when the
// window says inWholeLayer, the whole block transparent outside that part;
// without it the whole block.
Bitmap makeTextLayer(const TextWatermark& watermark, const std::string& text,
                     const WatermarkFont* font, const VisiblePart& visible = nullptr);
