#include "formats/dds/bc7.h"

#include <array>
#include <bit>
#include <cstring>

#include "formats/dds/block_bits.h"
#include "formats/dds/bptc_tables.h"

// Each mode has its own decoder, instantiated from the mode's field widths,
// so every field of a block sits at a place known when compiling. Endpoints
// are widened once per block, the colours each index can select are worked
// out once per subset (a palette), and the pixels are then one lookup each.

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

// The second and third anchors of each three-subset partition, lowest first,
// the order restoreAnchorBit needs.
struct AnchorPair {
  uint8_t first;
  uint8_t second;
};
constexpr std::array<AnchorPair, 64> kSortedThreeSubsetAnchors = [] {
  std::array<AnchorPair, 64> pairs{};
  for (int p = 0; p < 64; ++p) {
    const uint8_t a = kThreeSubsetSecondAnchors[p];
    const uint8_t b = kThreeSubsetThirdAnchors[p];
    pairs[p] = a < b ? AnchorPair{a, b} : AnchorPair{b, a};
  }
  return pairs;
}();

// The subset of each pixel of a two-subset partition, two bits per pixel as
// the three-subset table keeps them.
constexpr std::array<uint32_t, 64> kTwoSubsetSpread = [] {
  std::array<uint32_t, 64> spread{};
  for (int p = 0; p < 64; ++p) {
    for (int i = 0; i < 16; ++i) spread[p] |= ((kTwoSubsetPartitions[p] >> i) & 1u) << (2 * i);
  }
  return spread;
}();

// Widens a value of `bits` bits to 8 by repeating its top bits below it.
inline uint32_t widen(uint32_t value, int bits) {
  value <<= (8 - bits);
  return value | (value >> bits);
}

// A pixel's four channels in the byte order of Rgba8, one per 16-bit lane,
// so one multiply-add interpolates all four (8-bit values times weights up
// to 64 stay below 2^15).
inline uint64_t spreadLanes(const uint32_t* rgba) {
  return uint64_t{rgba[2]} | uint64_t{rgba[1]} << 16 | uint64_t{rgba[0]} << 32 |
         uint64_t{rgba[3]} << 48;
}

// Two pixels' four channels as 16-bit lanes, and the same pixels as bytes:
// vectors of the compiler's own, so the palette below is worked out two
// entries at a time on any target with vector registers.
using PairLanes = uint16_t __attribute__((vector_size(16)));
using PairBytes = uint8_t __attribute__((vector_size(8)));

// The weights of palette entries k and k + 1, each in the four lanes of its
// pixel.
template <int indexBits>
constexpr std::array<PairLanes, (1 << indexBits) / 2> kPairWeights = [] {
  const uint8_t* weights = indexBits == 2 ? kWeights2 : indexBits == 3 ? kWeights3 : kWeights4;
  std::array<PairLanes, (1 << indexBits) / 2> pairs{};
  for (int k = 0; k < (1 << indexBits); k += 2) {
    const uint16_t a = weights[k], b = weights[k + 1];
    pairs[k / 2] = PairLanes{a, a, a, a, b, b, b, b};
  }
  return pairs;
}();

// The 2^indexBits colours a subset's indices select from:
// ((64 - w) e0 + w e1 + 32) / 64 in every lane, packed into pixel words.
template <int indexBits>
inline void fillPalette(uint64_t e0, uint64_t e1, uint32_t* palette) {
  PairLanes v0, v1;
  const uint64_t both0[2] = {e0, e0}, both1[2] = {e1, e1};
  std::memcpy(&v0, both0, sizeof v0);
  std::memcpy(&v1, both1, sizeof v1);
#pragma GCC unroll 8
  for (int pair = 0; pair < (1 << indexBits) / 2; ++pair) {
    const PairLanes w = kPairWeights<indexBits>[pair];
    const PairLanes sum = (64 - w) * v0 + w * v1 + 32;
    const PairBytes bytes = __builtin_convertvector(sum >> 6, PairBytes);
    std::memcpy(palette + 2 * pair, &bytes, sizeof bytes);
  }
}

inline void storeRows(const uint32_t* words, Rgba8* pixels, ptrdiff_t rowStride) {
  for (int row = 0; row < 4; ++row) {
    std::memcpy(static_cast<void*>(pixels + row * rowStride), words + 4 * row, 16);
  }
}

// The endpoints of every subset, widened to 8 bits, as lanes; fields start at
// `position` (just after the partition, rotation and index-selection bits).
template <int kMode>
int readEndpoints(const BlockBits& bits, int position, uint64_t (*lanes)[2]) {
  constexpr Bc7Mode m = kModes[kMode];
  uint32_t values[3][2][4];  // only the fields the mode has are read
#pragma GCC unroll 3
  for (int c = 0; c < 3; ++c) {
#pragma GCC unroll 3
    for (int s = 0; s < m.subsets; ++s) {
#pragma GCC unroll 2
      for (int e = 0; e < 2; ++e, position += m.colorBits) {
        values[s][e][c] = static_cast<uint32_t>(bits.field(position, m.colorBits));
      }
    }
  }
  if constexpr (m.alphaBits > 0) {
#pragma GCC unroll 3
    for (int s = 0; s < m.subsets; ++s) {
#pragma GCC unroll 2
      for (int e = 0; e < 2; ++e, position += m.alphaBits) {
        values[s][e][3] = static_cast<uint32_t>(bits.field(position, m.alphaBits));
      }
    }
  }
  constexpr bool hasPBits = m.endpointPBits || m.sharedPBits;
  constexpr int colorBits = m.colorBits + (hasPBits ? 1 : 0);
  constexpr int alphaBits = m.alphaBits > 0 ? m.alphaBits + (hasPBits ? 1 : 0) : 0;
#pragma GCC unroll 3
  for (int s = 0; s < m.subsets; ++s) {
#pragma GCC unroll 2
    for (int e = 0; e < 2; ++e) {
      uint32_t p = 0;
      if (m.endpointPBits) p = static_cast<uint32_t>(bits.field(position + 2 * s + e, 1));
      if (m.sharedPBits) p = static_cast<uint32_t>(bits.field(position + s, 1));
      uint32_t rgba[4];
#pragma GCC unroll 3
      for (int c = 0; c < 3; ++c) {
        rgba[c] = widen(hasPBits ? (values[s][e][c] << 1) | p : values[s][e][c], colorBits);
      }
      rgba[3] = alphaBits > 0
                    ? widen(hasPBits ? (values[s][e][3] << 1) | p : values[s][e][3], alphaBits)
                    : 255;
      lanes[s][e] = spreadLanes(rgba);
    }
  }
  return position + m.subsets * (m.endpointPBits ? 2 : m.sharedPBits ? 1 : 0);
}

// Modes 0-3, 6 and 7: one index per pixel, one to three subsets.
template <int kMode>
void decodeSingleIndexMode(const BlockBits& bits, Rgba8* pixels, ptrdiff_t rowStride) {
  constexpr Bc7Mode m = kModes[kMode];
  constexpr int b = m.indexBits;
  const int partition = static_cast<int>(bits.field(kMode + 1, m.partitionBits));
  uint64_t lanes[3][2];
  const int indexStart = readEndpoints<kMode>(bits, kMode + 1 + m.partitionBits, lanes);

  uint64_t indices = bits.field(indexStart, 128 - indexStart);
  indices = restoreAnchorBit(indices, 0, b);
  uint32_t subsetOf = 0;  // two bits per pixel
  if constexpr (m.subsets == 2) {
    indices = restoreAnchorBit(indices, kTwoSubsetAnchors[partition], b);
    subsetOf = kTwoSubsetSpread[partition];
  } else if constexpr (m.subsets == 3) {
    const AnchorPair anchors = kSortedThreeSubsetAnchors[partition];
    indices = restoreAnchorBit(indices, anchors.first, b);
    indices = restoreAnchorBit(indices, anchors.second, b);
    subsetOf = kThreeSubsetPartitions[partition];
  }

  constexpr int entries = 1 << b;
  uint32_t palette[3 * entries];
#pragma GCC unroll 3
  for (int s = 0; s < m.subsets; ++s) fillPalette<b>(lanes[s][0], lanes[s][1], palette + s * entries);

#pragma GCC unroll 16
  for (int i = 0; i < kBlockPixels; ++i) {
    const uint32_t s = (subsetOf >> (2 * i)) & 3;
    const uint32_t index = static_cast<uint32_t>(indices >> (b * i)) & (entries - 1);
    storePixelWord(pixels + (i / 4) * rowStride + i % 4, palette[s * entries + index]);
  }
}

// Modes 4 and 5: one subset, separate index sets for colour and alpha, and a
// rotation that swaps alpha with one colour channel after interpolation.
template <int kMode>
void decodeTwoIndexMode(const BlockBits& bits, Rgba8* pixels, ptrdiff_t rowStride) {
  constexpr Bc7Mode m = kModes[kMode];
  int position = kMode + 1;
  const int rotation = static_cast<int>(bits.field(position, m.rotationBits));
  position += m.rotationBits;
  const int indexSelection = static_cast<int>(bits.field(position, m.indexSelectionBits));
  position += m.indexSelectionBits;
  uint64_t lanes[1][2];
  position = readEndpoints<kMode>(bits, position, lanes);

  constexpr int primaryField = kBlockPixels * m.indexBits - 1;
  constexpr int secondaryField = kBlockPixels * m.secondaryIndexBits - 1;
  const uint64_t primary =
      restoreAnchorBit(bits.field(position, primaryField), 0, m.indexBits);
  const uint64_t secondary = restoreAnchorBit(bits.field(position + primaryField, secondaryField),
                                              0, m.secondaryIndexBits);
  // The colour takes the primary set and alpha the secondary, unless the
  // index-selection bit swaps them.
  const uint64_t colorIndices = indexSelection ? secondary : primary;
  const uint64_t alphaIndices = indexSelection ? primary : secondary;
  const int colorBits = indexSelection ? m.secondaryIndexBits : m.indexBits;
  const int alphaBits = indexSelection ? m.indexBits : m.secondaryIndexBits;

  // Rotating the endpoints' channels rotates the interpolated ones alike; the
  // channel that then holds alpha's value takes the alpha indices.
  static constexpr int kLaneShift[4] = {0, 32, 16, 0};  // none, red, green, blue
  static constexpr uint32_t kAlphaWord[4] = {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu};
  uint64_t e0 = lanes[0][0], e1 = lanes[0][1];
  if (rotation > 0) {
    const int shift = kLaneShift[rotation];
    auto swapLanes = [shift](uint64_t v) {
      const uint64_t a = (v >> 48) & 0xFFFF, c = (v >> shift) & 0xFFFF;
      v &= ~((uint64_t{0xFFFF} << 48) | (uint64_t{0xFFFF} << shift));
      return v | (c << 48) | (a << shift);
    };
    e0 = swapLanes(e0);
    e1 = swapLanes(e1);
  }
  uint32_t colorPalette[8], alphaPalette[8];
  fillPalette<m.indexBits>(e0, e1, indexSelection ? alphaPalette : colorPalette);
  fillPalette<m.secondaryIndexBits>(e0, e1, indexSelection ? colorPalette : alphaPalette);
  const uint32_t alphaWord = kAlphaWord[rotation];
  const uint32_t colorMask = (1u << colorBits) - 1, alphaMask = (1u << alphaBits) - 1;

#pragma GCC unroll 16
  for (int i = 0; i < kBlockPixels; ++i) {
    const uint32_t ci = static_cast<uint32_t>(colorIndices >> (colorBits * i)) & colorMask;
    const uint32_t ai = static_cast<uint32_t>(alphaIndices >> (alphaBits * i)) & alphaMask;
    storePixelWord(pixels + (i / 4) * rowStride + i % 4,
                   (colorPalette[ci] & ~alphaWord) | (alphaPalette[ai] & alphaWord));
  }
}

}  // namespace

void decodeBc7Block(const uint8_t* block, Rgba8* pixels, ptrdiff_t rowStride) {
  const BlockBits bits(block);
  switch (std::countr_zero(static_cast<uint32_t>(block[0]))) {
    case 0: decodeSingleIndexMode<0>(bits, pixels, rowStride); break;
    case 1: decodeSingleIndexMode<1>(bits, pixels, rowStride); break;
    case 2: decodeSingleIndexMode<2>(bits, pixels, rowStride); break;
    case 3: decodeSingleIndexMode<3>(bits, pixels, rowStride); break;
    case 4: decodeTwoIndexMode<4>(bits, pixels, rowStride); break;
    case 5: decodeTwoIndexMode<5>(bits, pixels, rowStride); break;
    case 6: decodeSingleIndexMode<6>(bits, pixels, rowStride); break;
    case 7: decodeSingleIndexMode<7>(bits, pixels, rowStride); break;
    default: {  // the reserved mode: first byte 0
      const uint32_t zeros[kBlockPixels] = {};
      storeRows(zeros, pixels, rowStride);
      break;
    }
  }
}
