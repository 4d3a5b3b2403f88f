#include "formats/dds/bc4_bc5.h"

#include <array>
#include <cstring>

namespace {

void spreadIndices(const uint8_t* block, const uint8_t* palette, uint8_t* values) {
  uint32_t low, high;
  bc4Indices(block, &low, &high);
  for (int i = 0; i < 8; ++i) values[i] = palette[(low >> (3 * i)) & 7];
  for (int i = 0; i < 8; ++i) values[8 + i] = palette[(high >> (3 * i)) & 7];
}

// round(n / 7) and round(n / 5) for the weighted sums of two 8-bit endpoints.
template <uint32_t denominator>
constexpr std::array<uint8_t, 255 * denominator + 1> divisionTable() {
  std::array<uint8_t, 255 * denominator + 1> table{};
  for (uint32_t n = 0; n < table.size(); ++n) {
    table[n] = static_cast<uint8_t>((2 * n + denominator) / (2 * denominator));
  }
  return table;
}
constexpr auto kSevenths = divisionTable<7>();
constexpr auto kFifths = divisionTable<5>();

// A signed endpoint s (-127..127; -128 counts as -127) stands for s / 127.
// An interpolated value sum / (denominator * 127) is shown as
// round(255 * (v + 1) / 2).
inline uint8_t signedToUnorm(int sum, int denominator) {
  const int range = denominator * 127;
  return static_cast<uint8_t>((255 * (sum + range) * 2 + 2 * range) / (4 * range));
}

}  // namespace

void bc4Palette(const uint8_t* block, uint8_t* palette) {
  const uint32_t a0 = block[0];
  const uint32_t a1 = block[1];
  palette[0] = static_cast<uint8_t>(a0);
  palette[1] = static_cast<uint8_t>(a1);
  if (a0 > a1) {
    for (uint32_t i = 1; i < 7; ++i) palette[i + 1] = kSevenths[(7 - i) * a0 + i * a1];
  } else {
    for (uint32_t i = 1; i < 5; ++i) palette[i + 1] = kFifths[(5 - i) * a0 + i * a1];
    palette[6] = 0;
    palette[7] = 255;
  }
}

void decodeBc4Block(const uint8_t* block, uint8_t* values) {
  uint8_t palette[8];
  bc4Palette(block, palette);
  spreadIndices(block, palette, values);
}

namespace {

void bc4SignedPalette(const uint8_t* block, uint8_t* palette) {
  int s0 = static_cast<int8_t>(block[0]);
  int s1 = static_cast<int8_t>(block[1]);
  if (s0 == -128) s0 = -127;
  if (s1 == -128) s1 = -127;
  palette[0] = signedToUnorm(s0, 1);
  palette[1] = signedToUnorm(s1, 1);
  if (s0 > s1) {
    for (int i = 1; i < 7; ++i) palette[i + 1] = signedToUnorm((7 - i) * s0 + i * s1, 7);
  } else {
    for (int i = 1; i < 5; ++i) palette[i + 1] = signedToUnorm((5 - i) * s0 + i * s1, 5);
    palette[6] = 0;
    palette[7] = 255;
  }
}

// A BC4 block's palette and its 16 indices, 3 bits each from pixel 0 up.
uint64_t paletteAndIndices(const uint8_t* block, bool isSigned, uint8_t* palette) {
  if (isSigned) {
    bc4SignedPalette(block, palette);
  } else {
    bc4Palette(block, palette);
  }
  uint32_t low, high;
  bc4Indices(block, &low, &high);
  return low | uint64_t{high} << 24;
}

}  // namespace

void decodeBc4SignedBlock(const uint8_t* block, uint8_t* values) {
  uint8_t palette[8];
  bc4SignedPalette(block, palette);
  spreadIndices(block, palette, values);
}

void decodeBc4BlockToGrey(const uint8_t* block, bool isSigned, uint8_t* top, ptrdiff_t rowStride) {
  uint8_t palette[8];
  const uint64_t indices = paletteAndIndices(block, isSigned, palette);
#pragma GCC unroll 4
  for (int row = 0; row < 4; ++row) {
    uint8_t values[4];
#pragma GCC unroll 4
    for (int col = 0; col < 4; ++col) values[col] = palette[(indices >> (3 * (4 * row + col))) & 7];
    std::memcpy(top + row * rowStride, values, sizeof values);
  }
}

void decodeBc5BlockToRgb(const uint8_t* block, bool isSigned, uint8_t* top, ptrdiff_t rowStride) {
  uint8_t red[8];
  uint8_t green[8];
  const uint64_t redIndices = paletteAndIndices(block, isSigned, red);
  const uint64_t greenIndices = paletteAndIndices(block + 8, isSigned, green);
#pragma GCC unroll 4
  for (int row = 0; row < 4; ++row) {
    uint8_t pixels[12];
#pragma GCC unroll 4
    for (int col = 0; col < 4; ++col) {
      const int shift = 3 * (4 * row + col);
      pixels[3 * col + FI_RGBA_BLUE] = 0;
      pixels[3 * col + FI_RGBA_GREEN] = green[(greenIndices >> shift) & 7];
      pixels[3 * col + FI_RGBA_RED] = red[(redIndices >> shift) & 7];
    }
    std::memcpy(top + row * rowStride, pixels, sizeof pixels);
  }
}

void decodeBc5Block(const uint8_t* block, Rgba8* pixels) {
  uint8_t red[kBlockPixels];
  uint8_t green[kBlockPixels];
  decodeBc4Block(block, red);
  decodeBc4Block(block + 8, green);
  for (int i = 0; i < kBlockPixels; ++i) pixels[i] = makeRgba8(red[i], green[i], 0, 255);
}

void decodeBc5SignedBlock(const uint8_t* block, Rgba8* pixels) {
  uint8_t red[kBlockPixels];
  uint8_t green[kBlockPixels];
  decodeBc4SignedBlock(block, red);
  decodeBc4SignedBlock(block + 8, green);
  for (int i = 0; i < kBlockPixels; ++i) pixels[i] = makeRgba8(red[i], green[i], 0, 255);
}
