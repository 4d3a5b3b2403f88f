#include "formats/dds/bc1_bc3.h"

#include "formats/dds/bc4_bc5.h"

namespace {

inline uint32_t load16(const uint8_t* p) { return p[0] | (p[1] << 8); }
inline uint32_t load32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// round(255 * numerator / denominator) for non-negative values.
inline uint8_t roundedFraction(uint32_t numerator, uint32_t denominator) {
  return static_cast<uint8_t>((numerator * 255 * 2 + denominator) / (2 * denominator));
}

// The four colours of a colour block. A 5-bit endpoint c stands for
// 255 * c / 31 exactly; the interpolated colours are taken from those exact
// values: (2 c0 + c1) / 3 = 255 * (2 c0 + c1) / 93, and so on.
void blockPalette(const uint8_t* block, bool allowThreeColor, Rgba8* palette) {
  const uint32_t c0 = load16(block);
  const uint32_t c1 = load16(block + 2);
  const uint32_t r0 = c0 >> 11, g0 = (c0 >> 5) & 63, b0 = c0 & 31;
  const uint32_t r1 = c1 >> 11, g1 = (c1 >> 5) & 63, b1 = c1 & 31;
  palette[0] = Rgba8{roundedFraction(r0, 31), roundedFraction(g0, 63), roundedFraction(b0, 31), 255};
  palette[1] = Rgba8{roundedFraction(r1, 31), roundedFraction(g1, 63), roundedFraction(b1, 31), 255};
  if (c0 > c1 || !allowThreeColor) {
    palette[2] = Rgba8{roundedFraction(2 * r0 + r1, 93), roundedFraction(2 * g0 + g1, 189),
                       roundedFraction(2 * b0 + b1, 93), 255};
    palette[3] = Rgba8{roundedFraction(r0 + 2 * r1, 93), roundedFraction(g0 + 2 * g1, 189),
                       roundedFraction(b0 + 2 * b1, 93), 255};
  } else {
    palette[2] = Rgba8{roundedFraction(r0 + r1, 62), roundedFraction(g0 + g1, 126),
                       roundedFraction(b0 + b1, 62), 255};
    palette[3] = Rgba8{0, 0, 0, 0};
  }
}

void decodeColorBlock(const uint8_t* block, bool allowThreeColor, Rgba8* pixels) {
  Rgba8 palette[4];
  blockPalette(block, allowThreeColor, palette);
  uint32_t indices = load32(block + 4);
  for (int i = 0; i < kBlockPixels; ++i, indices >>= 2) pixels[i] = palette[indices & 3];
}

}  // namespace

void decodeBc1Block(const uint8_t* block, Rgba8* pixels) { decodeColorBlock(block, true, pixels); }

void decodeBc2Block(const uint8_t* block, Rgba8* pixels) {
  decodeColorBlock(block + 8, false, pixels);
  for (int i = 0; i < kBlockPixels; ++i) {
    const uint32_t nibble = (block[i / 2] >> (4 * (i & 1))) & 15;
    pixels[i].a = static_cast<uint8_t>(nibble * 17);
  }
}

void decodeBc3Block(const uint8_t* block, Rgba8* pixels) {
  decodeColorBlock(block + 8, false, pixels);
  uint8_t alpha[kBlockPixels];
  decodeBc4Block(block, alpha);
  for (int i = 0; i < kBlockPixels; ++i) pixels[i].a = alpha[i];
}
