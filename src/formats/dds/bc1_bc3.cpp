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
void blockPalette(const uint8_t* block, bool allowThreeColor, uint32_t opaque, uint32_t* palette) {
  const uint32_t c0 = load16(block);
  const uint32_t c1 = load16(block + 2);
  const uint32_t r0 = c0 >> 11, g0 = (c0 >> 5) & 63, b0 = c0 & 31;
  const uint32_t r1 = c1 >> 11, g1 = (c1 >> 5) & 63, b1 = c1 & 31;
  palette[0] = pixelWord(kFifths31[r0], kSixths63[g0], kFifths31[b0], opaque);
  palette[1] = pixelWord(kFifths31[r1], kSixths63[g1], kFifths31[b1], opaque);
  if (c0 > c1 || !allowThreeColor) {
    palette[2] = pixelWord(kThirds93[2 * r0 + r1], kThirds189[2 * g0 + g1], kThirds93[2 * b0 + b1], opaque);
    palette[3] = pixelWord(kThirds93[r0 + 2 * r1], kThirds189[g0 + 2 * g1], kThirds93[b0 + 2 * b1], opaque);
  } else {
    palette[2] = pixelWord(kHalves62[r0 + r1], kHalves126[g0 + g1], kHalves62[b0 + b1], opaque);
    palette[3] = 0;  // transparent black
  }
}

// The colour words of the 16 pixels; alpha is 255 (BC1) or 0 (BC2, BC3).
void decodeColorWords(const uint8_t* block, bool allowThreeColor, uint32_t opaque, uint32_t* words) {
  uint32_t palette[4];
  blockPalette(block, allowThreeColor, opaque, palette);
  uint32_t indices = load32(block + 4);
  for (int i = 0; i < kBlockPixels; ++i, indices >>= 2) words[i] = palette[indices & 3];
}

void storeWords(const uint32_t* words, Rgba8* pixels, ptrdiff_t rowStride) {
  for (int row = 0; row < 4; ++row) {
    std::memcpy(static_cast<void*>(pixels + row * rowStride), words + 4 * row, 16);
  }
}

}  // namespace

void decodeBc1Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  uint32_t words[kBlockPixels];
  decodeColorWords(block, true, 255, words);
  storeWords(words, pixels, rowStride);
}

void decodeBc2Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  uint32_t words[kBlockPixels];
  decodeColorWords(block + 8, false, 0, words);
  for (int i = 0; i < kBlockPixels; ++i) {
    const uint32_t nibble = (block[i / 2] >> (4 * (i & 1))) & 15;
    words[i] |= (nibble * 17) << 24;
  }
  storeWords(words, pixels, rowStride);
}

void decodeBc3Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  uint32_t words[kBlockPixels];
  decodeColorWords(block + 8, false, 0, words);
  uint8_t alpha[8];
  bc4Palette(block, alpha);
  uint32_t low, high;
  bc4Indices(block, &low, &high);
  for (int i = 0; i < 8; ++i) {
    words[i] |= static_cast<uint32_t>(alpha[(low >> (3 * i)) & 7]) << 24;
    words[8 + i] |= static_cast<uint32_t>(alpha[(high >> (3 * i)) & 7]) << 24;
  }
  storeWords(words, pixels, rowStride);
}
