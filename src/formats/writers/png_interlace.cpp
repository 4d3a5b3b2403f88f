#include "formats/writers/png_interlace.h"

#include <cstring>

namespace {

struct Adam7Pass {
  uint32_t xStart, yStart, xStep, yStep;
};
constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                 {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

uint32_t countFrom(uint32_t size, uint32_t start, uint32_t step) {
  return size > start ? (size - start + step - 1) / step : 0;
}

}  // namespace

std::vector<PngPass> pngPasses(const PngLayout& layout, bool interlaced) {
  std::vector<PngPass> passes;
  if (!interlaced) {
    passes.push_back(PngPass{0, 0, 1, 1, layout.width, layout.height, layout.rowBytes});
    return passes;
  }
  for (const Adam7Pass& a : kAdam7) {
    PngPass pass{a.xStart, a.yStart, a.xStep, a.yStep, countFrom(layout.width, a.xStart, a.xStep),
                 countFrom(layout.height, a.yStart, a.yStep), 0};
    if (pass.width == 0 || pass.height == 0) continue;
    pass.rowBytes = (static_cast<size_t>(pass.width) * layout.bitsPerPixel + 7) / 8;
    passes.push_back(pass);
  }
  return passes;
}

size_t pngFilteredSize(const std::vector<PngPass>& passes) {
  size_t size = 0;
  for (const PngPass& pass : passes) size += pass.height * (pass.rowBytes + 1);
  return size;
}

void pickPassPixels(const PngLayout& layout, const PngPass& pass, const uint8_t* fullRow,
                    uint8_t* out) {
  const uint32_t bits = layout.bitsPerPixel;
  if (bits >= 8) {
    const size_t bytes = bits / 8;
    const uint8_t* in = fullRow + pass.xStart * bytes;
    const size_t stride = pass.xStep * bytes;
    for (uint32_t i = 0; i < pass.width; ++i, in += stride, out += bytes) std::memcpy(out, in, bytes);
    return;
  }
  // Samples below 8 bits: the leftmost pixel in the most significant bits.
  std::memset(out, 0, pass.rowBytes);
  const uint32_t mask = (1u << bits) - 1;
  for (uint32_t i = 0; i < pass.width; ++i) {
    const size_t from = static_cast<size_t>(pass.xStart + i * pass.xStep) * bits;
    const uint32_t value = (fullRow[from / 8] >> (8 - bits - from % 8)) & mask;
    const size_t to = static_cast<size_t>(i) * bits;
    out[to / 8] = static_cast<uint8_t>(out[to / 8] | value << (8 - bits - to % 8));
  }
}
