#include "formats/dds/bc1_bc3.h"

#include <array>
#include <cstring>

#include "formats/dds/bc4_bc5.h"

namespace {

inline uint32_t load16(const uint8_t* p) { return p[0] | (p[1] << 8); }
inline uint32_t load32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// round(255 * n / denominator) for n = 0 .. denominator, as a table: the
// colour of a sum of endpoint codes. Lookups keep the exact rounding as cheap
// as the truncating shifts some decoders use.
template <uint32_t denominator>
constexpr std::array<uint8_t, denominator + 1> fractionTable() {
  std::array<uint8_t, denominator + 1> table{};
  for (uint32_t n = 0; n <= denominator; ++n) {
    table[n] = static_cast<uint8_t>((n * 255 * 2 + denominator) / (2 * denominator));
  }
  return table;
}
constexpr auto kFifths31 = fractionTable<31>();    // a 5-bit endpoint
constexpr auto kSixths63 = fractionTable<63>();    // a 6-bit endpoint
constexpr auto kThirds93 = fractionTable<93>();    // (2 a + b) / 3 of 5-bit endpoints
constexpr auto kThirds189 = fractionTable<189>();  // (2 a + b) / 3 of 6-bit endpoints
constexpr auto kHalves62 = fractionTable<62>();    // (a + b) / 2 of 5-bit endpoints
constexpr auto kHalves126 = fractionTable<126>();  // (a + b) / 2 of 6-bit endpoints

// One pixel as the 32-bit word Rgba8 keeps in memory. The palette is built
// as whole words, so copying its entries into the pixels is one store each.
inline uint32_t pixelWord(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return b | (g << 8) | (r << 16) | (a << 24);
}
static_assert(FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2 && FI_RGBA_ALPHA == 3);

// The four colours of a colour block. A 5-bit endpoint c stands for
// 255 * c / 31 exactly; the interpolated colours are taken from those exact
// values: (2 c0 + c1) / 3 = 255 * (2 c0 + c1) / 93, and so on.
// With opaque 0 the words leave the alpha byte free for BC2 and BC3.
// Both modes' middle colours are worked out and one is picked without a
// branch: which mode a block is in follows no pattern a predictor could learn.
template <bool allowThreeColor>
inline void blockPalette(const uint8_t* block, uint32_t opaque, uint32_t* palette) {
  const uint32_t c0 = load16(block);
  const uint32_t c1 = load16(block + 2);
  const uint32_t r0 = c0 >> 11, g0 = (c0 >> 5) & 63, b0 = c0 & 31;
  const uint32_t r1 = c1 >> 11, g1 = (c1 >> 5) & 63, b1 = c1 & 31;
  palette[0] = pixelWord(kFifths31[r0], kSixths63[g0], kFifths31[b0], opaque);
  palette[1] = pixelWord(kFifths31[r1], kSixths63[g1], kFifths31[b1], opaque);
  const uint32_t third = pixelWord(kThirds93[2 * r0 + r1], kThirds189[2 * g0 + g1], kThirds93[2 * b0 + b1], opaque);
  const uint32_t twoThirds = pixelWord(kThirds93[r0 + 2 * r1], kThirds189[g0 + 2 * g1], kThirds93[b0 + 2 * b1], opaque);
  if constexpr (allowThreeColor) {
    const bool fourColors = c0 > c1;
    const uint32_t half = pixelWord(kHalves62[r0 + r1], kHalves126[g0 + g1], kHalves62[b0 + b1], opaque);
    palette[2] = fourColors ? third : half;
    palette[3] = fourColors ? twoThirds : 0;  // else transparent black
  } else {
    palette[2] = third;
    palette[3] = twoThirds;
  }
}

// Writes the 16 pixels of a colour block: the colour its 2-bit index selects,
// with alphaOf(i) (a word holding only the alpha byte) added for pixel i.
template <bool allowThreeColor, typename AlphaOf>
inline void storeColorBlock(const uint8_t* block, uint32_t opaque, AlphaOf alphaOf, Rgba8* pixels,
                            ptrdiff_t rowStride) {
  uint32_t palette[4];
  blockPalette<allowThreeColor>(block, opaque, palette);
  const uint32_t indices = load32(block + 4);
#pragma GCC unroll 4
  for (int row = 0; row < 4; ++row, pixels += rowStride) {
#pragma GCC unroll 4
    for (int col = 0; col < 4; ++col) {
      const int i = 4 * row + col;
      storePixelWord(pixels + col, palette[(indices >> (2 * i)) & 3] | alphaOf(i));
    }
  }
}

}  // namespace

void decodeBc1Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  storeColorBlock<true>(block, 255, [](int) { return 0u; }, pixels, rowStride);
}

void decodeBc2Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  uint64_t nibbles = 0;
  for (int k = 7; k >= 0; --k) nibbles = (nibbles << 8) | block[k];
  auto alphaOf = [nibbles](int i) { return static_cast<uint32_t>((nibbles >> (4 * i)) & 15) * 17 << 24; };
  storeColorBlock<false>(block + 8, 0, alphaOf, pixels, rowStride);
}

void decodeBc3Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  uint8_t values[8];
  bc4Palette(block, values);
  uint32_t alpha[8];
  for (int k = 0; k < 8; ++k) alpha[k] = static_cast<uint32_t>(values[k]) << 24;
  uint64_t indices = 0;
  for (int k = 7; k >= 2; --k) indices = (indices << 8) | block[k];
  auto alphaOf = [&alpha, indices](int i) { return alpha[(indices >> (3 * i)) & 7]; };
  storeColorBlock<false>(block + 8, 0, alphaOf, pixels, rowStride);
}
