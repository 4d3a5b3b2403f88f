#include "formats/dds/bc7.h"

#include "formats/dds/block_bits.h"
#include "formats/dds/bptc_tables.h"

namespace {

// The fields of a BC7 mode, in the order they follow the mode bits.
struct Bc7Mode {
  int subsets;
  int partitionBits;
  int rotationBits;
  int indexSelectionBits;
  int colorBits;
  int alphaBits;
  int endpointPBits;  // one p-bit per endpoint
  int sharedPBits;    // one p-bit per subset, shared by its two endpoints
  int indexBits;
  int secondaryIndexBits;
};

constexpr Bc7Mode kModes[8] = {
    {3, 4, 0, 0, 4, 0, 1, 0, 3, 0}, {2, 6, 0, 0, 6, 0, 0, 1, 3, 0},
    {3, 6, 0, 0, 5, 0, 0, 0, 2, 0}, {2, 6, 0, 0, 7, 0, 1, 0, 2, 0},
    {1, 0, 2, 1, 5, 6, 0, 0, 2, 3}, {1, 0, 2, 0, 7, 8, 0, 0, 2, 2},
    {1, 0, 0, 0, 7, 7, 1, 0, 4, 0}, {2, 6, 0, 0, 5, 5, 1, 0, 2, 0},
};

// Widens a value of `bits` bits to 8 by repeating its top bits below it.
inline uint8_t widen(uint32_t value, int bits) {
  value <<= (8 - bits);
  return static_cast<uint8_t>(value | (value >> bits));
}

inline uint8_t interpolate(int e0, int e1, int weight) {
  return static_cast<uint8_t>(((64 - weight) * e0 + weight * e1 + 32) >> 6);
}

}  // namespace

void decodeBc7Block(const uint8_t* block, Rgba8* pixels) {
  if (block[0] == 0) {
    for (int i = 0; i < kBlockPixels; ++i) pixels[i] = Rgba8{};
    return;
  }
  int modeNumber = 0;
  while (!(block[0] & (1u << modeNumber))) ++modeNumber;
  const Bc7Mode& mode = kModes[modeNumber];

  BlockBits bits(block);
  bits.skip(modeNumber + 1);
  const int partition = static_cast<int>(bits.read(mode.partitionBits));
  const int rotation = static_cast<int>(bits.read(mode.rotationBits));
  const int indexSelection = static_cast<int>(bits.read(mode.indexSelectionBits));

  // endpoints[subset][endpoint][channel], channels r, g, b, a.
  uint32_t endpoints[3][2][4] = {};
  for (int channel = 0; channel < 3; ++channel) {
    for (int s = 0; s < mode.subsets; ++s) {
      for (int e = 0; e < 2; ++e) endpoints[s][e][channel] = bits.read(mode.colorBits);
    }
  }
  if (mode.alphaBits > 0) {
    for (int s = 0; s < mode.subsets; ++s) {
      for (int e = 0; e < 2; ++e) endpoints[s][e][3] = bits.read(mode.alphaBits);
    }
  }

  int colorBits = mode.colorBits;
  int alphaBits = mode.alphaBits;
  if (mode.endpointPBits || mode.sharedPBits) {
    uint32_t pBits[3][2] = {};
    for (int s = 0; s < mode.subsets; ++s) {
      if (mode.endpointPBits) {
        pBits[s][0] = bits.read(1);
        pBits[s][1] = bits.read(1);
      } else {
        pBits[s][0] = pBits[s][1] = bits.read(1);
      }
    }
    for (int s = 0; s < mode.subsets; ++s) {
      for (int e = 0; e < 2; ++e) {
        for (int c = 0; c < 4; ++c) endpoints[s][e][c] = (endpoints[s][e][c] << 1) | pBits[s][e];
      }
    }
    ++colorBits;
    if (alphaBits > 0) ++alphaBits;
  }

  uint8_t colors[3][2][4];
  for (int s = 0; s < mode.subsets; ++s) {
    for (int e = 0; e < 2; ++e) {
      for (int c = 0; c < 3; ++c) colors[s][e][c] = widen(endpoints[s][e][c], colorBits);
      colors[s][e][3] = alphaBits > 0 ? widen(endpoints[s][e][3], alphaBits) : 255;
    }
  }

  uint8_t primary[kBlockPixels];
  for (int i = 0; i < kBlockPixels; ++i) {
    const bool anchor = isBptcAnchor(mode.subsets, partition, i);
    primary[i] = static_cast<uint8_t>(bits.read(anchor ? mode.indexBits - 1 : mode.indexBits));
  }
  uint8_t secondary[kBlockPixels] = {};
  if (mode.secondaryIndexBits > 0) {
    for (int i = 0; i < kBlockPixels; ++i) {
      const int count = i == 0 ? mode.secondaryIndexBits - 1 : mode.secondaryIndexBits;
      secondary[i] = static_cast<uint8_t>(bits.read(count));
    }
  }

  // With two index sets, colour takes the primary and alpha the secondary
  // unless the index-selection bit swaps them.
  const bool twoSets = mode.secondaryIndexBits > 0;
  const bool swapSets = twoSets && indexSelection == 1;
  const uint8_t* colorIndices = swapSets ? secondary : primary;
  const uint8_t* alphaIndices = twoSets && !swapSets ? secondary : primary;
  const uint8_t* colorWeights =
      bptcWeights(swapSets ? mode.secondaryIndexBits : mode.indexBits);
  const uint8_t* alphaWeights =
      bptcWeights(twoSets && !swapSets ? mode.secondaryIndexBits : mode.indexBits);

  for (int i = 0; i < kBlockPixels; ++i) {
    const int s = bptcSubset(mode.subsets, partition, i);
    const uint8_t(&c0)[4] = colors[s][0];
    const uint8_t(&c1)[4] = colors[s][1];
    const int cw = colorWeights[colorIndices[i]];
    const int aw = alphaWeights[alphaIndices[i]];
    uint8_t rgba[4] = {interpolate(c0[0], c1[0], cw), interpolate(c0[1], c1[1], cw),
                       interpolate(c0[2], c1[2], cw), interpolate(c0[3], c1[3], aw)};
    if (rotation > 0) {
      const uint8_t swapped = rgba[3];
      rgba[3] = rgba[rotation - 1];
      rgba[rotation - 1] = swapped;
    }
    pixels[i] = makeRgba8(rgba[0], rgba[1], rgba[2], rgba[3]);
  }
}
