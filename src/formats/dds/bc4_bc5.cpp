#include "formats/dds/bc4_bc5.h"

namespace {

void spreadIndices(const uint8_t* block, const uint8_t* palette, uint8_t* values) {
  uint64_t indices = 0;
  for (int i = 0; i < 6; ++i) indices |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < kBlockPixels; ++i, indices >>= 3) values[i] = palette[indices & 7];
}

// A signed endpoint s (-127..127; -128 counts as -127) stands for s / 127.
// An interpolated value sum / (denominator * 127) is shown as
// round(255 * (v + 1) / 2).
inline uint8_t signedToUnorm(int sum, int denominator) {
  const int range = denominator * 127;
  return static_cast<uint8_t>((255 * (sum + range) * 2 + 2 * range) / (4 * range));
}

}  // namespace

void decodeBc4Block(const uint8_t* block, uint8_t* values) {
  const uint32_t a0 = block[0];
  const uint32_t a1 = block[1];
  uint8_t palette[8];
  palette[0] = static_cast<uint8_t>(a0);
  palette[1] = static_cast<uint8_t>(a1);
  if (a0 > a1) {
    for (uint32_t i = 1; i < 7; ++i) {
      const uint32_t sum = (7 - i) * a0 + i * a1;
      palette[i + 1] = static_cast<uint8_t>((sum * 2 + 7) / 14);
    }
  } else {
    for (uint32_t i = 1; i < 5; ++i) {
      const uint32_t sum = (5 - i) * a0 + i * a1;
      palette[i + 1] = static_cast<uint8_t>((sum * 2 + 5) / 10);
    }
    palette[6] = 0;
    palette[7] = 255;
  }
  spreadIndices(block, palette, values);
}

void decodeBc4SignedBlock(const uint8_t* block, uint8_t* values) {
  int s0 = static_cast<int8_t>(block[0]);
  int s1 = static_cast<int8_t>(block[1]);
  if (s0 == -128) s0 = -127;
  if (s1 == -128) s1 = -127;
  uint8_t palette[8];
  palette[0] = signedToUnorm(s0, 1);
  palette[1] = signedToUnorm(s1, 1);
  if (s0 > s1) {
    for (int i = 1; i < 7; ++i) palette[i + 1] = signedToUnorm((7 - i) * s0 + i * s1, 7);
  } else {
    for (int i = 1; i < 5; ++i) palette[i + 1] = signedToUnorm((5 - i) * s0 + i * s1, 5);
    palette[6] = 0;
    palette[7] = 255;
  }
  spreadIndices(block, palette, values);
}

void decodeBc5Block(const uint8_t* block, Rgba8* pixels) {
  uint8_t red[kBlockPixels];
  uint8_t green[kBlockPixels];
  decodeBc4Block(block, red);
  decodeBc4Block(block + 8, green);
  for (int i = 0; i < kBlockPixels; ++i) pixels[i] = Rgba8{red[i], green[i], 0, 255};
}

void decodeBc5SignedBlock(const uint8_t* block, Rgba8* pixels) {
  uint8_t red[kBlockPixels];
  uint8_t green[kBlockPixels];
  decodeBc4SignedBlock(block, red);
  decodeBc4SignedBlock(block + 8, green);
  for (int i = 0; i < kBlockPixels; ++i) pixels[i] = Rgba8{red[i], green[i], 0, 255};
}
