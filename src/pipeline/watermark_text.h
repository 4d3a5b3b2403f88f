#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/bitmap.h"
#include "pipeline/drawing/raster_text.h"
#include "pipeline/watermark_placement.h"
#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

class WatermarkFont;

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

// Left edge of a line of lineWidth in a block of blockWidth for alignment
// 0 LEFT, 1 CENTER (halfway, a half rounded away from zero), 2 RIGHT.
int32_t alignX(uint8_t alignment, int32_t lineWidth, int32_t blockWidth, int32_t padding);

// Which part of a text block of the given size can show on the image.
using VisiblePart = std::function<LayerWindow(LayerExtent block)>;

// The text watermark as a 32-bit layer, or empty when there is no font or no
// block can be drawn. With visible, only that part of the block is drawn and
// the layer is that part of the whole block, pixel for pixel; without it the
// whole block.
Bitmap makeTextLayer(const ConversionSettings& settings, const ConversionJob& job,
                     const WatermarkFont* font, const VisiblePart& visible = nullptr);
