#pragma once

#include <cstdint>
#include <string>

#include "pipeline/drawing/canvas.h"
#include "pipeline/drawing/watermark_font.h"

struct TextSize {
  int32_t width = 0;
  int32_t height = 0;
};

// Width (sum of the glyph advances) and height (the font's ascent plus
// descent) of a raster text in whole pixels. An empty text is 0 wide and
// still one line high.
TextSize measureRasterText(const WatermarkFont& font, const std::string& text);

// One pixel of raster text: text (its alpha being the text opacity) at glyph
// coverage 0..255 laid over destination by source-over. When backOpacity is
// above 191 the pixel keeps that alpha. Coverage 0 keeps destination.
RgbaPixel rasterTextPixel(RgbaPixel destination, RgbaPixel text, int32_t backOpacity, int32_t coverage);

// Draws text with the top-left of its box at (x, y), glyphs rendered without
// antialiasing (monochrome), plus underline or strike-out when the font has
// them, each covered pixel combined by rasterTextPixel. Clipped to the canvas.
// The canvas may be a part of a larger block whose right edge lies at
// blockRight in canvas coordinates (-1: the canvas is the whole block), x and
// y then being negative for text that starts left of or above the canvas:
// glyphs whose pen reaches blockRight are left out, as on the whole block, and
// only what falls on the canvas costs memory, whatever the text's length or
// the font's size.
void drawRasterText(Canvas& canvas, const WatermarkFont& font, int64_t x, int64_t y,
                    const std::string& text, RgbaPixel textColor, int32_t backOpacity,
                    int64_t blockRight = -1);
