#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/writers/png_layout.h"

// One pass of a PNG image: the pixels at xStart + i * xStep of the rows at
// yStart + j * yStep. A plain image is one pass of every pixel; an Adam7
// interlaced one is seven, of which those with no pixel (a small image) are
// left out, as the format has it.
struct PngPass {
  uint32_t xStart = 0;
  uint32_t yStart = 0;
  uint32_t xStep = 1;
  uint32_t yStep = 1;
  uint32_t width = 0;   // pixels of each row of the pass
  uint32_t height = 0;  // rows of the pass
  size_t rowBytes = 0;  // bytes of one row of the pass, without the filter byte
};

std::vector<PngPass> pngPasses(const PngLayout& layout, bool interlaced);

// The bytes of the image data before compression: a filter byte and the row
// bytes for each row of each pass.
size_t pngFilteredSize(const std::vector<PngPass>& passes);

// Picks the pass's pixels out of a full PNG row into out (pass.rowBytes).
void pickPassPixels(const PngLayout& layout, const PngPass& pass, const uint8_t* fullRow,
                    uint8_t* out);
